// The current type switch: the system record, the HPC link, the interface
// boards and the fall-back to a download.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "link/tables.h"

namespace {

using td::testing::GiveTables;
using td::testing::MachineFrom;
using td::testing::TypeOf;

HWND Window() { return reinterpret_cast<HWND>(0x4321); }
constexpr int kTypeCodeNotice = 0x61, kStepNotice = 0x62, kEndCode = 0x63;

// The sample machine with its boards replaced.
void StartWithBoards(std::initializer_list<int> codes) {
  mmisim::Machine machine = mmisim::SampleMachine();
  machine.boards.clear();
  for (int code : codes) machine.boards.push_back({code, code - 120});
  mmisim::Start(machine);
}

std::size_t FirstCallOf(const std::string& op) {
  const auto& calls = mmisim::Calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (op == calls[i].op) return i;
  }
  return calls.size();
}

class UpdateCurrentTypeTest : public td::testing::LinkTest {
 protected:
  void AddTypes() {
    ASSERT_TRUE(mmisim::AddType(0, ""));
    ASSERT_TRUE(mmisim::AddType(12, "T40+STEEL+FAST"));
    GiveTables(TypeOf(12));
    SetCurrentTypeDataToCommMem(TypeOf(12));
    mmisim::ClearCalls();
  }
  void SetUp() override {
    LinkTest::SetUp();
    AddTypes();
  }
};

TEST_F(UpdateCurrentTypeTest, EveryBoardGetsTheCodeTheLastOneTheCallersNotice) {
  // The sample machine: boards 130 (index 1) and 135 (index 3), HPC on line.
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), 0);
  SystemRecord* system = GetMMISystemStruc();
  EXPECT_EQ(system->currentTypeNo, 12);
  EXPECT_STREQ(system->currentTypeName, "T40+STEEL+FAST");
  EXPECT_EQ(mmisim::HpcTypeNo(), 12);

  const auto asked = mmisim::CallsOf("GetIFxxConfigIndex");
  ASSERT_EQ(asked.size(), 32u);
  for (std::size_t i = 0; i < 32; ++i) {
    EXPECT_EQ(asked[i].args[0], 128 + static_cast<int>(i % 16));
    EXPECT_EQ(asked[i].args[1], 0);
  }
  const auto sent = mmisim::CallsOf("SendTypeCode");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].args[1], 0xFFFF);
  EXPECT_EQ(sent[0].args[2], 1);
  EXPECT_EQ(sent[0].args[3], 12);
  EXPECT_EQ(sent[1].args[1], kTypeCodeNotice);
  EXPECT_EQ(sent[1].args[2], 3);
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty()) << "no download on this path";

  const auto hpc = mmisim::CallsOf("SetHPCCommData");
  ASSERT_EQ(hpc.size(), 1u);
  EXPECT_EQ(hpc[0].args[1], 0x300B0);
  EXPECT_EQ(hpc[0].args[2], reinterpret_cast<std::intptr_t>(&TypeOf(12)->typeNo));
  EXPECT_LT(FirstCallOf("SetHPCCommData"), FirstCallOf("GetIFxxConfigIndex"));
}

TEST_F(UpdateCurrentTypeTest, TheSelectorCountsByItsLow16Bits) {
  EXPECT_EQ(UpdateCurrentType(Window(), 0x1000C, kTypeCodeNotice, kStepNotice, kEndCode, 0x2FFFF), 0);
  EXPECT_EQ(GetMMISystemStruc()->currentTypeNo, 12);
  EXPECT_EQ(mmisim::TypeCodesReceived().size(), 2u);
}

TEST_F(UpdateCurrentTypeTest, OneBoardOrTheOnlyOne) {
  StartWithBoards({128, 143});
  AddTypes();
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 128), 0);
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 143), 0);
  const auto& received = mmisim::TypeCodesReceived();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].boardConfigIndex, 8);
  EXPECT_EQ(received[0].notice, kTypeCodeNotice);
  EXPECT_EQ(received[1].boardConfigIndex, 23);
  EXPECT_EQ(received[1].notice, kTypeCodeNotice);
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());

  StartWithBoards({143});
  AddTypes();
  UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  ASSERT_EQ(mmisim::TypeCodesReceived().size(), 1u);
  EXPECT_EQ(mmisim::TypeCodesReceived()[0].notice, kTypeCodeNotice);
}

