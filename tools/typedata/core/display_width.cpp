#include "core/display_width.h"

#include <fmt/core.h>

#include <cstdint>
#include <vector>

namespace tool {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// East Asian Wide and Fullwidth blocks.
constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Combining marks and zero-width characters.
constexpr Range kZero[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F},
    {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
};

template <std::size_t N>
bool In(const Range (&ranges)[N], char32_t c) {
  for (const Range& range : ranges) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

// The code points of text, or false when it is not well-formed UTF-8.
bool DecodeUtf8(const std::string& text, std::vector<char32_t>* points) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t point = 0;
    if (lead < 0x80) {
      length = 1, point = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, point = lead & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(length) > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    // Over-long forms, surrogates and points beyond Unicode are not UTF-8.
    constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) return false;
    points->push_back(point);
    i += static_cast<std::size_t>(length);
  }
  return true;
}

// text without its escape sequences ("\033[...m").
std::string WithoutEscapes(const std::string& text) {
  std::string plain;
  bool escape = false;
  for (char c : text) {
    if (c == '\033')
      escape = true;
    else if (escape && c == 'm')
      escape = false;
    else if (!escape)
      plain += c;
  }
  return plain;
}

// The length of the control character that starts text[i], 0 when none:
// in UTF-8 text a C1 control (U+0080 to U+009F) is two bytes and a
// bidirectional embedding, override or isolate (U+202A to U+202E, U+2066
// to U+2069) three; a double-byte code page uses 0x80 to 0x9F as lead bytes.
std::size_t ControlAt(const std::string& text, std::size_t i, bool utf8, char32_t* point) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  if (byte(0) < 0x20 || byte(0) == 0x7F) return *point = byte(0), 1;
  if (!utf8 || i + 1 >= text.size()) return 0;
  if (byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F) return *point = byte(1), 2;
  if (byte(0) != 0xE2 || i + 2 >= text.size()) return 0;
  const bool embedding = byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE;
  const bool isolate = byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9;
  if (!embedding && !isolate) return 0;
  *point = 0x2000 | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
  return 3;
}

}  // namespace

std::string Printable(const std::string& text) {
  const bool utf8 = IsUtf8(text);
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t point = 0;
    const std::size_t length = ControlAt(text, i, utf8, &point);
    if (length == 0) {
      shown += text[i++];
      continue;
    }
    shown += point < 0x100 ? fmt::format("\\x{:02X}", static_cast<unsigned>(point))
                           : fmt::format("\\u{:04X}", static_cast<unsigned>(point));
    i += length;
  }
  return shown;
}

bool IsUtf8(const std::string& text) {
  std::vector<char32_t> points;
  return DecodeUtf8(text, &points);
}

std::size_t DisplayWidth(const std::string& text) {
  const std::string plain = WithoutEscapes(text);
  std::vector<char32_t> points;
  if (!DecodeUtf8(plain, &points)) return plain.size();
  std::size_t width = 0;
  for (char32_t c : points) width += In(kZero, c) ? 0 : In(kWide, c) ? 2 : 1;
  return width;
}

}  // namespace tool
