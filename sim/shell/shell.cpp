// The shell library: memory, kind codes, locale, posted messages.
#include <cctype>
#include <cstring>
#include <string>

#include "../state.h"

namespace mmisim {
namespace {

struct LocaleName {
  const char* name;
  int languageId;
};

// Windows language identifiers: primary language in the low 10 bits,
// sublanguage above.
constexpr LocaleName kLocales[] = {
    {"JPN", 0x0411},
    {"JA", 0x0411},
    {"JA-JP", 0x0411},
    {"JAPANESE", 0x0411},
    {"KOR", 0x0412},
    {"KO", 0x0412},
    {"KO-KR", 0x0412},
    {"KOREAN", 0x0412},
    {"CHS", 0x0804},
    {"ZH-CN", 0x0804},
    {"CHINESE-SIMPLIFIED", 0x0804},
    {"ZHI", 0x1004},
    {"ZH-SG", 0x1004},
    {"CHT", 0x0404},
    {"ZH-TW", 0x0404},
    {"CHINESE-TRADITIONAL", 0x0404},
    {"ZHH", 0x0C04},
    {"ZH-HK", 0x0C04},
    {"ENU", 0x0409},
    {"EN", 0x0409},
    {"EN-US", 0x0409},
    {"ENGLISH", 0x0409},
    {"ENG", 0x0809},
    {"EN-GB", 0x0809},
    {"DEU", 0x0407},
    {"DE", 0x0407},
    {"DE-DE", 0x0407},
    {"GERMAN", 0x0407},
    {"FRA", 0x040C},
    {"FR", 0x040C},
    {"FR-FR", 0x040C},
    {"FRENCH", 0x040C},
    {"ITA", 0x0410},
    {"ESN", 0x0C0A},
    {"PTB", 0x0416},
    {"RUS", 0x0419},
};

int LanguageIdOf(const char* text) {
  std::string upper;
  for (const char* c = text ? text : ""; *c; ++c)
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  for (const LocaleName& locale : kLocales) {
    if (upper == locale.name) return locale.languageId;
  }
  return 0x0409;  // an unknown locale works as US English
}

}  // namespace

void FailAllocationAt(long n) { S().failAllocationAt = n > 0 ? S().allocationCalls + n : 0; }
long AllocationCalls() { return S().allocationCalls; }
long LiveAllocations() { return LiveGlobal(); }

bool NextMessage(PostedMessage* message) {
  auto& queue = S().messages;
  if (queue.empty()) return false;
  *message = queue.front();
  queue.pop_front();
  return true;
}

std::size_t PendingMessages() { return S().messages.size(); }

}  // namespace mmisim

using mmisim::Arg;
using mmisim::Record;
using mmisim::S;

extern "C" {

void* TD_CALL MMI_GlobalAlloc(std::uint32_t size) {
  mmisim::State& s = S();
  ++s.allocationCalls;
  void* memory = nullptr;
  if (s.failAllocationAt == 0 || s.allocationCalls != s.failAllocationAt)
    memory = mmisim::AllocateGlobal(size);
  Record("MMI_GlobalAlloc", {size}, Arg(memory));
  return memory;
}

int TD_CALL GetHAIndex(int kindLetter) {
  int result = -1;
  switch (kindLetter) {
    case 'D':
      result = TD_CODE_D;
      break;
    case 'S':
      result = TD_CODE_S;
      break;
    case 'A':
      result = TD_CODE_A;
      break;
    case 'L':
      result = TD_CODE_L;
      break;
    case 'V':
      result = TD_CODE_V;
      break;
    default:
      break;
  }
  Record("GetHAIndex", {kindLetter}, result);
  return result;
}

int TD_CALL GetLocaleID(const char* localeText) {
  const int result = mmisim::LanguageIdOf(localeText);
  Record("GetLocaleID", {Arg(localeText)}, result, localeText);
  return result;
}

int TD_CALL MMIPostMessage(HWND window, int message, int wParam, int lParam) {
  S().messages.push_back(mmisim::PostedMessage{window, message, wParam, lParam});
  const int result = 1;  // posted
  Record("MMIPostMessage", {Arg(window), message, wParam, lParam}, result);
  return result;
}

}  // extern "C"
