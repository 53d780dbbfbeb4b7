// How many terminal columns a text takes.
#ifndef TOOLS_TYPEDATA_CORE_DISPLAY_WIDTH_H
#define TOOLS_TYPEDATA_CORE_DISPLAY_WIDTH_H

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

// Text from a tree (a name, a file name, a value) made safe to print on a
// terminal: control characters (C0, DEL, and in UTF-8 text C1 and the
// bidirectional overrides) become \xHH or \uHHHH, so that a hostile name
// cannot move the cursor, retitle the window or reorder the line. Every
// text printer puts tree text through it; JSON is escaped by its library.
std::string Printable(const std::string& text);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_DISPLAY_WIDTH_H
