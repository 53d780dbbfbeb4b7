// Text files as the service keeps them: lines end in CR LF on disk on every
// platform, and lines are read whole, whatever their length.
#ifndef TYPEDATA_PLATFORM_TEXT_FILE_H
#define TYPEDATA_PLATFORM_TEXT_FILE_H

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "file_system.h"

namespace td::platform {

class LineReader {
 public:
  explicit LineReader(std::unique_ptr<ReadableFile> file);

  // The next line without its line end (LF, or CR LF). False at the end of
  // the file and on a read error (then error() is true).
  bool Next(std::string* line);
  // The same line where it lies in the reader's buffer, without a copy: its
  // line end is overwritten by a zero byte, so it is also a C string (cut at
  // the first zero byte it holds). Valid, and free to change, until the next
  // call.
  // Inline for the usual case, a whole line in the buffer: lines are short,
  // and the readers of the catalogue and of header lines ask for each.
  bool NextInPlace(char** line, std::size_t* length) {
    char* const begin = buffer_.get() + start_;
    const std::size_t held = size_ - start_;
    auto* const lf = held > 0 ? static_cast<char*>(std::memchr(begin, '\n', held)) : nullptr;
    if (!lf) return NextInPlaceAfterFill(line, length);
    char* end = lf;
    if (end > begin && end[-1] == '\r') --end;
    *end = '\0';
    *line = begin;
    *length = static_cast<std::size_t>(end - begin);
    start_ += static_cast<std::size_t>(lf - begin) + 1;
    return true;
  }
  // For a reader that finds the line ends itself: every whole line held in
  // the buffer at once, where they lie. [*begin, *end) ends just after a
  // line feed, or is the file's last line, without one, followed by a zero
  // byte. The kSlack bytes after *end may be read (they hold bytes of the
  // file, or zeros). Valid, and free to change, until the next call. False
  // at the end of the file and on a read error (then error() is true).
  bool NextLines(char** begin, char** end);
  static constexpr std::size_t kSlack = 32;

  bool error() const { return error_; }

 private:
  bool Fill();
  bool NextInPlaceAfterFill(char** line, std::size_t* length);

  std::unique_ptr<ReadableFile> file_;
  // Bytes read and not yet handed out lie in [start_, size_) of buffer_,
  // which holds capacity_ bytes and kSlack more, for a closing zero byte
  // and the reads of NextLines past its lines; those after size_ are zeros.
  // It is never filled with zeros first: only what the file gave is read.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t start_ = 0;
  std::size_t size_ = 0;
  bool end_ = false;
  bool error_ = false;
};

// Writes text with every '\n' put on disk as CR LF.
class TextWriter {
 public:
  explicit TextWriter(std::unique_ptr<WritableFile> file);
  ~TextWriter();

  void Write(std::string_view text);
  void WriteLine(std::string_view text) {
    Write(text);
    Write("\n");
  }
  // Writes a line that holds no '\n' (as the service's own numbers), and
  // its line end, without looking for line ends in it.
  void WritePlainLine(const char* text, std::size_t length);
  // The same, put together in place: room for at most size bytes (a few
  // hundred) of such a line; the caller writes them there and hands the end
  // of what it wrote to EndPlainLine, which adds the line end.
  // Inline: the writer of type data files puts every item's line so.
  char* BeginPlainLine(std::size_t size) {
    if (kBufferSize - size_ < size + 2) Flush();
    return buffer_.get() + size_;
  }
  void EndPlainLine(char* end) {
    end[0] = '\r';
    end[1] = '\n';
    size_ = static_cast<std::size_t>(end - buffer_.get()) + 2;
  }
  // Writes what is buffered, flushes it to disk when sync is true, and
  // closes the file. False when any write, the flush or the close failed.
  bool Finish(bool sync);
  bool ok() const { return ok_; }

 private:
  void Put(const char* data, std::size_t size);
  void Flush();

  static constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

  std::unique_ptr<WritableFile> file_;
  std::unique_ptr<char[]> buffer_;  // kBufferSize bytes, size_ of them in use
  std::size_t size_ = 0;
  bool ok_ = true;
};

// Replaces target with new content, atomically: fill writes the content
// into a new temporary file in target's folder, which is flushed to disk and
// renamed over target, and the folder is flushed. When fill gives false or
// anything fails, the temporary file is removed, target is left as it was,
// the reason of a failed call stays in errno (GetLastError() on Windows),
// and the result is false.
bool ReplaceFileAtomically(const std::string& target, const std::function<bool(TextWriter&)>& fill);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_TEXT_FILE_H
