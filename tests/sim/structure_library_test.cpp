// The simulated structure, shell, communication and conversion libraries,
// as the service calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "support/sim_host.h"
#include "typedata.h"

namespace {

using td::testing::MachineFrom;

class StructureLibrary : public td::testing::SimHostTest {};

const char* kListOrderMachine = R"(
offline on
config 3 prefix C
  items D 2
  item D 2 P 1.25 scale 2
config 1 prefix A
  items S 1
config 2 prefix B part 1
  items V 2
  item V 2 blank
)";

TEST_F(StructureLibrary, ConfigIndexIsListPositionWhateverTheNumbers) {
  mmisim::Start(MachineFrom(kListOrderMachine));
  ConfigRecord* config = nullptr;
  EXPECT_EQ(SearchMMIConfigIndex(1, &config), 1);
  EXPECT_STREQ(config->name, "A");
  EXPECT_EQ(SearchMMIConfigIndex(3, &config), 0);
  EXPECT_STREQ(config->name, "C");
  EXPECT_EQ(SearchMMIConfigIndex(0x10002, &config), 2) << "only the low 16 bits count";
  EXPECT_EQ(SearchMMIConfigIndex(4, &config), -1);
  EXPECT_EQ(SearchMMIConfigIndex(0, nullptr), -1);
  ASSERT_EQ(GetMMIConfigStruc(2, &config), 0);
  EXPECT_EQ(config->configNo, 2);
  EXPECT_EQ(config->partNo, 1);
  EXPECT_EQ(GetMMIConfigStruc(3, &config), -1);

  SystemRecord* system = GetMMISystemStruc();
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(system->configList->configNo, 3);
  EXPECT_EQ(system->configList->next->next->configNo, 2);
  EXPECT_EQ(system->configList->next->next->next, nullptr);
  EXPECT_EQ(system->offlineEnabled, 1);
  EXPECT_EQ(GetMMITypeInfo()->configCount, 3);
  EXPECT_EQ(GetMMITypeInfo()->typeRecordSize, TD_TYPE_RECORD_SIZE(3));
}

TEST_F(StructureLibrary, KindTablesAndItemDescriptions) {
  mmisim::Start(MachineFrom(kListOrderMachine));
  ConfigRecord* c = nullptr;
  ASSERT_EQ(SearchMMIConfigIndex(3, &c), 0);
  EXPECT_EQ(c->kindTable[GetHAIndex('D')].count, 2);
  EXPECT_EQ(c->kindTable[GetHAIndex('V')].count, 0);
  CfgIdRecord* item = nullptr;
  ASSERT_EQ(GetCFGIDStruc(TD_CFGID(1, TD_CODE_D, 0), &item), 0);
  EXPECT_EQ(item->dataType, 'P');
  EXPECT_DOUBLE_EQ(item->defaultValue, 1.25);
  EXPECT_EQ(GetCFGIDStruc(TD_CFGID(2, TD_CODE_D, 0), &item), -1) << "beyond the count";
  EXPECT_EQ(GetCFGIDStruc(TD_CFGID(0, TD_CODE_D, 1), &item), -1) << "config A has no D";
  ASSERT_EQ(GetCFGIDStruc(TD_CFGID(1, TD_CODE_V, 2), &item), 0);
  EXPECT_EQ(item->dataType, ' ');
  EXPECT_EQ(GetHAIndex('A'), 4);
  EXPECT_EQ(GetHAIndex('L'), 5);
  EXPECT_EQ(GetHAIndex('V'), 6);
  EXPECT_EQ(GetHAIndex('X'), -1);
}

TEST_F(StructureLibrary, TypesAreFoundAsTheListStandsAtTheCall) {
  mmisim::Start(MachineFrom(kListOrderMachine));
  ASSERT_TRUE(mmisim::AddType(12, "A+B"));
  ASSERT_TRUE(mmisim::AddType(9999, "ABCDEFGHIJKLMNOPQRSTUVW"));
  EXPECT_FALSE(mmisim::AddType(10000, "X"));
  EXPECT_FALSE(mmisim::AddType(1, "ABCDEFGHIJKLMNOPQRSTUVWX"));
  char name[TD_TYPE_NAME_SIZE] = "";
  TypeRecord* record = nullptr;
  ASSERT_EQ(GetMMITypeNameAndStruc(12, name, &record), 0);
  EXPECT_STREQ(name, "A+B");
  EXPECT_STREQ(record->configs[0].datName, "A0012.DAT") << "entry 0 belongs to config number 1";
  EXPECT_STREQ(record->configs[2].datName, "C0012.DAT");
  ASSERT_EQ(GetMMITypeNameAndStruc(9999 + 0x70000, nullptr, &record), 0);
  EXPECT_STREQ(record->configs[1].datName, "B9999.DAT");
  EXPECT_EQ(GetMMITypeNameAndStruc(13, name, &record), -1);
  TypeCatalogue* catalogue = GetMMITypeInfo();
  EXPECT_EQ(catalogue->typeCount, 2);
  EXPECT_EQ(catalogue->maxTypeNo, 9999);

  // A record that the service pushes at the head is found too.
  auto* pushed = static_cast<TypeRecord*>(MMI_GlobalAlloc(catalogue->typeRecordSize));
  ASSERT_NE(pushed, nullptr);
  pushed->typeNo = 77;
  pushed->next = catalogue->typeList;
  catalogue->typeList = pushed;
  EXPECT_EQ(GetMMITypeNameAndStruc(77, nullptr, &record), 0);
  EXPECT_EQ(record, pushed);
}

