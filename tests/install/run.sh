#!/usr/bin/env bash
# Installs the releases as integrators do, each into an empty place, and
# builds and runs a C host against what was installed:
#   linux:   `cmake --install` into a temporary prefix; the minimal host
#            built with find_package(typedata), and with pkg-config against
#            the shared and the static library
#   deb:     the .deb packages (cpack) unpacked into a temporary root; the
#            same host built against them, the tool run from there
#   windows: the release zip (scripts/package) unpacked into an empty folder;
#            under Wine `typedata.exe demo`, and a C host built from the
#            zip's headers and Microsoft-style import library alone
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

# Builds the minimal host against an installed typedata under PREFIX: with
# CMake, and with pkg-config against the shared and the static library.
build_hosts() {
  local prefix=$1 label=$2 libdir
  cmake -S "$example" -B "$work/cmake-$label" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null ||
    fail "$label: find_package(typedata) failed"
  cmake --build "$work/cmake-$label" >/dev/null || fail "$label: the CMake build of the host failed"
  libdir=$(dirname "$(find "$prefix" -name 'libtypedata.so.*' -type f | head -n 1)")
  LD_LIBRARY_PATH=$libdir check_host_run "$work/cmake-$label/minimal_host" "$label-cmake"

  local pc
  pc=$(dirname "$(find "$prefix" -name typedata.pc | head -n 1)")
  export PKG_CONFIG_PATH=$pc
  # shellcheck disable=SC2046
  cc -std=c99 -Wall -o "$work/host-$label-shared" "$example"/*.c $(pkg-config --cflags --libs typedata) ||
    fail "$label: pkg-config build against the shared library failed"
  LD_LIBRARY_PATH=$libdir check_host_run "$work/host-$label-shared" "$label-pkg-config-shared"
  # The static library: Libs.private brings the C++ runtime.
  # shellcheck disable=SC2046
  cc -std=c99 -Wall -o "$work/host-$label-static" "$example"/*.c $(pkg-config --cflags typedata) \
    $(pkg-config --static --libs typedata | sed 's/-ltypedata\b/-l:libtypedata.a/') ||
    fail "$label: pkg-config --static build failed"
  if readelf -d "$work/host-$label-static" | grep -q 'libtypedata'; then
    fail "$label: the static host needs the shared library"
  fi
  check_host_run "$work/host-$label-static" "$label-pkg-config-static"
  unset PKG_CONFIG_PATH
}

if [ "$linux" != "-" ]; then
  cmake --install "$linux" --prefix "$work/prefix" >/dev/null
  build_hosts "$work/prefix" prefix
  [ -x "$work/prefix/bin/typedata" ] && "$work/prefix/bin/typedata" --help >/dev/null

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
  build_hosts "$work/root/usr" deb
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
  for file in bin/typedata.dll bin/typedata.exe bin/mmisim.dll include/typedata.h lib/typedata.def \
              lib/libtypedata.dll.a lib/typedata.lib docs/host-integration.md examples/minimal_host/main.c; do
    [ -f "$release/$file" ] || fail "the zip lacks $file"
  done
  imports=$(i686-w64-mingw32-objdump -p "$release/bin/typedata.dll")
  grep -q 'DLL Name: mmisim.dll' <<<"$imports" || fail "typedata.dll does not import from mmisim.dll"
  version=$(sed -n 's/^#define TD_VERSION_STRING "\(.*\)"/\1/p' "$release/include/typedata_version.h")
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

  # A host from the zip's include/ and lib/typedata.lib alone, run beside the DLLs.
  i686-w64-mingw32-gcc -std=c99 -Wall -I"$release/include" -o "$release/bin/zip_host.exe" \
    "$root/tests/install/zip_host.c" "$release/lib/typedata.lib" || fail "the zip host did not build"
  out=$(cd "$release/bin" && wine ./zip_host.exe </dev/null | tr -d '\r') || fail "zip host: $out"
  grep -q "ok$" <<<"$out" || fail "zip host: $out"
  echo "install test: windows: $out"
  wineserver -w 2>/dev/null || true
fi
echo "install test: all passed"
