#include "check/scan.h"

#include <fmt/core.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/values.h"

namespace tool {
namespace {

constexpr int kText = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// White space as the reader's utilities take it: the six characters 32 and 9 to 13.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A value the way strtod reads it to its end: the general rule, for all
// that the quick one below does not take.
bool IsNumberByStrtod(std::string text) {
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  if (text.empty() || text.find_first_not_of("+-.0123456789eE") != std::string::npos) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return *end == '\0';
}

// A value as the writer writes numbers: decimal, nothing after it. Most
// values are "-digits.digits" exactly, which strtod reads whole.
bool IsNumber(std::string_view text) {
  const char* c = text.data();
  const char* end = c + text.size();
  while (c < end && IsBlank(*c)) ++c;
  while (end > c && IsBlank(end[-1])) --end;
  const char* const start = c;
  if (c < end && *c == '-') ++c;
  const char* digits = c;
  while (c < end && *c >= '0' && *c <= '9') ++c;
  if (c > digits && c < end && *c == '.') {
    digits = ++c;
    while (c < end && *c >= '0' && *c <= '9') ++c;
  }
  if (c == end && c > digits && end > start) return true;
  return IsNumberByStrtod(std::string(text));
}

// Whether the text before an item's ':' gives an item number to the
// reader: digits, with white space around them and nothing else ("+5",
// "5x" name no item, and what follows them is not read).
bool ReadsAsItemNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsWhite(text[at])) ++at;
  const std::size_t digits = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  if (at == digits) return false;
  while (at < text.size() && IsWhite(text[at])) ++at;
  return at == text.size();
}

// A line of one number item as the writer writes it: "digits:value" with
// the value "-digits.digits" (sign and decimals optional), then ',' or ';'
// or nothing, then "\r\n", "\n" or the end of the file. The general steps
// find nothing in such a line but the item's number and where it stands.
// *next is the next line's start; *end must be readable.
bool IsWrittenNumberLine(const char* c, const char* end, long* number, const char** next) {
  // *end is a NUL: no character below matches it, so every step stops there.
  const char* const start = c;
  long value = 0;
  for (; IsDigit(*c); ++c) {
    if (c - start == 9) return false;
    value = value * 10 + (*c - '0');
  }
  if (c == start || *c != ':') return false;
  if (*++c == '-') ++c;
  const char* digits = c;
  while (IsDigit(*c)) ++c;
  if (c == digits) return false;
  if (*c == '.') {
    digits = ++c;
    while (IsDigit(*c)) ++c;
    if (c == digits) return false;
  }
  if (*c == ',' || *c == ';') ++c;
  if (*c == '\r') ++c;
  if (c != end && *c != '\n') return false;
  *number = value;
  *next = c == end ? end : c + 1;
  return true;
}

}  // namespace

void LineScan::Run(const ConfigRecord& config, const std::string& file, int typeNo, char* bytes,
                   std::size_t size, std::vector<Problem>* problems) {
  config_ = &config;
  file_ = &file;
  typeNo_ = typeNo;
  problems_ = problems;
  kind_ = -1;
  anySection_ = false;
  for (int k = 0; k < 5; ++k) {
    counts_[k] = config.kindTable[GetHAIndex(kKindLetters[k])].count;
    Kind& kind = kinds_[k];
    kind.present = false;
    kind.sectionLine = 0;
    kind.section = 0;
    if (kind.lines.size() < counts_[k] + 1u) kind.lines.resize(counts_[k] + 1u);
  }
  char* const end = bytes + size;
  *end = '\0';  // the end of the last line, wherever the file ends
  // Files as the writer writes them hold no '/' and no NUL byte: one look
  // at the whole file spares a look at each line.
  const bool anySlash = std::memchr(bytes, '/', size) != nullptr;
  const bool anyNul = std::memchr(bytes, '\0', size) != nullptr;
  int lineNo = 0;
  for (char* line = bytes; line < end;) {
    ++lineNo;
    long written = 0;
    const char* after = nullptr;
    if (kind_ >= 0 && kind_ != kText && IsWrittenNumberLine(line, end, &written, &after)) {
      Seen(written, lineNo);
      line = const_cast<char*>(after);
      continue;
    }
    char* lineEnd = static_cast<char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
    char* const next = lineEnd ? lineEnd + 1 : end;
    if (!lineEnd) lineEnd = end;
    if (lineEnd > line && lineEnd[-1] == '\r') --lineEnd;
    const std::size_t length = static_cast<std::size_t>(lineEnd - line);
    const bool slash = anySlash && std::memchr(line, '/', length) != nullptr;
    // A text's "//" counts wherever it stands, even behind a NUL byte.
    const bool comment =
        slash && kind_ == kText && std::string_view(line, length).find("//") != std::string_view::npos;
    *lineEnd = '\0';
    const char* text = line;
    const char* textEnd = lineEnd;
    // Most lines hold nothing to cut: no comment, no white space at either
    // end, no NUL byte. The others are cut by the reader's own utilities.
    if (length == 0 || slash || IsWhite(line[0]) || IsWhite(lineEnd[-1]) ||
        (anyNul && std::memchr(line, '\0', length))) {
      CutComment(line);
      text = trim(line);
      textEnd = text + std::strlen(text);
    }
    if (*text == '[') {
      Section(text, textEnd, lineNo);
    } else if (text != textEnd && kind_ >= 0) {
      Items(text, textEnd, lineNo, comment);
    }
    line = next;
  }
}