TEST_F(UpdateCurrentTypeTest, AMissingBoardIsReportedWithoutACallButTheSwitchStays) {
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 131), -1);
  EXPECT_TRUE(mmisim::CallsOf("SendTypeCode").empty());
  EXPECT_EQ(GetMMISystemStruc()->currentTypeNo, 12);
  EXPECT_STREQ(GetMMISystemStruc()->currentTypeName, "T40+STEEL+FAST");
}

TEST_F(UpdateCurrentTypeTest, NoBoardFallsBackToTheDownloadOfEveryConfig) {
  StartWithBoards({});
  AddTypes();
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), 0);
  EXPECT_EQ(mmisim::CallsOf("GetIFxxConfigIndex").size(), 16u);
  EXPECT_TRUE(mmisim::CallsOf("SendTypeCode").empty());
  const auto reads = mmisim::CallsOf("DummyRead0");
  ASSERT_EQ(reads.size(), 1u) << "the first step only";
  EXPECT_EQ(reads[0].args[1], kStepNotice);
  const auto sent = mmisim::CallsOf("SendComm");
  ASSERT_FALSE(sent.empty());
  for (const auto& call : sent) EXPECT_EQ(call.args[1], 0xFFFF);
  EXPECT_LT(FirstCallOf("SetHPCCommData"), FirstCallOf("SendComm"));
}

TEST_F(UpdateCurrentTypeTest, OtherTargetsDownloadTheConfigWithThatIndex) {
  // MAT: config number 3 at list position 3.
  EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, 3), 0);
  const auto reads = mmisim::CallsOf("DummyRead0");
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].args[2], 3);
  EXPECT_EQ(SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 3), 1) << "then the end";

  for (int target : {127, 144}) {
    mmisim::ClearCalls();
    EXPECT_EQ(UpdateCurrentType(Window(), 12, kTypeCodeNotice, kStepNotice, kEndCode, target), 1);
    EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());
    EXPECT_TRUE(mmisim::CallsOf("GetIFxxConfigIndex").empty());
    ASSERT_EQ(mmisim::CallsOf("MMIPostMessage").size(), 1u);
  }
}

TEST_F(UpdateCurrentTypeTest, UnknownTypeChangesAndSendsNothing) {
  SystemRecord* system = GetMMISystemStruc();
  system->currentTypeNo = 0;
  std::strcpy(system->currentTypeName, "before");
  EXPECT_EQ(UpdateCurrentType(Window(), 13, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), -1);
  EXPECT_EQ(system->currentTypeNo, 0);
  EXPECT_STREQ(system->currentTypeName, "before");
  for (const auto& call : mmisim::Calls()) {
    const std::string op = call.op;
    EXPECT_TRUE(op == "GetMMITypeNameAndStruc" || op == "GetMMISystemStruc") << op;
  }
}

TEST_F(UpdateCurrentTypeTest, HpcOffLineIsLeftOutAndLongNamesArriveWhole) {
  mmisim::SetHpcOnline(false);
  const std::string name23 = "ABCDEFGHIJK+LMNOPQR+STU";
  ASSERT_EQ(name23.size(), 23u);
  ASSERT_TRUE(mmisim::AddType(23, name23.c_str()));
  std::memset(GetMMISystemStruc()->currentTypeName, 'z', TD_TYPE_NAME_SIZE);
  UpdateCurrentType(Window(), 23, kTypeCodeNotice, kStepNotice, kEndCode, 130);
  EXPECT_EQ(std::string(GetMMISystemStruc()->currentTypeName), name23);
  EXPECT_TRUE(mmisim::CallsOf("SetHPCCommData").empty());
  EXPECT_EQ(mmisim::HpcTypeNo(), -1);
  ASSERT_EQ(mmisim::TypeCodesReceived().size(), 1u);
  EXPECT_EQ(mmisim::TypeCodesReceived()[0].typeNo, 23);
}

}  // namespace
