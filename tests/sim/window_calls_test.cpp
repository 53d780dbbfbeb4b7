// The window calls as the simulated host's tests see them: real windows on
// Windows, the stand-ins elsewhere, with the same answers.
#include <gtest/gtest.h>

#include <string>

#include "mmisim.h"

namespace {

constexpr std::uint32_t kDropDownList = WS_VSCROLL | CBS_DROPDOWNLIST;

class WindowCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = mmisim::CreateParentWindow("window calls", 300, 200);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND Box(std::uint32_t style, int id = 5) {
    return MakeComboBox(parent_, nullptr, "", style, 0, 0, 100, 100, id);
  }
  static LRESULT Add(HWND box, const char* text) {
    return SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  static std::string TextAt(HWND box, int index) {
    char text[64] = "";
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
  }

  HWND parent_ = nullptr;
};

TEST_F(WindowCalls, ComboBoxAnswersItemIndexesOrCbErr) {
  HWND box = Box(kDropDownList);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Add(box, "b"), 0);
  EXPECT_EQ(Add(box, "a"), 1) << "an unsorted box adds at the end";
  EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 2);
  EXPECT_NE(SendMessageA(box, CB_SETITEMDATA, 1, 77), CB_ERR);
  EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, 1, 0), 77);
  EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, 0, 0), 0) << "data starts at 0";
  EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, 2, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(box, CB_SETITEMDATA, static_cast<WPARAM>(-1), 7), CB_ERR);
  EXPECT_EQ(SendMessageA(box, CB_GETLBTEXTLEN, 0, 0), 1);
  EXPECT_EQ(SendMessageA(box, CB_GETLBTEXTLEN, 2, 0), CB_ERR);
  EXPECT_EQ(TextAt(box, 1), "a");

  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(box, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), CB_ERR);

  SendMessageA(box, CB_SETCURSEL, 0, 0);
  SendMessageA(box, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(WindowCalls, SortedBoxGivesTheIndexWhereItPutTheText) {
  HWND box = Box(kDropDownList | CBS_SORT);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Add(box, "m"), 0);
  SendMessageA(box, CB_SETITEMDATA, 0, 1);
  EXPECT_EQ(Add(box, "Z"), 1);
  SendMessageA(box, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(Add(box, "a"), 0);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 1) << "the selection stays on its item";
  EXPECT_EQ(Add(box, "9"), 0);
  EXPECT_EQ(Add(box, "n"), 3);
  EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, 2, 0), 1) << "data moves with its item";
  EXPECT_EQ(TextAt(box, 4), "Z");
}

TEST_F(WindowCalls, DialogItemsAreFoundByParentAndIdentifier) {
  HWND other = mmisim::CreateParentWindow("other", 300, 200);
  ASSERT_NE(other, nullptr);
  HWND mine = Box(kDropDownList, 5);
  HWND theirs = MakeComboBox(other, nullptr, "", kDropDownList, 0, 0, 100, 100, 5);
  ASSERT_NE(mine, nullptr);
  ASSERT_NE(theirs, nullptr);
  Add(theirs, "x");

  EXPECT_EQ(SendDlgItemMessageA(parent_, 5, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(other, 5, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendDlgItemMessageA(other, 6, CB_GETCOUNT, 0, 0), 0) << "no such item";
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
  EXPECT_EQ(mmisim::ChildWindowCount(other), 1);

  EXPECT_TRUE(DestroyWindow(other));
  EXPECT_FALSE(DestroyWindow(theirs)) << "destroyed with its parent";
  EXPECT_FALSE(DestroyWindow(other));
  EXPECT_EQ(SendMessageA(theirs, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
}

TEST_F(WindowCalls, AComboBoxNeedsAParentAndADeviceContextIsReleasedOnce) {
  EXPECT_EQ(MakeComboBox(nullptr, nullptr, "", kDropDownList | WS_CHILD, 0, 0, 100, 100, 1), nullptr);
  HDC dc = GetDC(parent_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(ReleaseDC(parent_, dc), 1);
  EXPECT_EQ(ReleaseDC(parent_, dc), 0);
}

}  // namespace
