// The line utilities on arbitrary text: every buffer exactly as large as the
// callers' contracts require, so that any overrun is caught.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "typedata.h"

namespace {

std::vector<char> Copy(const std::string& text) {
  return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

std::FILE* StreamOf(const std::string& bytes) {
#ifdef _WIN32
  std::FILE* stream = std::tmpfile();
  if (stream) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
  }
  return stream;
#else
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = input.substr(0, input.find('\0'));

  std::vector<char> a = Copy(text);
  leading(a.data());
  a = Copy(text);
  trailing(a.data());
  a = Copy(text);
  trim(a.data());
  a = Copy(text);
  CutComment(a.data());

  // token: 33 table entries, each buffer able to hold the whole line.
  a = Copy(text);
  std::vector<std::vector<char>> buffers(33, std::vector<char>(text.size() + 1));
  char* table[33];
  for (int i = 0; i < 33; ++i) table[i] = buffers[i].data();
  token(a.data(), table);

  std::vector<char> destination(text.size() + 1);
  quote(text.c_str(), destination.data());

  // append: the input as a stream, a buffer of a size the input picks.
  if (size > 0) {
    const std::uint16_t capacity = static_cast<std::uint16_t>(1 + data[0] % 64);
    if (input.empty()) return 0;
    std::FILE* stream = StreamOf(input);
    if (!stream) return 0;
    std::vector<char> buffer(capacity, '\0');
    while (!std::feof(stream)) {
      buffer[0] = '\0';
      const long before = std::ftell(stream);
      append(stream, buffer.data(), capacity);
      if (std::strlen(buffer.data()) >= capacity) __builtin_trap();
      if (std::ftell(stream) == before) break;
    }
    std::fclose(stream);
  }
  return 0;
}
