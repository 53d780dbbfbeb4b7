#!/usr/bin/env bash
# Installs the releases as integrators do, each into an empty place, and
# builds and runs a C host against what was installed:
#   linux:   `cmake --install` into a temporary prefix; the minimal host
#            built with find_package(typedata), and with pkg-config against
#            the shared and the static library
#   deb:     the .deb packages (cpack) unpacked into a temporary root; the
#            same host built against them, the tool run from there
#   windows: the release zip (scripts/package) unpacked into an empty folder;
#            under Wine `typedata.exe demo`, and C hosts built from the
#            zip's headers and import library alone: with MinGW, and for
#            the MSVC ABI linked by lld-link with its default flags
# Each place must hold every document that its README or the tool's help
# names, the headers must serve #include <typedata/typedata.h> with the
# include/ folder alone (C99 and C++ with -pedantic -Werror).
#   tests/install/run.sh LINUX_BUILD WINDOWS_BUILD   ("-" leaves one out)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
linux=${1:-build/linux}
windows=${2:--}
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
example=$root/examples/minimal_host

fail() {
  echo "install test: $*" >&2
  exit 1
}

# The minimal host's run: a new tree, type 1 added, the catalogue printed.
check_host_run() {
  local host=$1 label=$2 out
  out=$("$host" "$work/tree-$label") || fail "$label: the minimal host failed"
  grep -qx "catalogue: 0, " <<<"$out" && grep -qx 'catalogue: 1,"STEEL"' <<<"$out" ||
    fail "$label: unexpected catalogue: $out"
  grep -q '^1:12.500000,' "$work/tree-$label/type/0000/MAIN0000.DAT" ||
    fail "$label: type 0 was not written with the defaults"
  echo "install test: $label: minimal host ok"
}

