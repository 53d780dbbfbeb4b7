// What the tool prints: data on stdout, messages and progress on stderr,
// colour only on a terminal and never with NO_COLOR.
#ifndef TOOLS_TYPEDATA_RENDER_OUTPUT_H
#define TOOLS_TYPEDATA_RENDER_OUTPUT_H

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tool {

// The cells of a progress bar.
constexpr int kProgressWidth = 30;

enum class Style { kPlain, kBold, kDim, kGood, kBad, kNote };

class Output {
 public:
  explicit Output(std::FILE* data = stdout, std::FILE* messages = stderr);
  // Progress and notes go where the data goes (the demo narrates on stdout).
  void NarrateOnData() {
    messages_ = data_;
    messagesOnTerminal_ = colour_;
  }

  // Data (stdout).
  void Line(const std::string& text = "");
  // A styled fragment for data lines.
  std::string Styled(const std::string& text, Style style) const;
  // A table with a header row; columns aligned to their widest cell, by the
  // columns the cells take on a terminal (UTF-8 and double-byte names too).
  void Table(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows);
  // A command's JSON document: the one thing on stdout.
  void Document(const nlohmann::ordered_json& document);

  // Messages (stderr), made Printable whole: they hold no styling, and
  // often names and paths from the tree.
  void Note(const std::string& text);
  void Error(const std::string& text);
  void Warning(const std::string& text);

  // A progress bar on the messages stream; away from a terminal only the
  // finished bar is shown.
  void Progress(const std::string& label, long done, long total);
  void EndProgress();

  std::FILE* data() const { return data_; }
  // For --json on a failure: whether the command printed its document, and
  // the first error it said (the dispatcher's error document).
  bool printedDocument() const { return printedDocument_; }
  const std::string& firstError() const { return firstError_; }
  // Data goes to a terminal: text that must be exact in a file (an export)
  // is made Printable there.
  bool dataOnTerminal() const { return dataOnTerminal_; }

 private:
  std::FILE* data_;
  std::FILE* messages_;
  bool colour_;
  bool progressShown_ = false;
  bool messagesOnTerminal_;
  bool dataOnTerminal_;
  bool printedDocument_ = false;
  std::string firstError_;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_OUTPUT_H
