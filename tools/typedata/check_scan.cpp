#include "check_scan.h"

#include <fmt/core.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "values.h"

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

}  // namespace

int LineScan::LineOf(int k, unsigned item) const {
  const Kind& kind = kinds_[k];
  if (item >= kind.lines.size() || kind.section == 0 || kind.lines[item].first != kind.section) return 0;
  return kind.lines[item].second;
}

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
  int lineNo = 0;
  for (char* line = bytes; line < end;) {
    char* lineEnd = static_cast<char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
    char* const next = lineEnd ? lineEnd + 1 : end;
    if (!lineEnd) lineEnd = end;
    ++lineNo;
    if (lineEnd > line && lineEnd[-1] == '\r') --lineEnd;
    const std::size_t length = static_cast<std::size_t>(lineEnd - line);
    const bool slash = std::memchr(line, '/', length) != nullptr;
    // A text's "//" counts wherever it stands, even behind a NUL byte.
    const bool comment =
        slash && kind_ == kText && std::string_view(line, length).find("//") != std::string_view::npos;
    *lineEnd = '\0';
    const char* text = line;
    const char* textEnd = lineEnd;
    // Most lines hold nothing to cut: no comment, no white space at either
    // end, no NUL byte. The others are cut by the reader's own utilities.
    if (length == 0 || slash || IsWhite(line[0]) || IsWhite(lineEnd[-1]) || std::memchr(line, '\0', length)) {
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
  const char* name = text + 1;
  while (name < close && IsBlank(*name)) ++name;
  while (close > name && IsBlank(close[-1])) --close;
  if (close - name != 1 || KindIndex(*name) < 0) return;
  kind_ = KindIndex(*name);
  anySection_ = true;
  Kind& kind = kinds_[kind_];
  kind.present = true;
  kind.sectionLine = lineNo;
  kind.section = ++sections_;
}

void LineScan::Items(const char* text, const char* textEnd, int lineNo, bool comment) {
  const unsigned count = counts_[kind_];
  const char letter = kKindLetters[kind_];
  if (kind_ == kText && comment)
    Report(lineNo, "a text holds \"//\": what follows it is lost when the file is read");
  Kind& kind = kinds_[kind_];
  for (const char* at = text; at < textEnd;) {
    const char* end = at;
    while (end < textEnd && *end != ',' && *end != ';') ++end;
    const std::string_view item(at, static_cast<std::size_t>(end - at));
    at = end == textEnd ? textEnd : end + 1;
    // The writer's "digits:" read at once, anything else as strtol reads it
    // (the item's ':' ends the digits, so strtol never reads past the item).
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
      number = std::strtol(item.data(), nullptr, 10);
    }
    if (number < 1) continue;
    if (static_cast<unsigned long>(number) > count) {
      Report(lineNo, fmt::format("[{}] item {} is beyond the config's {} items", letter, number, count));
      continue;
    }
    auto& seen = kind.lines[static_cast<std::size_t>(number)];
    if (seen.first != kind.section) seen = {kind.section, lineNo};
    const std::string_view value = item.substr(colon + 1);
    if (kind_ != kText && !IsNumber(value))
      Report(lineNo, fmt::format("[{}] item {}: '{}' is not a number: it reads as 0 or as its leading digits",
                                 letter, number, value));
    if (kind_ == kText && value.size() > TD_TEXT_MAX)
      Report(lineNo, fmt::format("text of item {} is longer than {} characters", number, TD_TEXT_MAX));
  }
}

}  // namespace tool
