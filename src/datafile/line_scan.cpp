// The line utilities through which every text file of the service is read.
#include <cstring>
#include <string>

#include "typedata_datafile.h"

namespace {

constexpr int kMaxTokens = 32;

// Exactly the six characters 32 and 9 to 13, whatever the locale.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsSeparator(char c) { return c == ',' || c == '\n'; }

// Reads one line whole, with its line feed cut off. False at the end of the
// stream (or on a read error) when nothing was read.
bool ReadWholeLine(FILE* stream, std::string* line) {
  line->clear();
  char piece[1024];
  while (std::fgets(piece, sizeof piece, stream)) {
    const std::size_t length = std::strlen(piece);
    if (length > 0 && piece[length - 1] == '\n') {
      line->append(piece, length - 1);
      return true;
    }
    line->append(piece, length);
  }
  return !line->empty();
}

}  // namespace

char* leading(char* text) {
  if (!text) return nullptr;
  while (*text != '\0' && IsWhite(*text)) ++text;
  return text;
}

char* trailing(char* text) {
  if (!text || *text == '\0') return text;
  char* last = text + std::strlen(text) - 1;
  while (last >= text && IsWhite(*last)) --last;
  if (last < text) {
    *text = '\0';
    return text;
  }
  last[1] = '\0';
  return last;
}

char* trim(char* text) {
  if (!text) return nullptr;
  char* start = leading(text);
  trailing(start);
  return start;
}

void CutComment(char* text) {
  if (!text) return;
  // A scan for '/' is much quicker than strstr on short lines.
  for (char* slash = std::strchr(text, '/'); slash; slash = std::strchr(slash + 1, '/')) {
    if (slash[1] == '/') {
      *slash = '\0';
      return;
    }
  }
}

int token(char* line, char** table) {
  if (!line || !table) return -1;
  int count = 0;
  char* cursor = line;
  for (;;) {
    while (*cursor != '\0' && IsSeparator(*cursor)) ++cursor;
    if (*cursor == '\0') break;
    char* start = cursor;
    while (*cursor != '\0' && !IsSeparator(*cursor)) ++cursor;
    if (*cursor != '\0') *cursor++ = '\0';
    const char* trimmed = trim(start);
    if (!table[count]) return -1;  // no buffer for this token
    std::memmove(table[count], trimmed, std::strlen(trimmed) + 1);
    if (++count == kMaxTokens) return -1;
  }
  table[count] = nullptr;
  if (count > 0) {
    char* last = table[count - 1];
    char* semicolon = std::strchr(last, ';');
    if (semicolon) {
      *semicolon = '\0';
      table[count - 1] = trim(last);
    }
  }
  return 0;
}

int quote(const char* source, char* destination) {
  if (!source || !destination || *source != '"') return 0;
  const char* start = source + 1;
  const char* end = std::strchr(start, '"');
  const std::size_t length = end ? static_cast<std::size_t>(end - start) : std::strlen(start);
  std::memmove(destination, start, length);
  destination[length] = '\0';
  return static_cast<int>(length);
}

void append(FILE* stream, char* buffer, uint16_t size) {
  if (!stream || !buffer) return;
  std::string line;
  while (ReadWholeLine(stream, &line)) {
    CutComment(&line[0]);
    char* text = leading(&line[0]);
    if (*text == '\0') continue;
    char* last = trailing(text);
    if (size > 0) {
      const std::size_t limit = static_cast<std::size_t>(size) - 1;
      const std::size_t held = std::strlen(buffer);
      if (held < limit) std::strncat(buffer, text, limit - held);
      buffer[limit] = '\0';
    }
    if (*last != ',') return;
  }
}