TEST_F(StructureLibrary, ReadsTheCatalogueFileAtStart) {
  td::testing::MakeDirs(workspace_.Path("type"));
  td::testing::WriteFileBytes(
      workspace_.Path("type/MMI.TYP"),
      "// heading\r\n0, \r\n12,\"T40+STEEL\" // a comment\r\n\r\n[section]\r\n7,\"A,\r\nB\"\r\n"
      "junk\r\n");
  mmisim::StartHost(mmisim::SampleMachine());
  TypeCatalogue* catalogue = GetMMITypeInfo();
  ASSERT_EQ(catalogue->typeCount, 3);
  const TypeRecord* first = catalogue->typeList;
  EXPECT_EQ(first->typeNo, 0);
  EXPECT_STREQ(first->name, "");
  EXPECT_EQ(first->next->typeNo, 12);
  EXPECT_STREQ(first->next->name, "T40+STEEL");
  EXPECT_STREQ(first->next->next->name, "A,B") << "a record goes on after a line that ends in ','";
  EXPECT_EQ(catalogue->maxTypeNo, 12);
  mmisim::CatalogueReading reading;
  mmisim::Start(mmisim::SampleMachine());
  ASSERT_TRUE(mmisim::ReadCatalogueFile(&reading));
  EXPECT_EQ(reading.types, 3);
  EXPECT_EQ(reading.skippedRecords.size(), 1u);
}

