// The stepwise download, pumped as a host pumps it.
#include <gtest/gtest.h>

#include <vector>

#include "kinds.h"
#include "link/download_state.h"
#include "link/tables.h"

namespace {

using td::testing::GiveTables;
using td::testing::InUseCommItems;
using td::testing::MachineFrom;
using td::testing::MakeCurrent;
using td::testing::TableOf;
using td::testing::TypeOf;

HWND Window() { return reinterpret_cast<HWND>(0x1234); }
constexpr int kItemNotice = 0x51, kStepNotice = 0x52, kEndCode = 0x10053;

struct Pumped {
  std::vector<int> stepIndexes;  // config index answered for each step
  int endMessages = 0;
  int endWParam = -1;
};

// Answers each step's dummy read from the message queue and asks for the
// next step, until message code 7 arrives.
Pumped Pump(int filter, int firstResult) {
  Pumped pumped;
  int result = firstResult;
  for (int guard = 0; guard < 100; ++guard) {
    mmisim::PostedMessage message;
    if (!mmisim::NextMessage(&message)) {
      ADD_FAILURE() << "a step ended without an answer or an end message";
      break;
    }
    EXPECT_EQ(message.window, Window());
    if (message.message == 7) {
      ++pumped.endMessages;
      pumped.endWParam = message.wParam;
      EXPECT_EQ(result, 1) << "the result of MMIPostMessage";
      break;
    }
    EXPECT_EQ(message.message, mmisim::kStepAnswerMessage);
    EXPECT_EQ(message.wParam, kStepNotice);
    pumped.stepIndexes.push_back(message.lParam);
    result = SendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, filter);
  }
  return pumped;
}

class Download : public td::testing::LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_TRUE(mmisim::AddType(4, "T40+ALU+SLOW"));
    GiveTables(TypeOf(4));
    MakeCurrent(4);
    SetCurrentTypeDataToCommMem(TypeOf(4));
    mmisim::ClearCalls();
  }
};

TEST_F(Download, StepsFollowConfigNumbersWhileIdsFollowListPositions) {
  const int first = InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(first, 0) << "the result of DummyRead0";
  const Pumped pumped = Pump(0xFFFF, first);
  // Config numbers 1, 2, 3, 4 sit at list positions 0, 2, 3, 1.
  EXPECT_EQ(pumped.stepIndexes, (std::vector<int>{0, 2, 3, 1}));
  EXPECT_EQ(pumped.endMessages, 1);
  EXPECT_EQ(pumped.endWParam, 0x53) << "only the low 16 bits of the end code";

  // Every step sent the items of its own config, then closed with the read.
  std::vector<int> configByteOfStep;
  for (const mmisim::HostCall& call : mmisim::Calls()) {
    if (std::string(call.op) == "SendComm") {
      EXPECT_EQ(call.args[1], kItemNotice);
      configByteOfStep.push_back(static_cast<int>(TD_CFGID_CONFIG(static_cast<CfgId>(call.args[2]))));
    } else if (std::string(call.op) == "DummyRead0") {
      EXPECT_EQ(call.args[1], kStepNotice);
      for (int byte : configByteOfStep) EXPECT_EQ(byte, call.args[2]);
      configByteOfStep.clear();
    }
  }
  EXPECT_TRUE(configByteOfStep.empty()) << "nothing sent after the last read";

  // The controller holds exactly the in-use D, S and A values.
  EXPECT_EQ(mmisim::ControllerMemory(), mmisim::CommMemory());
  EXPECT_EQ(mmisim::ControllerMemory().size(), InUseCommItems().size());
}

TEST_F(Download, LAndVAreNeverSentWhateverTheirDataType) {
  mmisim::Start(MachineFrom(R"(
config 1 prefix ONE
  items D 1
  items L 2
  item L 1-2 P 1.5 scale 1
  items V 2
  item V 1-2 I
)"));
  ASSERT_TRUE(mmisim::AddType(0, ""));
  GiveTables(TypeOf(0));
  MakeCurrent(0);
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  Pump(0xFFFF, 0);
  const auto sent = mmisim::CallsOf("SendComm");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].args[2], TD_CFGID(0, TD_CODE_D, 0));
  EXPECT_EQ(mmisim::CallsOf("DummyRead0").size(), 1u);
}

