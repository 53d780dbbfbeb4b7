#include "display_width.h"

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

}  // namespace

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
