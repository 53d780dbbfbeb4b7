#include "text_file.h"

namespace td::platform {
namespace {
constexpr std::size_t kChunk = std::size_t{64} * 1024;
}

LineReader::LineReader(std::unique_ptr<ReadableFile> file) : file_(std::move(file)) {
  if (!file_) {
    end_ = true;
    error_ = true;
  }
}

bool LineReader::Fill() {
  if (end_) return false;
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  const std::size_t old_size = buffer_.size();
  buffer_.resize(old_size + kChunk);
  const std::int64_t got = file_->Read(&buffer_[old_size], kChunk);
  if (got <= 0) {
    buffer_.resize(old_size);
    end_ = true;
    error_ = got < 0;
    return false;
  }
  buffer_.resize(old_size + static_cast<std::size_t>(got));
  return true;
}

bool LineReader::Next(std::string* line) {
  std::size_t scanned = 0;  // bytes after start_ known to hold no line feed
  for (;;) {
    const std::size_t lf = buffer_.find('\n', start_ + scanned);
    if (lf != std::string::npos) {
      std::size_t end = lf;
      if (end > start_ && buffer_[end - 1] == '\r') --end;
      line->assign(buffer_, start_, end - start_);
      start_ = lf + 1;
      return true;
    }
    scanned = buffer_.size() - start_;
    if (!Fill()) break;
  }
  if (error_ || start_ >= buffer_.size()) return false;
  // The last line has no line end.
  line->assign(buffer_, start_, std::string::npos);
  start_ = buffer_.size();
  return true;
}

TextWriter::TextWriter(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {
  ok_ = file_ != nullptr;
  buffer_.reserve(kChunk + 1024);
}

TextWriter::~TextWriter() = default;

void TextWriter::Write(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      buffer_.append(text.substr(start));
      break;
    }
    buffer_.append(text.substr(start, lf - start));
    buffer_.append("\r\n");
    start = lf + 1;
  }
  if (buffer_.size() >= kChunk) Flush();
}

void TextWriter::Flush() {
  if (ok_ && !buffer_.empty()) ok_ = file_->Append(buffer_.data(), buffer_.size());
  buffer_.clear();
}

bool TextWriter::Finish(bool sync) {
  Flush();
  if (!file_) return false;
  if (ok_ && sync) ok_ = file_->Sync();
  const bool closed = file_->Close();
  file_.reset();
  return ok_ && closed;
}

bool ReplaceFileAtomically(const std::string& temp, const std::string& target,
                 const std::function<bool(TextWriter&)>& fill) {
  FileSystem& fs = Fs();
  auto file = fs.OpenWrite(temp, WriteMode::kTruncate);
  if (!file) return false;
  TextWriter writer(std::move(file));
  const bool filled = fill(writer);
  const bool written = writer.Finish(/*sync=*/true);
  if (!filled || !written || !fs.Rename(temp, target)) {
    fs.Remove(temp);
    return false;
  }
  // The new file is in place; a failed folder flush only weakens durability.
  fs.SyncDir(ParentOf(target));
  return true;
}

}  // namespace td::platform
