#include "render/output.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "core/display_width.h"

namespace tool {

Output::Output(std::FILE* data, std::FILE* messages) : data_(data), messages_(messages) {
  dataOnTerminal_ = isatty(fileno(data));
  colour_ = dataOnTerminal_ && std::getenv("NO_COLOR") == nullptr;
  messagesOnTerminal_ = isatty(fileno(messages));
}

void Output::Line(const std::string& text) { fmt::print(data_, "{}\n", text); }

std::string Output::Styled(const std::string& text, Style style) const {
  if (!colour_ || style == Style::kPlain) return text;
  const char* code = "";
  switch (style) {
    case Style::kBold:
      code = "1";
      break;
    case Style::kDim:
      code = "2";
      break;
    case Style::kGood:
      code = "32";
      break;
    case Style::kBad:
      code = "31";
      break;
    case Style::kNote:
      code = "36";
      break;
    case Style::kPlain:
      break;
  }
  return fmt::format("\033[{}m{}\033[0m", code, text);
}

void Output::Table(const std::vector<std::string>& header,
                   const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(header.size(), 0);
  auto measure = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  };
  measure(header);
  for (const auto& row : rows) measure(row);
  auto print = [&](const std::vector<std::string>& row, bool head) {
    std::string line;
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      const std::string cell = head ? Styled(row[c], Style::kBold) : row[c];
      line += cell;
      if (c + 1 < row.size()) line += std::string(widths[c] - DisplayWidth(row[c]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    Line(line);
  };
  print(header, true);
  for (const auto& row : rows) print(row, false);
}

void Output::Document(const nlohmann::ordered_json& document) {
  // Texts that are not UTF-8 (a double-byte code page) are shown with U+FFFD
  // here; the export, which must be exact, refuses them before.
  Line(document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  printedDocument_ = true;
}

void Output::Note(const std::string& text) {
  EndProgress();
  fmt::print(messages_, "{}\n", Printable(text));
}

void Output::Error(const std::string& text) {
  EndProgress();
  if (firstError_.empty()) firstError_ = text;
  fmt::print(messages_, "typedata: {}\n", Printable(text));
}

void Output::Warning(const std::string& text) {
  EndProgress();
  fmt::print(messages_, "typedata: warning: {}\n", Printable(text));
}

void Output::Progress(const std::string& label, long done, long total) {
  if (total <= 0) return;
  // Away from a terminal only the finished bar is shown, once.
  if (!messagesOnTerminal_ && done != total) return;
  const int filled = static_cast<int>(kProgressWidth * std::min(done, total) / total);
  fmt::print(messages_, "{}{} [{}{}] {}/{}", messagesOnTerminal_ ? "\r" : "", label, std::string(filled, '#'),
             std::string(kProgressWidth - filled, '.'), done, total);
  std::fflush(messages_);
  progressShown_ = true;
  if (!messagesOnTerminal_) EndProgress();
}

void Output::EndProgress() {
  if (!progressShown_) return;
  fmt::print(messages_, "\n");
  progressShown_ = false;
}

}  // namespace tool
