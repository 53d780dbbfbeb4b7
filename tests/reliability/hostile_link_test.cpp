// The type data lifecycle, the controller link and the type selection
// controls called as no careful host calls them: null pointers, positions,
// type numbers, part positions and config indexes out of range, names and
// file names that fill their fields, and with no machine, no catalogue or
// no current type. Each answers -1 (or what it gives for "nothing"), never
// crashes, never reaches outside its buffers (AddressSanitizer watches),
// and changes no file.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/sim_host.h"
#include "support/workspace.h"
#include "typedata.h"

namespace {

HWND Window() { return reinterpret_cast<HWND>(0x7001); }
constexpr int kTypeCodeNotice = 0x81, kStepNotice = 0x82, kEndCode = 0x83;
constexpr int kControlId = 301;
constexpr int kEndOfDownload = 7;

class HostileLink : public td::testing::WorkspaceTest {
 protected:
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    mmisim::Stop();
  }

  std::string Tree() {
    std::string all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(workspace_.root())) {
      if (entry.is_regular_file()) {
        all += entry.path().generic_string() + "\n" + td::testing::ReadFileBytes(entry.path().string());
      }
    }
    return all;
  }

  // A catalogue of types 1 and 2 with a file for every config of the
  // sample machine.
  void LayTree() {
    for (const char* type : {"0001", "0002"}) {
      td::testing::MakeDirs(workspace_.Path(std::string("type/") + type));
      for (const char* prefix : {"MAIN", "TOOL", "MAT", "FEED"}) {
        td::testing::WriteFileBytes(
            workspace_.Path(std::string("type/") + type + "/" + prefix + type + ".DAT"),
            "[D]\r\n1:1,\r\n2:2;\r\n");
      }
    }
    td::testing::WriteFileBytes(workspace_.Path("type/mmi.typ"), "2,\"T40+ALU\"\r\n1,\"T40+STEEL+FAST\"\r\n");
  }

  TypeRecord* Record(int typeNo) {
    TypeRecord* record = nullptr;
    return GetMMITypeNameAndStruc(typeNo, nullptr, &record) < 0 ? nullptr : record;
  }

  // The messages posted so far; the queue is emptied.
  std::vector<mmisim::PostedMessage> Posted() {
    std::vector<mmisim::PostedMessage> all;
    for (mmisim::PostedMessage message; mmisim::NextMessage(&message);) all.push_back(message);
    return all;
  }

  void ExpectOnlyEndOfDownload(const char* what) {
    const std::vector<mmisim::PostedMessage> posted = Posted();
    ASSERT_EQ(posted.size(), 1u) << what;
    EXPECT_EQ(posted[0].message, kEndOfDownload) << what;
    EXPECT_EQ(posted[0].wParam, kEndCode) << what;
  }

  LRESULT ItemCount() { return SendDlgItemMessageA(parent_, kControlId, CB_GETCOUNT, 0, 0); }

  HWND parent_ = nullptr;
};

