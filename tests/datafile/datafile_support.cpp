#include "datafile/datafile_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace dftest {

bool operator==(const BlockImage& a, const BlockImage& b) {
  if (a.present != b.present || a.kind != b.kind || a.count != b.count || a.texts != b.texts) return false;
  // Bit for bit, so that -0.0 and 0.0 differ.
  if (a.values.size() != b.values.size()) return false;
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    if (std::memcmp(&a.values[i], &b.values[i], sizeof(double)) != 0) return false;
  }
  return true;
}

std::ostream& operator<<(std::ostream& out, const BlockImage& image) {
  if (!image.present) return out << "(no block)";
  out << "'" << image.kind << "' count " << image.count << ":";
  char number[64];
  for (double value : image.values) {
    std::snprintf(number, sizeof number, " %.17g", value);
    out << number;
  }
  for (const std::string& text : image.texts) out << " \"" << text << "\"";
  return out;
}

BlockImage ImageOf(const BlockTable* table, int slot) {
  BlockImage image;
  if (!table || !table->slot[slot]) return image;
  image.present = true;
  if (slot == TD_SLOT_V || slot == TD_SLOT_OFFLINE_V) {
    const auto* block = static_cast<const TextBlock*>(table->slot[slot]);
    image.kind = block->kind;
    image.count = block->count;
    for (int i = 0; i <= block->count; ++i) {
      image.texts.emplace_back(block->texts[i], strnlen(block->texts[i], TD_TEXT_SIZE));
    }
  } else {
    const auto* block = static_cast<const ValueBlock*>(table->slot[slot]);
    image.kind = block->kind;
    image.count = block->count;
    image.values.assign(block->values, block->values + block->count + 1);
  }
  return image;
}

ValueBlock* NewValueBlock(char kind, int count) {
  auto* block = static_cast<ValueBlock*>(MMI_GlobalAlloc(TD_VALUE_BLOCK_SIZE(count)));
  block->kind = kind;
  block->count = static_cast<std::uint16_t>(count);
  return block;
}

TextBlock* NewTextBlock(int count) {
  auto* block = static_cast<TextBlock*>(MMI_GlobalAlloc(TD_TEXT_BLOCK_SIZE(count)));
  block->kind = 'V';
  block->count = static_cast<std::uint16_t>(count);
  return block;
}

ConfigRecord* ConfigOf(int configPosition) {
  ConfigRecord* config = nullptr;
  EXPECT_GE(SearchMMIConfigIndex(configPosition + 1, &config), 0);
  return config;
}

int CountOf(int configPosition, char kindLetter) {
  return ConfigOf(configPosition)->kindTable[GetHAIndex(kindLetter)].count;
}

TypeRecord* DatafileTest::Start(const std::string& machine, int typeNo, const char* name) {
  mmisim::Start(td::testing::MachineFrom(machine));
  EXPECT_TRUE(mmisim::AddType(typeNo, name));
  GetMMISystemStruc()->currentTypeNo = static_cast<std::uint16_t>(typeNo);
  TypeRecord* type = nullptr;
  EXPECT_GE(GetMMITypeNameAndStruc(typeNo, nullptr, &type), 0);
  return type;
}

BlockTable* DatafileTest::BuildBlocks(TypeRecord* type, int configPosition, bool twins) {
  auto* table = static_cast<BlockTable*>(MMI_GlobalAlloc(TD_BLOCK_TABLE_SIZE));
  const char letters[] = "DSAL";
  const int slots[] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L};
  for (int k = 0; k < 4; ++k) {
    const int count = CountOf(configPosition, letters[k]);
    table->slot[slots[k]] = NewValueBlock(letters[k], count);
    if (twins && k < 2) table->slot[slots[k] + 4] = NewValueBlock(letters[k], count);
  }
  const int texts = CountOf(configPosition, 'V');
  table->slot[TD_SLOT_V] = NewTextBlock(texts);
  if (twins) table->slot[TD_SLOT_OFFLINE_V] = NewTextBlock(texts);
  type->configs[configPosition].blocks = table;
  return table;
}

std::string DatafileTest::TypeFolder(int typeNo) const {
  char folder[32];
  std::snprintf(folder, sizeof folder, "type/%04d", typeNo);
  return workspace_.Path(folder);
}

std::string DatafileTest::TypeFile(int typeNo, const std::string& name) const {
  return TypeFolder(typeNo) + "/" + name;
}

std::string DatafileTest::ReadTypeFile(int typeNo, const std::string& name) const {
  return td::testing::ReadFileBytes(TypeFile(typeNo, name));
}

void DatafileTest::WriteTypeFile(int typeNo, const std::string& name, const std::string& bytes) const {
  td::testing::MakeDirs(TypeFolder(typeNo));
  td::testing::WriteFileBytes(TypeFile(typeNo, name), bytes);
}

std::vector<std::string> DatafileTest::NamesIn(int typeNo) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(TypeFolder(typeNo), error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string GoldenFile(const std::string& name) {
  const std::string path = std::string(TD_TEST_DATA_DIR) + "/datafile/" + name;
  EXPECT_TRUE(td::testing::FileExists(path)) << path;
  return td::testing::ReadFileBytes(path);
}

}  // namespace dftest
