// How many terminal columns a text takes.
#ifndef TOOLS_TYPEDATA_DISPLAY_WIDTH_H
#define TOOLS_TYPEDATA_DISPLAY_WIDTH_H

#include <cstddef>
#include <string>

namespace tool {

// Columns that text takes on a terminal: escape sequences (colour) take
// none; valid UTF-8 counts by character, East Asian wide characters two
// columns and combining marks none; text that is not UTF-8 (a double-byte
// code page) takes a column a byte, as double-byte terminals show it.
std::size_t DisplayWidth(const std::string& text);

// Whether text is well-formed UTF-8 (JSON documents can carry nothing else).
bool IsUtf8(const std::string& text);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_DISPLAY_WIDTH_H
