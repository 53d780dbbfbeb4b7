#include "text_file.h"

#include <algorithm>
#include <cstring>

#include "last_error.h"
#include "temp_file.h"

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
  // What is left of the buffer moves to its front; a line longer than the
  // buffer makes it twice as large.
  if (start_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + start_, size_ - start_);
    size_ -= start_;
    start_ = 0;
  }
  if (capacity_ - size_ < kChunk) {
    const std::size_t capacity = capacity_ == 0 ? kChunk : capacity_ * 2;
    std::unique_ptr<char[]> larger(new char[capacity + kSlack]);
    if (size_ > 0) std::memcpy(larger.get(), buffer_.get(), size_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
  }
  const std::int64_t got = file_->Read(buffer_.get() + size_, capacity_ - size_);
  if (got <= 0) {
    end_ = true;
    error_ = got < 0;
    return false;
  }
  size_ += static_cast<std::size_t>(got);
  std::memset(buffer_.get() + size_, 0, kSlack);
  return true;
}

bool LineReader::NextInPlaceAfterFill(char** line, std::size_t* length) {
  std::size_t scanned = 0;  // bytes after start_ known to hold no line feed
  for (;;) {
    char* begin = buffer_.get() + start_;
    const std::size_t held = size_ - start_;
    if (held > scanned) {
      if (auto* lf = static_cast<char*>(std::memchr(begin + scanned, '\n', held - scanned))) {
        char* end = lf;
        if (end > begin && end[-1] == '\r') --end;
        *end = '\0';
        *line = begin;
        *length = static_cast<std::size_t>(end - begin);
        start_ += static_cast<std::size_t>(lf - begin) + 1;
        return true;
      }
    }
    scanned = held;
    if (!Fill()) break;
  }
  if (error_ || start_ >= size_) return false;
  // The last line has no line end; the byte after the buffer's capacity
  // is there for its zero.
  char* begin = buffer_.get() + start_;
  buffer_[size_] = '\0';
  *line = begin;
  *length = size_ - start_;
  start_ = size_;
  return true;
}

bool LineReader::NextLines(char** begin, char** end) {
  std::size_t scanned = 0;  // bytes after start_ known to hold no line feed
  for (;;) {
    char* const first = buffer_.get() + start_;
    // The last line feed held: lines are short, so it is near the end.
    for (char* at = buffer_.get() + size_; at != first + scanned; --at) {
      if (at[-1] == '\n') {
        *begin = first;
        *end = at;
        start_ = static_cast<std::size_t>(at - buffer_.get());
        return true;
      }
    }
    scanned = size_ - start_;
    if (!Fill()) break;
  }
  if (error_ || start_ >= size_) return false;
  // The last line has no line end. The bytes after it may be left from
  // earlier pieces of the file (moved, not read): zeros in their place.
  std::memset(buffer_.get() + size_, 0, kSlack);
  *begin = buffer_.get() + start_;
  *end = buffer_.get() + size_;
  start_ = size_;
  return true;
}

bool LineReader::Next(std::string* line) {
  char* text = nullptr;
  std::size_t length = 0;
  if (!NextInPlace(&text, &length)) return false;
  line->assign(text, length);
  return true;
}

TextWriter::TextWriter(std::unique_ptr<WritableFile> file)
    : file_(std::move(file)), buffer_(new char[kBufferSize]) {
  ok_ = file_ != nullptr;
}

TextWriter::~TextWriter() = default;

void TextWriter::Put(const char* data, std::size_t size) {
  while (size > 0) {
    if (size_ == kBufferSize) Flush();
    const std::size_t piece = std::min(size, kBufferSize - size_);
    std::memcpy(buffer_.get() + size_, data, piece);
    size_ += piece;
    data += piece;
    size -= piece;
  }
}

void TextWriter::Write(std::string_view text) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at < end) {
    const auto* lf = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    if (!lf) {
      Put(at, static_cast<std::size_t>(end - at));
      break;
    }
    Put(at, static_cast<std::size_t>(lf - at));
    Put("\r\n", 2);
    at = lf + 1;
  }
}

void TextWriter::WritePlainLine(const char* text, std::size_t length) {
  if (kBufferSize - size_ >= length + 2) {  // the usual case: room in the buffer
    std::memcpy(buffer_.get() + size_, text, length);
    size_ += length;
    buffer_[size_++] = '\r';
    buffer_[size_++] = '\n';
    return;
  }
  Put(text, length);
  Put("\r\n", 2);
}

void TextWriter::Flush() {
  if (ok_ && size_ > 0) ok_ = file_->Append(buffer_.get(), size_);
  size_ = 0;
}

bool TextWriter::Finish(bool sync) {
  Flush();
  if (!file_) return false;
  if (ok_ && sync) ok_ = file_->Sync();
  const bool closed = file_->Close();
  file_.reset();
  return ok_ && closed;
}

bool ReplaceFileAtomically(const std::string& target, const std::function<bool(TextWriter&)>& fill) {
  FileSystem& fs = Fs();
  std::string temp;
  auto file = CreateTemporaryFile(ParentOf(target), &temp);
  if (!file) return false;
  TextWriter writer(std::move(file));
  const bool filled = fill(writer);
  const bool written = writer.Finish(/*sync=*/true);
  if (!filled || !written || !fs.Rename(temp, target)) {
    const KeepLastError keep;
    fs.Remove(temp);
    return false;
  }
  // The new file is in place; a failed folder flush only weakens durability.
  fs.SyncDir(ParentOf(target));
  return true;
}

}  // namespace td::platform
