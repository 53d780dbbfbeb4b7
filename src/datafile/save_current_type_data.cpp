// SaveCurrentTypeData: writes the type data file of the current type for one
// config.
//
// A file made anew takes every value from the blocks. When the file exists,
// its header lines are kept and the D, S and A values come from comm memory,
// where the controller's current values are; L values (not in comm memory)
// and V texts come from the blocks in both cases. The file is replaced
// atomically: the whole new file is written to a new temporary file and flushed
// before it takes the old file's place, and any failure leaves the old file
// as it was.
#include <cstring>
#include <memory>
#include <string>

#include "datafile/header_lines.h"
#include "datafile/number_text.h"
#include "datafile/type_data_paths.h"
#include "model/kinds.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "typedata_datafile.h"

namespace {

using td::datafile::FormatFixed6;
using td::datafile::FormatLong;
using td::platform::TextWriter;

enum class Source { kBlocks, kCommMemory };

// An item line of a number: its item number, ':', the value and the
// terminator (";" on the block's last item, "," on every other).
constexpr std::size_t kNumberLineMax = td::datafile::kLongMax + 1 + td::datafile::kFixed6Max + 1;

// The item numbers of a section's lines, 1, 2, 3, ..., counted up as text
// in one word (the first character in its lowest byte): adding one to the
// last digit costs far less than forming the number.
class ItemNumber {
 public:
  // Writes eight bytes at at; gives the end of the number, which is value
  // (for the numbers too long for the word).
  char* Put(char* at, std::int32_t value) const {
    if (length_ > 8) return td::datafile::FormatLong(at, value);
    std::memcpy(at, &digits_, sizeof digits_);
    return at + length_;
  }
  void Next() {
    if ((digits_ & lastMask_) != lastNine_) {  // nine times out of ten
      digits_ += lastUnit_;
    } else {
      Carry();
    }
  }

 private:
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first character must lie in the lowest byte");

  void Carry() {
    if (length_ > 8) return;
    int i = length_ - 1;
    for (; i >= 0 && (digits_ >> (8 * i) & 0xFF) == '9'; --i) {
      digits_ ^= std::uint64_t{'9' ^ '0'} << (8 * i);  // 9 gives 0 and one to carry
    }
    if (i >= 0) {
      digits_ += std::uint64_t{1} << (8 * i);
      return;
    }
    if (++length_ > 8) return;  // 9...9 gives 10...0
    digits_ = digits_ << 8 | '1';
    lastUnit_ <<= 8;
    lastMask_ <<= 8;
    lastNine_ <<= 8;
  }

