// An operator's day on the sample machine, end to end: a new catalogue,
// types added, one made current, loaded and downloaded, values changed and
// saved, a type sharing parts loaded, offline twins kept.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kinds.h"
#include "lifecycle/lifecycle.h"
#include "support/comm_items.h"

namespace {

using td::testing::AddCatalogueType;
using td::testing::InUseCommItems;
using td::testing::ReadFileBytes;
using td::testing::RecordOf;
using td::testing::TextOf;
using td::testing::TypeFilePath;
using td::testing::ValueOf;

HWND Window() { return reinterpret_cast<HWND>(0x7001); }
constexpr int kTypeCodeNotice = 0x81, kStepNotice = 0x82, kEndCode = 0x83;
// Config indexes (list positions) of the sample machine.
constexpr int kMain = 0, kFeed = 1, kTool = 2, kMat = 3;

std::size_t FirstCallOf(const std::string& op) {
  const auto& calls = mmisim::Calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (op == calls[i].op) return i;
  }
  return calls.size();
}

// Pumps the download as a host does: each step's answer from the queue,
// then the next step, until message code 7. The config index of each step.
std::vector<int> PumpDownload() {
  std::vector<int> steps;
  for (int guard = 0; guard < 50; ++guard) {
    mmisim::PostedMessage message;
    if (!mmisim::NextMessage(&message)) {
      ADD_FAILURE() << "the download stalled";
      break;
    }
    if (message.message == 7) {
      EXPECT_EQ(message.wParam, kEndCode);
      break;
    }
    EXPECT_EQ(message.message, mmisim::kStepAnswerMessage);
    EXPECT_EQ(message.wParam, kStepNotice);
    steps.push_back(message.lParam);
    SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  }
  return steps;
}

std::int32_t Controller(CfgId id) {
  const auto& memory = mmisim::ControllerMemory();
  const auto found = memory.find(id);
  EXPECT_NE(found, memory.end()) << std::hex << id;
  return found == memory.end() ? -99999 : found->second;
}

class OperatorsDay : public td::testing::LifecycleTest {
 protected:
  // A type added to the catalogue gets its files from the defaults while
  // it is current.
  void NewType(int typeNo, const char* name) {
    AddCatalogueType(typeNo, name);
    ASSERT_EQ(UpdateCurrentType(Window(), typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 130), 0);
    for (int p = 0; p < 4; ++p) ASSERT_EQ(InitialSetTypeData(RecordOf(typeNo), p), 0) << typeNo << "/" << p;
  }
};