// With no machine the host answers null to GetMMISystemStruc and
// GetMMITypeInfo, and -1 to every look-up.
TEST_F(HostileLink, NoMachineAtAll) {
  LayTree();
  mmisim::Stop();
  const std::string before = Tree();
  parent_ = mmisim::CreateParentWindow("hostile", 300, 200);

  EXPECT_EQ(CreateSetTypeData(), -1);
  EXPECT_EQ(InitialSetTypeData(nullptr, 0), -1);
  std::vector<unsigned char> record(TD_TYPE_RECORD_SIZE(4), 0);
  EXPECT_EQ(InitialSetTypeData(reinterpret_cast<TypeRecord*>(record.data()), 0), -1);
  EXPECT_EQ(std::vector<unsigned char>(record.size(), 0), record) << "the caller's record is left alone";
  EXPECT_EQ(ReadCurrentTypeData(1), -1);
  EXPECT_EQ(ChangeCurrentTypeData(1, 2), -1);
  EXPECT_EQ(SetCurrentTypeDataToCommMem(reinterpret_cast<TypeRecord*>(record.data())), -1);
  EXPECT_EQ(UpdateCurrentType(Window(), 1, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), -1);
  EXPECT_TRUE(Posted().empty()) << "nothing is sent for a type that is not there";

  // A download asked for with nothing to send ends at once.
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("InitSendCurrentTypeData");
  SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("SendCurrentTypeData");

  // The controls list nothing and select nothing.
  if (parent_ != nullptr) {
    MakeTypeComBoxSet(parent_, nullptr, 10, 10, 200, 16, kControlId, 1);
    EXPECT_EQ(ItemCount(), 0);
    UpdateTypeComboList(parent_, nullptr, kControlId, 0);
    EXPECT_EQ(ItemCount(), 0);
    EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 1), -1);
  }
  mmisim::Canvas canvas(64, 64);
  const HGDIOBJ brush = mmisim::SelectedBrush(canvas.dc());
  ArrowPictureWrite(canvas.dc(), 40, 10);
  EXPECT_EQ(mmisim::SelectedBrush(canvas.dc()), brush);
  EXPECT_EQ(Tree(), before);
}

// A catalogue whose records are too small for its configs: nothing walks
// past a record.
TEST_F(HostileLink, RecordsSmallerThanTheirConfigsNeed) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  GetMMITypeInfo()->typeRecordSize = static_cast<uint16_t>(TD_TYPE_RECORD_SIZE(2));  // four configs
  BlockTable* before = Record(2)->configs[3].blocks;
  EXPECT_EQ(ReadCurrentTypeData(1), -1);
  EXPECT_EQ(ChangeCurrentTypeData(1, 2), -1);
  EXPECT_EQ(Record(1)->configs[3].blocks, nullptr) << "nothing handed over";
  EXPECT_EQ(Record(2)->configs[3].blocks, before);
  EXPECT_EQ(SetCurrentTypeDataToCommMem(Record(1)), -1);
}

// A download that was running when the machine went away, or when the
// catalogue was built anew, does not read the record it had.
TEST_F(HostileLink, DownloadWhoseRecordIsGone) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  ASSERT_EQ(ReadCurrentTypeData(1), 0);
  GetMMISystemStruc()->currentTypeNo = 1;
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ASSERT_EQ(Posted().size(), 1u) << "the first step's answer";

  mmisim::Stop();
  SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("no machine");

  mmisim::StartHost(mmisim::SampleMachine());
  ASSERT_EQ(ReadCurrentTypeData(1), 0);
  GetMMISystemStruc()->currentTypeNo = 1;
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ASSERT_EQ(Posted().size(), 1u);
  // The catalogue is built anew: the record being sent is no longer listed.
  ASSERT_EQ(CreateSetTypeData(), 0);
  mmisim::ClearCalls();
  SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("a new catalogue");
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
}