# Every relative link of every Markdown file under FOLDER leads to a file
# or folder that is there.
check_links() {
  local folder=$1 label=$2 doc link target count=0
  while IFS= read -r -d '' doc; do
    while IFS= read -r link; do
      link=${link%%#*}
      [ -n "$link" ] || continue
      target=$(dirname "$doc")/$link
      [ -e "$target" ] || fail "$label: ${doc#"$folder"/} links to $link, which is not there"
      count=$((count + 1))
    done < <(grep -o '\]([^)]*)' "$doc" | sed 's/^](\(.*\))$/\1/' | grep -v '^[a-z]*:' || true)
  done < <(find "$folder" -name '*.md' -print0)
  [ "$count" -gt 0 ] || fail "$label: no document links found under $folder"
  echo "install test: $label: $count links between the documents hold"
}

# The documents that the tool's --help (HELP) names are files there.
check_help_documents() {
  local help=$1 label=$2 glossary json
  help=$(tr -d '\r' <<<"$help")
  glossary=$(sed -n 's/.* are explained in \(.*glossary\.md\);$/\1/p' <<<"$help")
  json=$(sed -n 's/^the --json documents in \(.*json\.md\)\.$/\1/p' <<<"$help")
  [ -n "$glossary" ] && [ -n "$json" ] || fail "$label: the help names no glossary.md and json.md: $help"
  if [ $# -gt 2 ]; then # Windows paths, as Wine's programs see them
    glossary=$(winepath -u "$glossary" 2>/dev/null)
    json=$(winepath -u "$json" 2>/dev/null)
  fi
  [ -f "$glossary" ] && [ -f "$json" ] || fail "$label: the help names $glossary and $json, not installed"
  echo "install test: $label: the help names the installed $(basename "$glossary") and $(basename "$json")"
}

# C and C++ hosts that include <typedata/typedata.h> with PREFIX/include
# alone, pedantic and warnings as errors.
check_headers() {
  local include=$1 label=$2
  printf '#include <typedata/typedata.h>\nint host_finds(const char* line) { return SearchRec(line, 1); }\n' \
    >"$work/c_host.c"
  cc -std=c99 -pedantic -Werror -Wall -Wextra -I"$include" -c -o "$work/c_host.o" "$work/c_host.c" ||
    fail "$label: a C99 host does not compile with -pedantic -Werror"
  c++ -std=c++17 -pedantic -Werror -Wall -Wextra -I"$include" -c -o "$work/cxx_host.o" \
    "$root/tests/install/cxx_host.cpp" || fail "$label: a C++ host does not compile with -pedantic -Werror"
  echo "install test: $label: <typedata/typedata.h> compiles as C99 and C++ with -pedantic -Werror"
}

# Builds the minimal host against an installed typedata under PREFIX: with
# CMake, and with pkg-config against the shared and the static library.
# PC_ARGS: what pkg-config needs to find the prefix's paths (for a package
# unpacked elsewhere than /usr).
build_hosts() {
  local prefix=$1 label=$2 libdir
  local -a pc_args=("${@:3}")
  cmake -S "$example" -B "$work/cmake-$label" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null ||
    fail "$label: find_package(typedata) failed"
  cmake --build "$work/cmake-$label" >/dev/null || fail "$label: the CMake build of the host failed"
  libdir=$(dirname "$(find "$prefix" -name 'libtypedata.so.*' -type f | head -n 1)")
  [ "$libdir" = "$prefix/lib/$multiarch" ] || fail "$label: the libraries are in $libdir, not lib/$multiarch"
  LD_LIBRARY_PATH=$libdir check_host_run "$work/cmake-$label/minimal_host" "$label-cmake"

  local pc cflags
  pc=$(dirname "$(find "$prefix" -name typedata.pc | head -n 1)")
  export PKG_CONFIG_PATH=$pc
  cflags=$(pkg-config "${pc_args[@]}" --cflags typedata | xargs)
  [ "$cflags" = "-I$prefix/include" ] || fail "$label: pkg-config --cflags gives '$cflags', not -I$prefix/include"
  # shellcheck disable=SC2046
  cc -std=c99 -Wall -o "$work/host-$label-shared" "$example"/*.c $(pkg-config "${pc_args[@]}" --cflags --libs typedata) ||
    fail "$label: pkg-config build against the shared library failed"
  LD_LIBRARY_PATH=$libdir check_host_run "$work/host-$label-shared" "$label-pkg-config-shared"
  # The static library: Libs.private brings the C++ runtime.
  # shellcheck disable=SC2046
  cc -std=c99 -Wall -o "$work/host-$label-static" "$example"/*.c $(pkg-config "${pc_args[@]}" --cflags typedata) \
    $(pkg-config "${pc_args[@]}" --static --libs typedata | sed 's/-ltypedata\b/-l:libtypedata.a/') ||
    fail "$label: pkg-config --static build failed"
  if readelf -d "$work/host-$label-static" | grep -q 'libtypedata'; then
    fail "$label: the static host needs the shared library"
  fi
  check_host_run "$work/host-$label-static" "$label-pkg-config-static"
  unset PKG_CONFIG_PATH
}

# The documents of an install: the README's and the guides' links hold, the
# API reference is there when the build made it, and the installed tool's
# help names installed files.
check_documents() {
  local docs=$1 label=$2 tool=$3
  check_links "$docs" "$label"
  if [ -f "$linux/docs/api/html/index.html" ]; then
    [ -f "$docs/api/index.html" ] || fail "$label: the API reference is not installed"
  fi
  if [ -x "$tool" ]; then
    check_help_documents "$("$tool" --help)" "$label"
  fi
}

if [ "$linux" != "-" ]; then
  multiarch=$(gcc -print-multiarch)
  cmake --install "$linux" --prefix "$work/prefix" >/dev/null
  check_headers "$work/prefix/include" prefix
  build_hosts "$work/prefix" prefix
  check_documents "$work/prefix/share/doc/typedata" prefix "$work/prefix/bin/typedata"
  if [ -f "$work/prefix/share/man/man1/typedata.1" ]; then
    grep -q "$work/prefix/share/doc/typedata/docs/glossary.md" "$work/prefix/share/man/man1/typedata.1" ||
      fail "prefix: the man page does not name the installed glossary"
  fi

  rm -rf "$linux/packages"
  (cd "$linux" && cpack -G DEB >/dev/null) || fail "cpack failed"
  mkdir -p "$work/root"
  for deb in "$linux"/packages/*.deb; do
    dpkg-deb --info "$deb" >/dev/null
    dpkg -x "$deb" "$work/root"
    echo "install test: $(basename "$deb"): $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version)" \
      "depends on: $(dpkg-deb -f "$deb" Depends)"
  done
  dpkg-deb -f "$linux"/packages/libtypedata-dev_*.deb Depends | grep -q 'libtypedata1 (=' ||
    fail "libtypedata-dev does not depend on its runtime package"
  # Each package its own summary; no placeholder address.
  summaries=$(for deb in "$linux"/packages/*.deb; do dpkg-deb -f "$deb" Description | head -n 1; done)
  [ "$(sort -u <<<"$summaries" | wc -l)" -eq "$(wc -l <<<"$summaries")" ] ||
    fail "packages share a summary: $summaries"
  for deb in "$linux"/packages/*.deb; do
    ! dpkg-deb -f "$deb" Maintainer Homepage | grep -qi localhost || fail "$(basename "$deb"): a localhost address"
  done
  # The packages' typedata.pc names /usr; here it is read from where they
  # were unpacked.
  pc=$(find "$work/root" -name typedata.pc)
  [ "$pc" = "$work/root/usr/lib/$multiarch/pkgconfig/typedata.pc" ] || fail "deb: typedata.pc is at $pc"
  [ "$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --variable=includedir typedata)" = /usr/include ] ||
    fail "deb: typedata.pc's includedir is not /usr/include"
  check_headers "$work/root/usr/include" deb
  build_hosts "$work/root/usr" deb --define-variable=prefix="$work/root/usr"
  check_documents "$work/root/usr/share/doc/typedata" deb "$work/root/usr/bin/typedata"
  if [ -f "$work/root/usr/share/man/man1/typedata.1" ]; then
    grep -q '/usr/share/doc/typedata/docs/glossary\.md' "$work/root/usr/share/man/man1/typedata.1" ||
      fail "deb: the man page does not name /usr/share/doc/typedata/docs/glossary.md"
  fi
  if [ -x "$work/root/usr/bin/typedata" ]; then
    "$work/root/usr/bin/typedata" demo "$work/deb-demo" >/dev/null || fail "deb: typedata demo failed"
    echo "install test: deb: typedata demo ok"
  fi
fi

if [ "$windows" != "-" ]; then
  zip=$("$root/scripts/package" "$windows")
  mkdir "$work/zip"
  unzip -q "$zip" -d "$work/zip"
  release=$(echo "$work"/zip/typedata-*-win32)
  for file in bin/typedata.dll bin/typedata.exe bin/mmisim.dll include/typedata/typedata.h lib/typedata.def \
              lib/libtypedata.dll.a lib/typedata.lib README.md docs/host-integration.md \
              examples/minimal_host/main.c; do
    [ -f "$release/$file" ] || fail "the zip lacks $file"
  done
  check_links "$release" zip
  if [ -f "$windows/docs/api/html/index.html" ]; then
    [ -f "$release/docs/api/index.html" ] || fail "the zip lacks the API reference"
  fi
  # The import library's members are named after the DLL, not after a path
  # of the machine that made it.
  members=$(ar t "$release/lib/typedata.lib" | sort -u)
  [ "$members" = typedata.dll ] || fail "typedata.lib's members are not named typedata.dll: $members"
  imports=$(i686-w64-mingw32-objdump -p "$release/bin/typedata.dll")
  grep -q 'DLL Name: mmisim.dll' <<<"$imports" || fail "typedata.dll does not import from mmisim.dll"
  version=$(sed -n 's/^#define TD_VERSION_STRING "\(.*\)"/\1/p' "$release/include/typedata/typedata_version.h")
  # Each binary's version resource: this version, and its own file name.
  for binary in typedata.dll typedata.exe; do
    resource=$(strings -el "$release/bin/$binary")
    resource=$(grep --no-group-separator -A1 -x 'FileVersion\|OriginalFilename' <<<"$resource" | tr '\n' ' ')
    [ "$resource" = "FileVersion $version OriginalFilename $binary " ] ||
      fail "$binary: version resource says '$resource', not version $version of $binary"
  done

  (cd "$work" && wine "$release/bin/typedata.exe" demo zip-demo </dev/null >"$work/demo.out" 2>&1) ||
    { tr -d '\r' <"$work/demo.out" | tail -n 20 >&2; fail "typedata.exe demo failed under Wine"; }
  [ -f "$work/zip-demo/type/mmi.typ" ] || fail "typedata.exe demo wrote no catalogue"
  echo "install test: windows: typedata.exe demo ok"
  check_help_documents "$(wine "$release/bin/typedata.exe" --help </dev/null)" zip windows

  # A host from the zip's include/ and lib/typedata.lib alone, run beside the DLLs.
  i686-w64-mingw32-gcc -std=c99 -Wall -I"$release/include" -o "$release/bin/zip_host.exe" \
    "$root/tests/install/zip_host.c" "$release/lib/typedata.lib" || fail "the zip host did not build"
  out=$(cd "$release/bin" && wine ./zip_host.exe </dev/null | tr -d '\r') || fail "zip host: $out"
  grep -q "ok$" <<<"$out" || fail "zip host: $out"
  echo "install test: windows: $out"

  # The same for the MSVC ABI, linked by lld-link with its default flags
  # (/safeseh: every object and import library member must be SEH-safe).
  # Debian has no Windows SDK: mingw-w64's headers stand in for its
  # <windows.h> (clang takes them as a GNU compiler's), and kernel32.lib is
  # made from the three calls the host makes.
  dlltool=$(command -v llvm-dlltool || command -v llvm-dlltool-14) || fail "llvm-dlltool is missing (llvm-14)"
  "$dlltool" -m i386 -k -d "$root/tests/install/kernel32.def" -l "$work/kernel32.lib"
  clang --target=i686-pc-windows-msvc -fgnuc-version=12 -D_X86_ -std=c99 -Wall -Wextra -Werror \
    -I"$release/include" -idirafter /usr/i686-w64-mingw32/include \
    -c -o "$work/msvc_host.obj" "$root/tests/install/msvc_host.c" || fail "the MSVC host did not compile"
  lld-link /entry:host_start /subsystem:console /out:"$release/bin/msvc_host.exe" "$work/msvc_host.obj" \
    "$release/lib/typedata.lib" "$work/kernel32.lib" || fail "lld-link refused the zip's typedata.lib"
  out=$(cd "$release/bin" && wine ./msvc_host.exe </dev/null | tr -d '\r') || fail "msvc host: $out"
  grep -q "ok$" <<<"$out" || fail "msvc host: $out"
  echo "install test: windows: $out"
  wineserver -w 2>/dev/null || true
fi
echo "install test: all passed"