TEST_F(OperatorsDay, FromANewCatalogueToTheControllerAndBack) {
  // Morning: a new catalogue, and three types.
  ASSERT_EQ(CreateSetTypeData(), 0);
  NewType(1, "T40+STEEL+FAST");
  NewType(2, "T40+ALU");
  NewType(3, "T50+STEEL+SLOW");
  EXPECT_EQ(GetMMITypeInfo()->typeCount, 4);
  EXPECT_EQ(GetMMITypeInfo()->maxTypeNo, 3);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/mmi.typ")),
            "3,\"T50+STEEL+SLOW\"\r\n2,\"T40+ALU\"\r\n1,\"T40+STEEL+FAST\"\r\n0, \r\n");

  // Type 1 becomes current: its code to both boards, the HPC link first.
  mmisim::ClearCalls();
  ASSERT_EQ(ChangeCurrentTypeData(1, 3), 0);
  UpdateCurrentType(Window(), 1, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(GetMMISystemStruc()->currentTypeNo, 1);
  EXPECT_STREQ(GetMMISystemStruc()->currentTypeName, "T40+STEEL+FAST");
  EXPECT_EQ(mmisim::HpcTypeNo(), 1);
  EXPECT_EQ(mmisim::CallsOf("GetIFxxConfigIndex").size(), 32u);
  const auto codes = mmisim::CallsOf("SendTypeCode");
  ASSERT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes[0].args[1], 0xFFFF);
  EXPECT_EQ(codes[0].args[2], 1);
  EXPECT_EQ(codes[1].args[1], kTypeCodeNotice);
  EXPECT_EQ(codes[1].args[2], 3);
  EXPECT_LT(FirstCallOf("SetHPCCommData"), FirstCallOf("GetIFxxConfigIndex"));

  // The operator changes values on screen (comm memory) and a text, and
  // saves: type 1's files take them, and the files of shared configs go to
  // the types with the same part.
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, kMain), 1375);  // 13.75
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_D, kTool), 4125);  // 41.25, TOOL: part 1
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_A, kMat), 9);      // MAT: part 2
  mmisim::SetCommValue(TD_CFGID(0, TD_CODE_S, kFeed), 7);     // FEED: part 3
  std::strcpy(td::TextSlot(RecordOf(1)->configs[0].blocks, TD_SLOT_V)->texts[0], "punch A");
  ASSERT_EQ(SaveAllCurrentTypeData(), 0);
  const std::string main1 = ReadFileBytes(TypeFilePath(workspace_, 1, "MAIN"));
  EXPECT_NE(main1.find("[D]\r\n1:13.750000,\r\n"), std::string::npos) << main1;
  EXPECT_NE(main1.find("[V]\r\n1:punch A,\r\n"), std::string::npos) << main1;
  EXPECT_EQ(ReadFileBytes(TypeFilePath(workspace_, 2, "TOOL")),
            ReadFileBytes(TypeFilePath(workspace_, 1, "TOOL")));
  EXPECT_EQ(ReadFileBytes(TypeFilePath(workspace_, 3, "MAT")),
            ReadFileBytes(TypeFilePath(workspace_, 1, "MAT")));
  EXPECT_NE(ReadFileBytes(TypeFilePath(workspace_, 2, "MAT")),
            ReadFileBytes(TypeFilePath(workspace_, 1, "MAT")));
  EXPECT_NE(ReadFileBytes(TypeFilePath(workspace_, 3, "FEED")),
            ReadFileBytes(TypeFilePath(workspace_, 1, "FEED")));

  // Type 2 (T40+ALU) is loaded and downloaded: the shared tool values, its
  // own others.
  ASSERT_EQ(ChangeCurrentTypeData(2, 1), 0);
  UpdateCurrentType(Window(), 2, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(ValueOf(2, 2, TD_SLOT_D, 0), 41.25);
  EXPECT_EQ(ValueOf(2, 1, TD_SLOT_D, 0), 12.5);
  EXPECT_EQ(ValueOf(2, 3, TD_SLOT_A, 0), 5.0);
  EXPECT_STREQ(TextOf(2, 1, 0), "");
  mmisim::ClearControllerMemory();
  mmisim::ClearCalls();
  while (mmisim::PendingMessages() > 0) {
    mmisim::PostedMessage discard;
    mmisim::NextMessage(&discard);
  }
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(PumpDownload(), (std::vector<int>{kMain, kTool, kMat, kFeed})) << "config numbers 1, 2, 3, 4";

  // Each step's items carry that step's config byte.
  int stepConfig = -1;
  for (const mmisim::HostCall& call : mmisim::Calls()) {
    if (std::string(call.op) != "SendComm" && std::string(call.op) != "DummyRead0") continue;
    const int config = std::string(call.op) == "SendComm"
                           ? static_cast<int>(TD_CFGID_CONFIG(static_cast<CfgId>(call.args[2])))
                           : static_cast<int>(call.args[2]);
    if (stepConfig == -1) stepConfig = config;
    EXPECT_EQ(config, stepConfig) << call.op;
    if (std::string(call.op) == "DummyRead0") stepConfig = -1;
  }

  // The controller holds exactly type 2's in-use D, S and A values.
  const auto expected = InUseCommItems();
  ASSERT_EQ(mmisim::ControllerMemory().size(), expected.size());
  for (const auto& [id, slot] : expected) {
    (void)slot;
    std::int32_t comm = 0;
    ASSERT_TRUE(mmisim::CommValue(id, &comm));
    EXPECT_EQ(Controller(id), comm) << std::hex << id;
  }
  EXPECT_EQ(Controller(TD_CFGID(0, TD_CODE_D, kTool)), 4125) << "shared with type 1";
  EXPECT_EQ(Controller(TD_CFGID(0, TD_CODE_D, kMain)), 1250) << "its own";
  EXPECT_EQ(Controller(TD_CFGID(0, TD_CODE_A, kMat)), 5);
  EXPECT_EQ(Controller(TD_CFGID(0, TD_CODE_S, kFeed)), 0);
  for (const auto& [id, value] : mmisim::ControllerMemory()) {
    EXPECT_TRUE(TD_CFGID_KIND(id) != TD_CODE_L && TD_CFGID_KIND(id) != TD_CODE_V) << std::hex << id;
  }

  // Offline twins of MAIN: copied, then cleared to the defaults, which the
  // offline comm memory takes.
  td::ValueSlot(RecordOf(2)->configs[0].blocks, TD_SLOT_D)->values[2] = 150.0;
  std::strcpy(td::TextSlot(RecordOf(2)->configs[0].blocks, TD_SLOT_V)->texts[2], "die B");
  ASSERT_EQ(CopyCurrentTypeDataToOffline(kMain), 0);
  ASSERT_EQ(CopyCurrentTypeImageToOffline(kMain), 0);
  const BlockTable* main = RecordOf(2)->configs[0].blocks;
  EXPECT_EQ(td::ValueSlot(main, TD_SLOT_OFFLINE_D)->values[2], 150.0);
  EXPECT_STREQ(td::TextSlot(main, TD_SLOT_OFFLINE_V)->texts[2], "die B");
  EXPECT_TRUE(mmisim::OfflineCommMemory().empty());
  ASSERT_EQ(ClearOfflineTypeData(kMain), 0);
  EXPECT_EQ(td::ValueSlot(main, TD_SLOT_OFFLINE_D)->values[2], 120.0);
  EXPECT_STREQ(td::TextSlot(main, TD_SLOT_OFFLINE_V)->texts[2], "");
  std::int32_t offline = 0;
  ASSERT_TRUE(mmisim::OfflineCommValue(TD_CFGID(2, TD_CODE_D, kMain), &offline));
  EXPECT_EQ(offline, 120);
  ASSERT_TRUE(mmisim::OfflineCommValue(TD_CFGID(0, TD_CODE_S, kMain), &offline));
  EXPECT_EQ(offline, 15);

  // Next morning the host starts afresh from the catalogue file: type 1,
  // loaded and made current, comes back with the values saved.
  mmisim::StartHost(mmisim::SampleMachine());
  ASSERT_EQ(GetMMITypeInfo()->typeCount, 4);
  ASSERT_EQ(ReadCurrentTypeData(2), 0);
  ASSERT_EQ(ChangeCurrentTypeData(1, 2), 0);
  UpdateCurrentType(Window(), 1, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_STREQ(GetMMISystemStruc()->currentTypeName, "T40+STEEL+FAST");
  EXPECT_EQ(ValueOf(1, 1, TD_SLOT_D, 0), 13.75);
  EXPECT_STREQ(TextOf(1, 1, 0), "punch A");
  EXPECT_EQ(ValueOf(1, 4, TD_SLOT_S, 0), 7.0);
  std::int32_t comm = 0;
  ASSERT_TRUE(mmisim::CommValue(TD_CFGID(0, TD_CODE_A, kMat), &comm));
  EXPECT_EQ(comm, 9);
}

}  // namespace