TEST_F(HostileLink, NullPointersNumbersAndPositionsOutOfRange) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  const std::string before = Tree();
  TypeRecord* one = Record(1);
  ASSERT_NE(one, nullptr);
  GetMMISystemStruc()->currentTypeNo = 1;

  EXPECT_EQ(InitialSetTypeData(nullptr, 0), -1);
  for (int position : {-1, 4, 255, 0x10000, INT_MIN, INT_MAX}) {
    EXPECT_EQ(InitialSetTypeData(one, position), -1) << position;
  }
  for (int p = 0; p < 4; ++p) EXPECT_EQ(one->configs[p].blocks, nullptr) << "nothing was built";

  for (int typeNo : {10000, 0xFFFF, -1, 4321, INT_MIN}) {
    EXPECT_EQ(ReadCurrentTypeData(typeNo), -1) << typeNo;
    EXPECT_EQ(ChangeCurrentTypeData(typeNo, 1), -1) << typeNo;
    EXPECT_EQ(ChangeCurrentTypeData(2, typeNo), -1) << typeNo;
    EXPECT_EQ(UpdateCurrentType(Window(), typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), -1)
        << typeNo;
  }
  EXPECT_EQ(Record(2)->configs[0].blocks, nullptr) << "no table was handed over";
  EXPECT_EQ(GetMMISystemStruc()->currentTypeNo, 1);
  EXPECT_TRUE(mmisim::CallsOf("SendTypeCode").empty());
  EXPECT_TRUE(Posted().empty());

  // Selectors that name no board and no config start a download that
  // finds nothing to send.
  ASSERT_EQ(ReadCurrentTypeData(1), 0);
  for (int target : {127, 144, 0x1234, 0x7FFE, 4, 0x10004}) {
    mmisim::ClearCalls();
    UpdateCurrentType(Window(), 1, kTypeCodeNotice, kStepNotice, kEndCode, target);
    ExpectOnlyEndOfDownload("a selector of nothing");
    EXPECT_TRUE(mmisim::CallsOf("SendComm").empty()) << target;
  }
  for (int board : {128, 131, 143}) {
    EXPECT_EQ(UpdateCurrentType(Window(), 1, kTypeCodeNotice, kStepNotice, kEndCode, board), -1) << board;
  }
  EXPECT_TRUE(mmisim::CallsOf("SendTypeCode").empty()) << "an absent board is never sent to";
  for (int filter : {0x1234, 200, 4, -2}) {
    InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, filter);
    ExpectOnlyEndOfDownload("a config filter of nothing");
  }
  // Steps asked for after the end go on ending.
  for (int i = 0; i < 3; ++i) {
    SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
    ExpectOnlyEndOfDownload("after the end");
  }
  // The current type vanishes from the system record: nothing to send.
  GetMMISystemStruc()->currentTypeNo = 4321;
  mmisim::ClearCalls();
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("no current type");
  SendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("no current type, next step");
  EXPECT_TRUE(mmisim::CallsOf("SendComm").empty());
  EXPECT_EQ(Tree(), before);
}

// Fields filled to their last byte, without a terminating zero: a name of
// 24 characters and a type data file name of 16.
TEST_F(HostileLink, NamesAndFileNamesThatFillTheirFields) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  const std::string before = Tree();
  TypeRecord* two = Record(2);
  ASSERT_NE(two, nullptr);
  std::memcpy(two->name, "ABCDEFGHIJKLMNOPQRSTUVWX", TD_TYPE_NAME_SIZE);

  EXPECT_EQ(UpdateCurrentType(Window(), 2, kTypeCodeNotice, kStepNotice, kEndCode, 130), 0);
  EXPECT_EQ(std::string(GetMMISystemStruc()->currentTypeName), "ABCDEFGHIJKLMNOPQRSTUVW")
      << "the current name always ends within its field";

  parent_ = mmisim::CreateParentWindow("hostile", 300, 200);
  ASSERT_NE(parent_, nullptr);
  MakeTypeComBoxSet(parent_, nullptr, 10, 10, 200, 16, kControlId, 0);
  ASSERT_EQ(ItemCount(), 2);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 2), 2);
  const LRESULT index = SendDlgItemMessageA(parent_, kControlId, CB_GETCURSEL, 0, 0);
  const LRESULT length =
      SendDlgItemMessageA(parent_, kControlId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  EXPECT_EQ(length, 29) << "\"0002 \" and the 24 characters of the field, no more";

  // The last config's file name fills its field: no file of that name can
  // be read, written or named.
  TypeRecord* one = Record(1);
  std::memset(one->configs[3].datName, 'X', TD_DAT_NAME_SIZE);
  EXPECT_EQ(ReadCurrentTypeData(1), 4);
  EXPECT_EQ(ChangeCurrentTypeData(1, 1), 4);
  GetMMISystemStruc()->currentTypeNo = 1;
  EXPECT_EQ(InitialSetTypeData(one, 3), -1) << "its file cannot be saved";
  EXPECT_EQ(Tree(), before);
}

