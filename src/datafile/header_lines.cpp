#include "datafile/header_lines.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace td::datafile {
namespace {

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsSectionLetter(char c) { return c == 'D' || c == 'S' || c == 'A' || c == 'L' || c == 'V'; }

// Hands the file out a few kilobytes at a time: the header lines are a few
// at the front of a file of up to megabytes, and nothing after them is read.
class FrontOfFile final : public platform::ReadableFile {
 public:
  explicit FrontOfFile(std::unique_ptr<platform::ReadableFile> file) : file_(std::move(file)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    return file_->Read(buffer, std::min(size, kPiece));
  }

 private:
  static constexpr std::size_t kPiece = 4096;
  std::unique_ptr<platform::ReadableFile> file_;
};

}  // namespace

bool StartsSection(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && IsWhite(line[at])) ++at;
  return line.size() - at >= 3 && line[at] == '[' && IsSectionLetter(line[at + 1]) && line[at + 2] == ']';
}

bool CopyHeaderLines(std::unique_ptr<platform::ReadableFile> file, platform::TextWriter& out) {
  if (!file) return false;
  platform::LineReader in(std::make_unique<FrontOfFile>(std::move(file)));
  std::string line;
  while (in.Next(&line)) {
    if (StartsSection(line)) return true;
    out.WriteLine(line);
  }
  return !in.error();
}

}  // namespace td::datafile