void LineScan::Report(int line, std::string message) {
  problems_->push_back({*file_, line, typeNo_, config_->name, std::move(message), false});
}

void LineScan::Section(const char* text, const char* textEnd, int lineNo) {
  const char* close =
      static_cast<const char*>(std::memchr(text, ']', static_cast<std::size_t>(textEnd - text)));
  if (!close) return;
  // The reader trims a kind's letter of all white space, form feeds too.
  const char* name = text + 1;
  while (name < close && IsWhite(*name)) ++name;
  while (close > name && IsWhite(close[-1])) --close;
  if (close - name != 1 || KindIndex(*name) < 0) return;
  kind_ = KindIndex(*name);
  anySection_ = true;
  Kind& kind = kinds_[kind_];
  kind.present = true;
  kind.sectionLine = lineNo;
  kind.section = ++sections_;
}

bool LineScan::Seen(long number, int lineNo) {
  if (number < 1) return false;
  const unsigned count = counts_[kind_];
  if (static_cast<unsigned long>(number) > count) {
    Report(lineNo,
           fmt::format("[{}] item {} is beyond the config's {} items", kKindLetters[kind_], number, count));
    return false;
  }
  Kind& kind = kinds_[kind_];
  auto& seen = kind.lines[static_cast<std::size_t>(number)];
  if (seen.first != kind.section) seen = {kind.section, lineNo};
  return true;
}

void LineScan::Items(const char* text, const char* textEnd, int lineNo, bool comment) {
  const char letter = kKindLetters[kind_];
  if (kind_ == kText && comment)
    Report(lineNo, "a text holds \"//\": what follows it is lost when the file is read");
  for (const char* at = text; at < textEnd;) {
    const char* end = at;
    while (end < textEnd && *end != ',' && *end != ';') ++end;
    const std::string_view item(at, static_cast<std::size_t>(end - at));
    at = end == textEnd ? textEnd : end + 1;
    // The writer's "digits:" read at once; anything else names an item
    // only as the reader takes it, and then has the number strtol reads
    // (the item's ':' ends the digits, so strtol never reads past it).
    std::size_t colon = 0;
    long number = 0;
    while (colon < item.size() && colon < 9 && IsDigit(item[colon]))
      number = number * 10 + (item[colon++] - '0');
    if (colon == 0 || colon == item.size() || item[colon] != ':') {
      colon = item.find(':');
      if (colon == std::string_view::npos) {
        if (kind_ == kText && item.find_first_not_of(" \t") != std::string_view::npos)
          Report(lineNo, fmt::format("a text holds ',' or ';': '{}' is lost when the file is read", item));
        continue;
      }
      number = ReadsAsItemNumber(item.substr(0, colon)) ? std::strtol(item.data(), nullptr, 10) : 0;
    }
    if (!Seen(number, lineNo)) continue;
    const std::string_view value = item.substr(colon + 1);
    if (kind_ != kText && !IsNumber(value))
      Report(lineNo, fmt::format("[{}] item {}: '{}' is not a number: it reads as 0 or as its leading digits",
                                 letter, number, value));
    if (kind_ == kText && value.size() > TD_TEXT_MAX)
      Report(lineNo, fmt::format("text of item {} is longer than {} characters", number, TD_TEXT_MAX));
  }
}

}  // namespace tool
