#include "infer/file_scan.h"

#include <fmt/core.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "typedata.h"

namespace tool::infer {
namespace {

constexpr int kMaxTokens = 32;
constexpr int kMaxItem = 65535;  // the largest count a kind can have
constexpr char kKinds[] = "DSALV";

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The section that a header line names: 0 to 4, -1 for a header the reader
// ignores, -2 for one on which the reader fails. Split with token, as the
// reader splits it; only the first token counts.
int HeaderKind(char* line, std::vector<char>* arena, std::string* named) {
  // Every token gets a buffer of its own length, so none can overrun.
  std::size_t offsets[kMaxTokens];
  std::size_t needed = 0;
  int tokens = 0;
  for (const char* c = line; *c != '\0' && tokens < kMaxTokens;) {
    while (*c == ',' || *c == '\n') ++c;
    if (*c == '\0') break;
    const char* start = c;
    while (*c != '\0' && *c != ',' && *c != '\n') ++c;
    offsets[tokens++] = needed;
    needed += static_cast<std::size_t>(c - start) + 1;
  }
  arena->assign(needed + 1, '\0');
  char* table[kMaxTokens] = {};
  for (int i = 0; i < tokens; ++i) table[i] = arena->data() + offsets[i];
  if (token(line, table) != 0 || !table[0]) return -2;
  char* first = table[0];
  char* close = std::strchr(first, ']');
  if (!close) return -2;
  *close = '\0';
  *named = trim(first + 1);
  if (named->size() != 1) return -1;
  const char* kind = std::strchr(kKinds, (*named)[0]);
  return kind && *kind ? static_cast<int>(kind - kKinds) : -1;
}

}  // namespace

bool ReadNumber(const char* text, double* value, bool* pointed) {
  while (IsWhite(*text)) ++text;
  char lexeme[400];
  std::size_t n = 0;
  auto put = [&](char c) {
    if (n + 1 < sizeof lexeme) lexeme[n++] = c;
  };
  if (*text == '+' || *text == '-') put(*text++);
  int digits = 0;
  bool dropped = false;  // whole digits beyond the buffer: a number no controller holds
  for (; IsDigit(*text); ++text, ++digits) {
    if (n + 40 < sizeof lexeme)
      put(*text);
    else
      dropped = true;
  }
  *pointed = false;
  if (*text == '.') {
    *pointed = true;
    put(*text++);
    for (; IsDigit(*text); ++text, ++digits) {
      if (n + 20 < sizeof lexeme) put(*text);  // further decimals change no double
    }
  }
  if (digits == 0) return false;
  if (*text == 'e' || *text == 'E' || *text == 'd' || *text == 'D') {
    const char* q = text + 1;
    if (*q == '+' || *q == '-') ++q;
    if (IsDigit(*q)) {
      *pointed = true;
      put('e');
      if (*++text == '+' || *text == '-') put(*text++);
      int exponent = 0;
      for (; IsDigit(*text); ++text) exponent = exponent < 100000 ? exponent * 10 + (*text - '0') : exponent;
      const std::string digitsText = std::to_string(exponent);
      for (char c : digitsText) put(c);
    }
  }
  lexeme[n] = '\0';
  double read = 0.0;
  const bool sign = lexeme[0] == '+' || lexeme[0] == '-';
  const auto result = std::from_chars(lexeme + sign, lexeme + n, read);
  // Beyond a double's range: strtod tells an overflow (infinity) from an
  // underflow (zero); the lexeme is plain decimal, so its locale is moot.
  if (result.ec == std::errc::result_out_of_range) read = std::strtod(lexeme + sign, nullptr);
  if (dropped) read = HUGE_VAL;
  *value = lexeme[0] == '-' ? -read : read;
  return true;
}

void ScanFile(std::string& bytes, FileFacts* facts) {
  *facts = FileFacts();
  std::vector<char> arena;
  int section = -1;
  int lineNo = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    ++lineNo;
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    bytes[end] = '\0';  // at the end: the '\0' that std::string keeps past its last character
    char* line = &bytes[at];
    at = end + 1;
    CutComment(line);
    line = leading(line);
    if (*line == '\0') continue;
    trailing(line);
    if (*line == '[') {
      std::string named;
      const int kind = HeaderKind(line, &arena, &named);
      if (kind == -2) {
        facts->readable = false;
        facts->problems.push_back({lineNo, "a section header line the service cannot read: the file fails"});
        return;
      }
      if (kind == -1) {
        facts->problems.push_back(
            {lineNo, fmt::format("'[{}]' is no section; the reader passes over it", named)});
        continue;
      }
      SectionFact& fact = facts->sections[kind];
      if (fact.present) {
        facts->problems.push_back(
            {lineNo, fmt::format("[{}] comes twice (first on line {}): only this one is read", kKinds[kind],
                                 fact.line)});
      }
      fact = SectionFact{true, lineNo, {}};
      section = kind;
      continue;
    }
    if (section < 0) continue;  // header lines: kept by the writer, passed over by the reader
    // Items, separated by ',' or ';' alike; ';' marks the block's last item.
    for (char* item = line; *item != '\0';) {
      char* stop = item + std::strcspn(item, ",;");
      const bool terminal = *stop == ';';
      const bool more = *stop != '\0';
      *stop = '\0';
      char* colon = std::strchr(item, ':');
      if (colon) {
        *colon = '\0';
        const char* numberText = trim(item);
        long number = 0;
        bool digits = *numberText != '\0';
        for (const char* c = numberText; *c; ++c) {
          digits = digits && IsDigit(*c);
          if (digits && number <= kMaxItem) number = number * 10 + (*c - '0');
        }
        if (!digits || number < 1) {
          facts->problems.push_back(
              {lineNo, fmt::format("'{}:' names no item: the reader passes over the value", numberText)});
        } else if (number > kMaxItem) {
          facts->problems.push_back({lineNo, fmt::format("item {} is beyond any item count", numberText)});
          facts->readable = false;
        } else {
          ItemFact fact;
          fact.number = static_cast<int>(number);
          fact.line = lineNo;
          fact.terminal = terminal;
          if (section != 4) {
            fact.numeric = ReadNumber(colon + 1, &fact.value, &fact.pointed);
            if (!fact.numeric) {
              facts->problems.push_back({lineNo, fmt::format("[{}] item {}: '{}' is no number; it reads as 0",
                                                             kKinds[section], number, trim(colon + 1))});
            }
          }
          facts->sections[section].items.push_back(fact);
        }
      }
      item = more ? stop + 1 : stop;
    }
  }
}

}  // namespace tool::infer
