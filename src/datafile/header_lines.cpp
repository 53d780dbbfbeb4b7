#include "datafile/header_lines.h"

#include <string>

namespace td::datafile {
namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsSectionLetter(char c) { return c == 'D' || c == 'S' || c == 'A' || c == 'L' || c == 'V'; }

}  // namespace

bool StartsSection(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && IsWhite(line[at])) ++at;
  return line.size() - at >= 3 && line[at] == '[' && IsSectionLetter(line[at + 1]) && line[at + 2] == ']';
}

bool CopyHeaderLines(platform::LineReader& in, platform::TextWriter& out) {
  std::string line;
  while (in.Next(&line)) {
    if (StartsSection(line)) return true;
    out.WriteLine(line);
  }
  return !in.error();
}

}  // namespace td::datafile
