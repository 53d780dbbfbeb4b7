#include "lifecycle/lifecycle.h"

#include <cstdio>
#include <filesystem>

#include "kinds.h"
#include "link/download_state.h"

namespace td::testing {

TypeRecord* RecordOf(int typeNo) {
  TypeRecord* record = nullptr;
  EXPECT_GE(GetMMITypeNameAndStruc(typeNo, nullptr, &record), 0) << "type " << typeNo;
  return record;
}

double ValueOf(int typeNo, int configNo, int slot, unsigned item) {
  const ValueBlock* block = ValueSlot(RecordOf(typeNo)->configs[configNo - 1].blocks, slot);
  EXPECT_NE(block, nullptr);
  EXPECT_LT(item, block ? block->count : 0u);
  return block ? block->values[item] : -12345.0;
}

const char* TextOf(int typeNo, int configNo, unsigned item) {
  const TextBlock* block = TextSlot(RecordOf(typeNo)->configs[configNo - 1].blocks, TD_SLOT_V);
  EXPECT_NE(block, nullptr);
  return block ? block->texts[item] : "(none)";
}

void AddCatalogueType(int typeNo, const char* name) { ASSERT_EQ(UpdateTypeFile(name, typeNo, 1), 0) << name; }

void PutFile(const std::string& path, const std::string& bytes) {
  MakeDirs(std::filesystem::path(path).parent_path().string());
  WriteFileBytes(path, bytes);
  ASSERT_EQ(ReadFileBytes(path), bytes) << path;
}

std::string TypeFilePath(const Workspace& workspace, int typeNo, const std::string& prefix) {
  char name[64];
  std::snprintf(name, sizeof name, "type/%04d/%s%04d.DAT", typeNo, prefix.c_str(), typeNo);
  return workspace.Path(name);
}

void LifecycleTest::SetUp() {
  SimHostTest::SetUp();
  sendTypeRecord = nullptr;
  sendConfigCursor = 0;
}

}  // namespace td::testing