TEST_F(StructureLibrary, GlobalMemoryIsZeroFilledCountedAndFailsOnRequest) {
  const long before = mmisim::LiveAllocations();
  auto* block = static_cast<unsigned char*>(MMI_GlobalAlloc(64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0);
  EXPECT_EQ(mmisim::LiveAllocations(), before + 1);
  HGLOBAL handle = GlobalHandle(block);
  ASSERT_NE(handle, nullptr);
  GlobalUnlock(handle);
  EXPECT_EQ(GlobalFree(handle), nullptr);
  EXPECT_EQ(mmisim::LiveAllocations(), before);

  mmisim::FailAllocationAt(2);
  void* first = MMI_GlobalAlloc(8);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(MMI_GlobalAlloc(8), nullptr);
  EXPECT_NE(MMI_GlobalAlloc(8), nullptr) << "only the nth call fails";
}

TEST_F(StructureLibrary, LocaleIdentifiersOfTheLanguageSettings) {
  EXPECT_EQ(GetLocaleID("JPN"), 0x0411);
  EXPECT_EQ(GetLocaleID("KOR"), 0x0412);
  EXPECT_EQ(GetLocaleID("CHS"), 0x0804);
  EXPECT_EQ(GetLocaleID("CHT"), 0x0404);
  EXPECT_EQ(GetLocaleID("chs"), 0x0804);
  EXPECT_EQ(GetLocaleID("ENU"), 0x0409);
  EXPECT_EQ(GetLocaleID("DEU") & 0x3FF, 0x07);
  EXPECT_EQ(GetLocaleID("unheard-of"), 0x0409);
}

TEST_F(StructureLibrary, CommMemoryControllerAndRecorder) {
  mmisim::ClearCalls();
  std::int32_t value = 42;
  const CfgId id = TD_CFGID(2, TD_CODE_S, 1);
  SetDataToCommMem(id, &value);
  std::int32_t read = 0;
  EXPECT_EQ(GetCommData(0, id, &read), 0);
  EXPECT_EQ(read, 42);
  EXPECT_EQ(GetCommData(0, TD_CFGID(3, TD_CODE_S, 1), &read), -1);
  EXPECT_EQ(read, 0);

  HWND window = reinterpret_cast<HWND>(0x1234);
  SendComm(window, 0xFFFF, id, 42);
  EXPECT_TRUE(mmisim::ControllerMemory().empty()) << "transfers wait for the step's dummy read";
  DummyRead0(window, 0x55, 300);
  EXPECT_EQ(mmisim::ControllerMemory().at(id), 42);
  mmisim::PostedMessage answer;
  ASSERT_TRUE(mmisim::NextMessage(&answer));
  EXPECT_EQ(answer.window, window);
  EXPECT_EQ(answer.message, mmisim::kStepAnswerMessage);
  EXPECT_EQ(answer.wParam, 0x55);
  EXPECT_EQ(answer.lParam, 300);
  EXPECT_EQ(MMIPostMessage(window, 7, 9, 0), 1);
  ASSERT_TRUE(mmisim::NextMessage(&answer));
  EXPECT_EQ(answer.message, 7);
  EXPECT_FALSE(mmisim::NextMessage(&answer));

  const auto& calls = mmisim::Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_STREQ(calls[0].op, "SetDataToCommMem");
  EXPECT_EQ(calls[0].args[0], static_cast<std::int64_t>(id));
  EXPECT_STREQ(calls[4].op, "DummyRead0");
  EXPECT_EQ(calls[4].args[2], 300);
  EXPECT_EQ(mmisim::CallsOf("GetCommData").size(), 2u);
}

// Comm memory is kept in rows for quick look-ups and read back in CfgId
// order, identifiers of every shape included.
TEST_F(StructureLibrary, CommMemoryReadsBackInIdOrder) {
  const CfgId odd = 0x00050903;  // kind byte 9: no kind has it
  const CfgId ids[] = {TD_CFGID(7, TD_CODE_A, 200), TD_CFGID(0, TD_CODE_D, 0), odd,
                       TD_CFGID(65535, TD_CODE_V, 255), TD_CFGID(1, TD_CODE_D, 0)};
  std::int32_t value = 1;
  for (CfgId id : ids) {
    SetDataToCommMem(id, &value);
    ++value;
  }
  std::map<CfgId, std::int32_t> expected;
  value = 1;
  for (CfgId id : ids) expected[id] = value++;
  EXPECT_EQ(mmisim::CommMemory(), expected);
  // Changes after a read-back show in the next one.
  value = -5;
  SetDataToCommMem(TD_CFGID(0, TD_CODE_D, 0), &value);
  SetDataToCommMem(odd, &value);
  expected[TD_CFGID(0, TD_CODE_D, 0)] = -5;
  expected[odd] = -5;
  EXPECT_EQ(mmisim::CommMemory(), expected);
  std::int32_t read = 0;
  EXPECT_EQ(GetCommData(0, odd, &read), 0);
  EXPECT_EQ(read, -5);
  EXPECT_EQ(GetCommData(0, TD_CFGID(2, TD_CODE_D, 0), &read), -1) << "between two items that are there";
  EXPECT_TRUE(mmisim::OfflineCommMemory().empty());
  mmisim::Start(mmisim::SampleMachine());
  EXPECT_TRUE(mmisim::CommMemory().empty()) << "a new start begins with an empty memory";
}

TEST_F(StructureLibrary, ConversionScalesRealItemsOnly) {
  mmisim::Start(MachineFrom(kListOrderMachine + std::string("  items L 1\n  item L 1 I\n")));
  const CfgId real = TD_CFGID(1, TD_CODE_D, 0);  // P, scale 2
  const CfgId integer = TD_CFGID(0, TD_CODE_L, 2);
  EXPECT_EQ(ConvertDoubleToMMIForm(12.345, real), 1235);
  EXPECT_EQ(ConvertDoubleToMMIForm(-2.5, real), -250);
  EXPECT_EQ(ConvertDoubleToMMIForm(-2.7, integer), -2);
  EXPECT_EQ(ConvertDoubleToMMIForm(1e12, integer), INT32_MAX);
  CfgIdRecord* record = nullptr;
  ASSERT_EQ(GetCFGIDStruc(real, &record), 0);
  EXPECT_DOUBLE_EQ(ConvertMMIBintoBinF(1235, record->conversion), 12.35);
  ASSERT_EQ(GetCFGIDStruc(integer, &record), 0);
  EXPECT_EQ(ConvertMMIBintoBinL(-2, record->conversion), -2);
  EXPECT_DOUBLE_EQ(ConvertMMIBintoBinF(-2, record->conversion), -2.0);
}

TEST_F(StructureLibrary, HpcLinkAndBoards) {
  EXPECT_EQ(CheckHPCOnline(), 1);
  EXPECT_EQ(GetIFxxConfigIndex(130, 0), 1);
  EXPECT_EQ(GetIFxxConfigIndex(135, 0), 3);
  EXPECT_EQ(GetIFxxConfigIndex(131, 0), -1);
  std::uint16_t typeNo = 12;
  SetHPCCommData(nullptr, 0x300B0, &typeNo);
  EXPECT_EQ(mmisim::HpcTypeNo(), 12);
  EXPECT_EQ(SendTypeCode(nullptr, 0xFFFF, 1, 12), 0);
  EXPECT_EQ(SendTypeCode(nullptr, 5, -1, 12), -1);
  ASSERT_EQ(mmisim::TypeCodesReceived().size(), 1u);
  EXPECT_EQ(mmisim::TypeCodesReceived()[0].boardConfigIndex, 1);
  mmisim::SetHpcOnline(false);
  EXPECT_EQ(CheckHPCOnline(), 0);
}

}  // namespace