// A machine, but no catalogue file: the type list is empty and no type is
// current.
TEST_F(HostileLink, NoCatalogueAndNoCurrentType) {
  mmisim::StartHost(mmisim::SampleMachine());
  ASSERT_EQ(GetMMITypeInfo()->typeList, nullptr);
  for (int typeNo : {0, 1, 9999}) {
    EXPECT_EQ(ReadCurrentTypeData(typeNo), -1) << typeNo;
    EXPECT_EQ(ChangeCurrentTypeData(typeNo, typeNo), -1) << typeNo;
    EXPECT_EQ(UpdateCurrentType(Window(), typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF), -1);
  }
  InitSendCurrentTypeData(Window(), 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  ExpectOnlyEndOfDownload("an empty catalogue");

  // Defaults built into a record of the caller's; with no current type the
  // save has nothing to write.
  std::vector<unsigned char> record(TD_TYPE_RECORD_SIZE(4), 0);
  auto* loose = reinterpret_cast<TypeRecord*>(record.data());
  EXPECT_EQ(InitialSetTypeData(loose, 0), 0);
  EXPECT_NE(loose->configs[0].blocks, nullptr);
  EXPECT_FALSE(std::filesystem::exists(workspace_.Path("type")));

  parent_ = mmisim::CreateParentWindow("hostile", 300, 200);
  ASSERT_NE(parent_, nullptr);
  EXPECT_NE(MakeTypeComBoxSet(parent_, nullptr, 10, 10, 200, 16, kControlId, 1), nullptr);
  EXPECT_EQ(ItemCount(), 0);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 0), -1);
}

// Handles and numbers that name nothing, and coordinates at their limits.
TEST_F(HostileLink, ControlsWithWrongHandlesAndCoordinates) {
  LayTree();
  mmisim::StartHost(mmisim::SampleMachine());
  parent_ = mmisim::CreateParentWindow("hostile", 300, 200);
  ASSERT_NE(parent_, nullptr);

  // No parent: nothing can be created or listed.
  EXPECT_EQ(MakeTypeComBoxSet(nullptr, nullptr, 10, 10, 200, 16, kControlId, 0), nullptr);
  UpdateTypeComboList(nullptr, nullptr, kControlId, 0);
  EXPECT_EQ(SelectTypeComboList(nullptr, kControlId, 1), -1);
  // A control identifier with no control behind it.
  UpdateTypeComboList(parent_, nullptr, kControlId + 1, 1);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId + 1, 1), -1);

  // Coordinates count by their low 16 bits, signed.
  HWND box = MakeTypeComBoxSet(parent_, nullptr, INT_MAX, INT_MIN, -1, 0x12345, kControlId, -1);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ItemCount(), 2) << "skipCurrent other than 1 leaves no type out";
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 0x10001), 1) << "the low 16 bits";
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 4321), -1);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, -1), -1);
  EXPECT_EQ(SendDlgItemMessageA(
                parent_, kControlId, CB_GETITEMDATA,
                static_cast<WPARAM>(SendDlgItemMessageA(parent_, kControlId, CB_GETCURSEL, 0, 0)), 0),
            1)
      << "a failed selection leaves the last one";

  mmisim::Canvas canvas(32, 32);
  const HGDIOBJ brush = mmisim::SelectedBrush(canvas.dc());
  for (int x : {0, -1, 0xFFFF, INT_MIN, INT_MAX}) {
    for (int y : {0, -1, 0xFFFF, INT_MIN, INT_MAX}) ArrowPictureWrite(canvas.dc(), x, y);
  }
  EXPECT_EQ(mmisim::SelectedBrush(canvas.dc()), brush);
  ArrowPictureWrite(nullptr, 10, 10);
}

}  // namespace
