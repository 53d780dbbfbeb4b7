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
#include "datafile/eight_digits.h"
#include "datafile/number_text.h"
#include "datafile/parse_state.h"
#include "datafile/type_data_paths.h"
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
      while (!IsItemEnd(*c)) ++c;  // the item ends at the next ',' or ';'
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

// A line of one number item as the writer writes it: digits, ':', the
// value, and ',' or ';' as the line's last character. Such a line is read
// in one pass, storing what the general steps below would store (it holds
// no comment and no white space at either end); false, with nothing done,
// for every other line. *result is -1 when the item number lies beyond the
// block's spare place.
bool ReadWrittenNumberLine(const char* line, std::size_t length, ValueBlock* block, int* result) {
  const char* c = line;
  long number = 0;
  if (length >= 8) {  // the item number's digits in one word
    const std::uint64_t head = td::datafile::LoadEight(line);
    const int digits = td::datafile::LeadingDigits(head);
    if (digits > 6) return false;  // a number that large: the general steps
    number = static_cast<long>(td::datafile::FirstDigitsValue(head, digits));
    c += digits;
  } else {
    for (; IsDigit(*c); ++c) {
      if (c - line == 6) return false;
      number = number * 10 + (*c - '0');
    }
  }
  if (c == line || *c != ':') return false;
  const char* const last = line + length - 1;
  double value = 0.0;
  if ((*last != ',' && *last != ';') || !td::datafile::ParseWrittenNumber(c + 1, last, &value, line))
    return false;
  *result = 0;
  if (number == 0) return true;  // names no item: nothing is stored
  const long index = number - 1;
  if (index > block->count) {
    *result = -1;
    return true;
  }
  block->values[index] = value;
  return true;
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
  char* line = nullptr;
  std::size_t length = 0;
  while (reader.NextInPlace(&line, &length)) {
    if (inSection && td::currentSection != kTextSection && td::currentValueBlock) {
      int result = 0;
      if (ReadWrittenNumberLine(line, length, td::currentValueBlock, &result)) {
        if (result != 0) return -1;
        continue;
      }
    }
    CutComment(line);
    line = leading(line);
    if (*line == '\0') continue;
    trailing(line);
    if (*line == '[') {
      bool recognised = false;
      if (ReadSectionHeader(line, configPosition, &arena, &recognised) != 0) return -1;
      inSection = inSection || recognised;
    } else if (inSection && ReadItems(line) != 0) {
      return -1;
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
