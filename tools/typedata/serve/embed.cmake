# Turns the web pages into a C++ source of byte arrays, so the tool serves
# them from its own binary. Run by CMake itself (cmake -P): no network, no
# host program to build first, so it works when cross-compiling too.
#   cmake -DOUTPUT=assets.cpp -DWEB_DIR=web -P embed.cmake
file(GLOB files RELATIVE ${WEB_DIR} ${WEB_DIR}/*)
list(SORT files)
set(arrays "")
set(table "")
set(index 0)
foreach(name ${files})
  file(READ ${WEB_DIR}/${name} bytes HEX)
  string(LENGTH "${bytes}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {${bytes}0};\n")
  string(APPEND table "    {\"/${name}\", reinterpret_cast<const char*>(kFile${index}), ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Generated from the web pages by embed.cmake; do not edit.
#include \"assets.h\"

namespace tool::serve {
namespace {
${arrays}
const Asset kAssets[] = {
${table}};
}  // namespace

const Asset* FindAsset(std::string_view path) {
  for (const Asset& asset : kAssets) {
    if (asset.path == path) return &asset;
  }
  return nullptr;
}

}  // namespace tool::serve
")
# Only a real change touches the source, so builds stay incremental.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.new ${OUTPUT})
file(REMOVE ${OUTPUT}.new)