TEST_F(Download, FilterSendsOneConfigOrNone) {
  // FEED: config number 4, list position 1.
  EXPECT_EQ(InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0x70001), 0);
  Pumped pumped = Pump(0x70001, 0);
  EXPECT_EQ(pumped.stepIndexes, std::vector<int>{1});
  EXPECT_EQ(pumped.endMessages, 1);
  for (const auto& call : mmisim::CallsOf("SendComm")) {
    EXPECT_EQ(TD_CFGID_CONFIG(static_cast<CfgId>(call.args[2])), 1u);
  }

  mmisim::ClearCalls();
  EXPECT_EQ(InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 9), 1);
  pumped = Pump(9, 1);
  EXPECT_TRUE(pumped.stepIndexes.empty());
  EXPECT_EQ(pumped.endMessages, 1);
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
}

TEST_F(Download, ConfigsWithoutTablesArePassedOverAndATypeWithNoneEndsAtOnce) {
  TypeOf(4)->configs[1].blocks = nullptr;  // TOOL, position 2
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(Pump(0xFFFF, 0).stepIndexes, (std::vector<int>{0, 3, 1}));

  for (int p = 0; p < 4; ++p) TypeOf(4)->configs[p].blocks = nullptr;
  mmisim::ClearCalls();
  EXPECT_EQ(InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  EXPECT_EQ(Pump(0xFFFF, 1).endMessages, 1);
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());
}

TEST_F(Download, AStepIsMadeForAConfigWithNothingInUse) {
  mmisim::Start(MachineFrom(R"(
config 1 prefix ONE
  items D 2
  item D 1-2 blank
  items S 0
)"));
  ASSERT_TRUE(mmisim::AddType(0, ""));
  GiveTables(TypeOf(0));
  MakeCurrent(0);
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(Pump(0xFFFF, 0).stepIndexes, std::vector<int>{0});
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
  EXPECT_TRUE(mmisim::CallsOf("GetCommData").empty());
}

TEST_F(Download, NoConfigsEndsAtOnce) {
  mmisim::Start(MachineFrom("offline on\n"));
  ASSERT_TRUE(mmisim::AddType(0, ""));
  MakeCurrent(0);
  td::sendConfigCursor = 3;
  EXPECT_EQ(InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  EXPECT_EQ(td::sendConfigCursor, 0);
  EXPECT_EQ(Pump(0xFFFF, 1).endMessages, 1);
}

TEST_F(Download, AfterTheEndEveryStepPostsTheEndAgainAndInitRestarts) {
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  Pump(0xFFFF, 0);
  mmisim::ClearCalls();
  EXPECT_EQ(SendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  EXPECT_EQ(mmisim::CallsOf("MMIPostMessage").size(), 1u);
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
  mmisim::PostedMessage message;
  ASSERT_TRUE(mmisim::NextMessage(&message));
  EXPECT_EQ(message.message, 7);

  // Two steps into a download, a new start goes back to the first config.
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  SendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  while (mmisim::NextMessage(&message)) {
  }
  mmisim::ClearCalls();
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  EXPECT_EQ(Pump(0xFFFF, 0).stepIndexes, (std::vector<int>{0, 2, 3, 1}));
}

TEST_F(Download, UnknownCurrentTypeSendsNothing) {
  // A download under way, then a start for a type the catalogue lacks.
  InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF);
  mmisim::PostedMessage message;
  while (mmisim::NextMessage(&message)) {
  }
  const auto cursor = td::sendConfigCursor;
  MakeCurrent(99);
  mmisim::ClearCalls();
  EXPECT_EQ(InitSendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  EXPECT_EQ(td::sendConfigCursor, cursor);
  EXPECT_EQ(Pump(0xFFFF, 1).endMessages, 1);
  // Steps asked for afterwards do not go on with the earlier type's record.
  EXPECT_EQ(SendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());
}

TEST_F(Download, AStepBeforeAnyStartPostsTheEndAndTouchesNoRecord) {
  ASSERT_EQ(td::sendTypeRecord, nullptr);
  EXPECT_EQ(SendCurrentTypeData(Window(), kItemNotice, kStepNotice, kEndCode, 0xFFFF), 1);
  const auto posted = mmisim::CallsOf("MMIPostMessage");
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].args[1], 7);
  EXPECT_EQ(posted[0].args[2], 0x53);
  EXPECT_TRUE(mmisim::CallsOf("DummyRead0").empty());
  EXPECT_EQ(td::sendConfigCursor, 0);
}

}  // namespace