  std::uint64_t digits_ = '1';  // up to eight digits; longer numbers are formed anew
  int length_ = 1;
  // The last digit's byte: one in it, all of it, and a nine in it.
  std::uint64_t lastUnit_ = 1;
  std::uint64_t lastMask_ = 0xFF;
  std::uint64_t lastNine_ = '9';
};

// A value of comm memory, the controller's current one.
char* PutCommValue(char* at, CfgId id, CfgIdRecord* item) {
  std::int32_t commValue = 0;
  GetCommData(0, id, &commValue);
  if (td::IsReal(item->dataType)) return FormatFixed6(at, ConvertMMIBintoBinF(commValue, item->conversion));
  return FormatLong(at, ConvertMMIBintoBinL(commValue, item->conversion));
}

char* PutBlockValue(char* at, CfgIdRecord* item, double blockValue) {
  if (td::IsReal(item->dataType)) return FormatFixed6(at, blockValue);
  if (td::IsInUse(item->dataType)) return FormatLong(at, td::datafile::TruncateToLong(blockValue));
  return FormatLong(at, 0);
}

// The lines of one kind's items; where the values come from is decided
// once for the section, not for every line.
template <bool kFromCommMemory>
void WriteNumberLines(TextWriter& out, int kindCode, const ValueBlock* block, int configIndex) {
  const int count = block->count;
  const double* const values = block->values;
  ItemNumber number;
  for (int i = 0; i < count; ++i, number.Next()) {
    const CfgId id = TD_CFGID(i, kindCode, configIndex);
    CfgIdRecord* item = nullptr;
    if (GetCFGIDStruc(id, &item) < 0 || !item) continue;  // no description: left out
    // Put together where it goes in the writer's buffer.
    char* at = number.Put(out.BeginPlainLine(kNumberLineMax), i + 1);
    *at++ = ':';
    at = kFromCommMemory ? PutCommValue(at, id, item) : PutBlockValue(at, item, values[i]);
    *at++ = i + 1 == count ? ';' : ',';  // the block's last item ends with ';'
    out.EndPlainLine(at);
  }
}

void WriteValueSection(TextWriter& out, const td::Kind& kind, const ValueBlock* block, int configIndex,
                       Source source) {
  const char header[] = {'[', kind.letter, ']'};
  out.WritePlainLine(header, sizeof header);
  if (source == Source::kCommMemory && kind.inCommMem) {
    WriteNumberLines<true>(out, kind.code, block, configIndex);
  } else {
    WriteNumberLines<false>(out, kind.code, block, configIndex);
  }
}

// Texts are written as they stand; a line feed in one is put on disk as
// CR LF like any other.
void WriteTextSection(TextWriter& out, const TextBlock* block, int configIndex, std::string* line) {
  constexpr std::size_t kTextLineMax = td::datafile::kLongMax + 1 + TD_TEXT_MAX + 1;
  out.WriteLine("[V]");
  ItemNumber number;
  for (int i = 0; i < block->count; ++i, number.Next()) {
    CfgIdRecord* item = nullptr;
    if (GetCFGIDStruc(TD_CFGID(i, TD_CODE_V, configIndex), &item) < 0 || !item) continue;
    if (!td::IsInUse(item->dataType)) continue;
    const char* const text = block->texts[i];
    const std::size_t length = td::datafile::FieldLength(text, TD_TEXT_MAX);
    const char terminator = i + 1 == block->count ? ';' : ',';
    if (std::memchr(text, '\n', length)) {  // the rare text of several lines
      line->clear();
      td::datafile::AppendLong(line, i + 1);
      *line += ':';
      line->append(text, length);
      *line += terminator;
      out.WriteLine(*line);
      continue;
    }
    char* at = number.Put(out.BeginPlainLine(kTextLineMax), i + 1);
    *at++ = ':';
    std::memcpy(at, text, length);
    at += length;
    *at++ = terminator;
    out.EndPlainLine(at);
  }
}

void WriteSections(TextWriter& out, const BlockTable* table, int configIndex, Source source) {
  std::string line;
  for (const td::Kind& kind : td::kKinds) {
    if (!kind.numeric) continue;
    if (const ValueBlock* block = td::ValueSlot(table, kind.slot)) {
      WriteValueSection(out, kind, block, configIndex, source);
    }
  }
  if (const TextBlock* block = td::TextSlot(table, TD_SLOT_V))
    WriteTextSection(out, block, configIndex, &line);
}

int Save(int configPosition) {
  namespace df = td::datafile;
  const SystemRecord* system = GetMMISystemStruc();
  if (!system) return -1;
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(system->currentTypeNo, nullptr, &type) < 0) return 0;  // no current type
  ConfigRecord* config = nullptr;
  const int configIndex = SearchMMIConfigIndex(configPosition + 1, &config);
  if (configIndex < 0 || !config || !type) return -1;
  // Entry p must lie inside the type record, and the names must fit the
  // fields that the reader finds them by.
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  if (configPosition < 0 || !catalogue || configPosition >= catalogue->configCount) return -1;
  const int typeNo = type->typeNo;
  if (typeNo > TD_TYPE_NO_MAX) return -1;
  ConfigEntry& entry = type->configs[configPosition];
  const std::size_t datNameLength = df::FieldLength(entry.datName, TD_DAT_NAME_SIZE);
  if (datNameLength > TD_DAT_NAME_MAX) return -1;

  td::platform::FileSystem& fs = td::platform::Fs();
  std::string path;
  std::unique_ptr<td::platform::ReadableFile> old;
  if (datNameLength > 0) {
    path = df::TypeDataPath(typeNo, std::string(entry.datName, datNameLength));
    old = fs.OpenRead(path);
    // A file that is there but cannot be read must not be replaced by one
    // made from the blocks.
    if (!old && fs.Exists(path)) return -1;
  }
  if (!old) {
    const std::size_t prefixLength = df::FieldLength(config->name, sizeof config->name);
    if (prefixLength > TD_PREFIX_MAX) return -1;
    path = df::TypeDataPath(typeNo, df::NewTypeDataFileName(std::string(config->name, prefixLength), typeNo));
  }
  const Source source = old ? Source::kCommMemory : Source::kBlocks;

  if (!old) {  // an old file's folders are there
    fs.MakeDir(df::TypeRoot());
    fs.MakeDir(df::TypeFolder(typeNo));
  }
  const bool replaced = td::platform::ReplaceFileAtomically(path, [&](TextWriter& out) {
    if (old) {
      // The old file is closed before it is replaced: Windows renames no
      // file over one that is open.
      if (!df::CopyHeaderLines(std::move(old), out)) return false;
    }
    WriteSections(out, entry.blocks, configIndex & 0xFF, source);
    return out.ok();
  });
  return replaced ? 0 : -1;
}

}  // namespace

int SaveCurrentTypeData(int configPosition) {
  try {
    return Save(configPosition);
  } catch (...) {  // memory exhausted: nothing crosses the C boundary
    return -1;
  }
}
