// DAT_fread: reads one config's type data file into the config's blocks.
//
// Every section header replaces the block of its kind (and its offline
// twin) by a fresh one sized from the config's description, which the
// section's items then fill. Each value goes to the place its item number
// names (number minus 1), so a file with gaps in its numbering reads back
// to the indexes it was written from. Nothing is stored outside a block: a
// number beyond the block's spare place fails the read, and items met
// before the first section header of this read (header lines) are passed
// over.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "datafile/dat_set_section.h"
#include "datafile/number_text.h"
#include "datafile/parse_state.h"
#include "datafile/type_data_paths.h"
#include "datafile/written_lines.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "typedata_datafile.h"

namespace {

constexpr int kMaxTokens = 32;
constexpr int kTextSection = 4;
// The longest file name whose path still fits a path buffer of the host.
constexpr std::size_t kMaxFileName = TD_PATH_SIZE - 1 - sizeof("..\\type\\0000\\") + 1;

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsItemEnd(char c) { return c == '\0' || c == ',' || c == ';'; }

// Splits a section header line with token and sets its section up. Every
// token gets a buffer as long as itself, so no token, however long, can
// overrun one.
int ReadSectionHeader(char* line, int configPosition, std::vector<char>* arena, bool* recognised) {
  std::size_t offsets[kMaxTokens];
  std::size_t needed = 0;
  int tokens = 0;
  for (const char* c = line; *c != '\0' && tokens < kMaxTokens;) {
    while (*c == ',' || *c == '\n') ++c;
    if (*c == '\0') break;
    const char* start = c;
    while (*c != '\0' && *c != ',' && *c != '\n') ++c;
    offsets[tokens++] = needed;
    needed += static_cast<std::size_t>(c - start) + 1;
  }
  arena->resize(needed + 1);
  char* table[kMaxTokens] = {};
  for (int i = 0; i < tokens; ++i) table[i] = arena->data() + offsets[i];
  if (token(line, table) != 0) return -1;  // 32 tokens or more
  return td::datafile::DAT_SetSection(table, configPosition, recognised);
}

// The item number before an item's ':' (digits, blanks around them
// allowed), or 0 when the text there is missing or not such a number. Large
// numbers stop growing once they name no block. *c is left on the ':', or
// on the end of an item that has none.
long ItemNumber(const char*& c) {
  while (IsWhite(*c)) ++c;
  long number = 0;
  bool digits = false;
  for (; IsDigit(*c); ++c) {
    if (number < 1000000) number = number * 10 + (*c - '0');
    digits = true;
  }
  while (IsWhite(*c)) ++c;
  if (*c == ':') return digits ? number : 0;
  while (!IsItemEnd(*c) && *c != ':') ++c;
  return 0;
}

// Stores the items of one item line into the current section's block.
// -1 when an item number lies beyond the block's spare place.
int ReadItems(const char* line) {
  const char* const lineEnd = line + std::strlen(line);
  ValueBlock* values = td::currentSection == kTextSection ? nullptr : td::currentValueBlock;
  TextBlock* texts = td::currentSection == kTextSection ? td::currentTextBlock : nullptr;
  if (!values && !texts) return 0;
  const long count = values ? values->count : texts->count;
  const char* c = line;
  while (*c != '\0') {
    const long number = ItemNumber(c);
    if (*c == ':') {
      const char* value = ++c;
      const long index = number - 1;
      if (number > 0 && index > count) return -1;
      if (number > 0 && values) {
        // The number ends before the item does; what follows it is dropped.
        values->values[index] = td::datafile::ParseNumber(value, lineEnd, &c);
      }
      c += std::strcspn(c, ",;");  // the item ends at the next ',' or ';' (or the line's end)
      if (number > 0 && texts) {
        const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(c - value), TD_TEXT_MAX);
        char* text = texts->texts[index];
        std::memcpy(text, value, length);
        std::memset(text + length, 0, TD_TEXT_SIZE - length);
      }
    }
    if (*c != '\0') ++c;  // past the ',' or ';'
  }
  return 0;
}

// Ends the line at at with a zero byte in place of its line end (LF or
// CR LF), and gives where the next line starts. Without a line feed before
// end, the line is the file's last, and runs to end.
char* CutLine(char* at, char* end) {
  auto* const lf = static_cast<char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
  if (!lf) {
    *end = '\0';
    return end;
  }
  char* const lineEnd = lf > at && lf[-1] == '\r' ? lf - 1 : lf;
  *lineEnd = '\0';
  return lf + 1;
}

// Reads one line of any layout: a section header, or items when a section
// of this read has begun. *inSection is set once a recognised header is met.
int ReadLine(char* line, int configPosition, std::vector<char>* arena, bool* inSection) {
  CutComment(line);
  line = leading(line);
  if (*line == '\0') return 0;
  trailing(line);
  if (*line == '[') {
    bool recognised = false;
    if (ReadSectionHeader(line, configPosition, arena, &recognised) != 0) return -1;
    *inSection = *inSection || recognised;
    return 0;
  }
  return *inSection ? ReadItems(line) : 0;
}

int Read(const char* fileName, int configPosition, TypeRecord* type) {
  if (!fileName || !type) return -1;
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (configPosition < 0 || !catalogue || configPosition >= catalogue->configCount) return -1;
  if (type->typeNo > TD_TYPE_NO_MAX) return -1;
  const std::size_t nameLength = td::datafile::FieldLength(fileName, kMaxFileName + 1);
  if (nameLength > kMaxFileName) return -1;

  auto file = td::platform::Fs().OpenRead(
      td::datafile::TypeDataPath(type->typeNo, std::string(fileName, nameLength)));
  if (!file) return -1;
  ConfigEntry& entry = type->configs[configPosition];
  if (!entry.blocks) {
    entry.blocks = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
    if (!entry.blocks) return -1;
  }
  td::currentBlockTable = entry.blocks;

  td::platform::LineReader reader(std::move(file));
  std::vector<char> arena;
  bool inSection = false;  // a section header of this read has been met
  char* at = nullptr;
  char* end = nullptr;
  // A buffer's worth of whole lines at a time: the writer's lines are taken
  // in a loop of their own, any other line the general way.
  while (reader.NextLines(&at, &end)) {
    while (at != end) {
      if (inSection && td::currentSection != kTextSection && td::currentValueBlock) {
        bool beyond = false;
        at = td::datafile::ReadWrittenNumberLines(at, end, td::currentValueBlock, &beyond);
        if (beyond) return -1;
        if (at == end) break;
      }
      char* const line = at;
      at = CutLine(line, end);
      if (ReadLine(line, configPosition, &arena, &inSection) != 0) return -1;
    }
  }
  return reader.error() ? -1 : 0;
}

}  // namespace

int DAT_fread(const char* fileName, int configPosition, TypeRecord* type) {
  try {
    return Read(fileName, configPosition, type);
  } catch (...) {  // memory exhausted: nothing crosses the C boundary
    return -1;
  }
}
