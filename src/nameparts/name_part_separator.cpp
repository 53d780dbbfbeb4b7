#include "nameparts/name_part_separator.h"

#include "host/host.h"

namespace td::nameparts {
namespace {

constexpr int kPrimaryLanguageMask = 0x3FF;
constexpr int kSublanguageMask = 0xFC00;
constexpr int kJapanese = 0x11;
constexpr int kKorean = 0x12;
constexpr int kChinese = 0x04;
constexpr int kSimplifiedChinese = 0x0800;  // sublanguage 2

// Lead bytes of the double-byte code pages:
//   932 (Japanese, Shift JIS):             0x81-0x9F and 0xE0-0xFC
//   936 (Simplified Chinese, GBK):         0x81-0xFE
//   949 (Korean, Unified Hangul Code):     0x81-0xFE
//   950 (Traditional Chinese, Big5):       0x81-0xFE
// A lead byte and the byte after it are one character, so a separator is
// never found across the boundary of two characters.
bool IsLeadByte932(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
bool IsLeadByte936949950(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace

NamePartSeparator SeparatorOfLanguage() {
  const SystemRecord* system = GetMMISystemStruc();
  const char* locale = system != nullptr ? system->localeText : "";
  switch (GetLocaleID(locale) & kPrimaryLanguageMask) {
    case kJapanese:
      return {0x81, 0x7B, IsLeadByte932};
    case kKorean:
      return {0xA3, 0xAB, IsLeadByte936949950};
    case kChinese:
      if ((GetLocaleID(locale) & kSublanguageMask) == kSimplifiedChinese) {
        return {0xA3, 0xAB, IsLeadByte936949950};  // code page 936
      }
      return {0xA1, 0xCF, IsLeadByte936949950};  // code page 950
    default:
      return {};
  }
}

}  // namespace td::nameparts
