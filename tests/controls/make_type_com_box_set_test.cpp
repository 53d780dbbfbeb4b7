// MakeTypeComBoxSet: the combo box it makes, its font and item heights,
// and its filled list.
#include <gtest/gtest.h>

#include "type_combo_fixture.h"

namespace {

using td::testing::ListedItem;
using td::testing::ListOrder;
using td::testing::Recorded;

class MakeTypeComBoxSet_ : public td::testing::TypeComboTest {};

std::vector<std::int64_t> Geometry(const mmisim::HostCall& made) {
  return {made.args[4], made.args[5], made.args[6], made.args[7], made.args[8]};
}

TEST_F(MakeTypeComBoxSet_, MakesAFilledDropDownListWithTheCommonFont) {
  StartCatalogue(ListOrder::kCatalogue, {{12, "beta"}, {3, "Alpha"}, {7, "gamma"}});
  SetCurrentType(7);

  HWND box = MakeTypeComBoxSet(parent_, nullptr, 10, 20, 200, 18, kControlId, 1);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
  EXPECT_EQ(Listed(), (std::vector<ListedItem>{{"0012 beta", 12}, {"0003 Alpha", 3}}));
  EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 2) << "the handle given back is the box that was filled";

  const auto made = mmisim::CallsOf("MakeComboBox");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].args[0], Recorded(parent_));
  EXPECT_EQ(made[0].text, "");
  EXPECT_EQ(made[0].args[3], 0x200003) << "WS_VSCROLL | CBS_DROPDOWNLIST";
  EXPECT_EQ(Geometry(made[0]), (std::vector<std::int64_t>{10, 20, 200, 9 * 18, kControlId}));
  EXPECT_EQ(made[0].result, Recorded(box));

  const auto font = mmisim::CallsOf("SetCommonFontSize");
  ASSERT_EQ(font.size(), 1u);
  EXPECT_NE(font[0].args[0], 0) << "asked with the parent's device context";
  EXPECT_NE(font[0].result, 0);
  EXPECT_EQ(Recorded(reinterpret_cast<void*>(SendMessageA(box, WM_GETFONT, 0, 0))), font[0].result);
#ifndef _WIN32
  // Windows' own boxes size a list that draws its own items by its font;
  // the stand-in keeps the heights it is given, after the font.
  EXPECT_EQ(SendMessageA(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 18);
  EXPECT_EQ(SendMessageA(box, CB_GETITEMHEIGHT, 0, 0), 18);
  EXPECT_EQ(mmisim::DeviceContextsInUse(), 0) << "the parent's device context is released";
#endif
}

TEST_F(MakeTypeComBoxSet_, TakesPositionAndSizeAsSigned16BitNumbers) {
  StartCatalogue(ListOrder::kCatalogue, {{1, "one"}});
  HWND box =
      MakeTypeComBoxSet(parent_, nullptr, 0x10000 + 5, 0xFFFF, 0x20000 + 150, 0x10000 + 20, kControlId, 0);
  ASSERT_NE(box, nullptr);
  const auto made = mmisim::CallsOf("MakeComboBox");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(Geometry(made[0]), (std::vector<std::int64_t>{5, -1, 150, 180, kControlId}));
  EXPECT_EQ(Listed(), (std::vector<ListedItem>{{"0001 one", 1}}));
}

TEST_F(MakeTypeComBoxSet_, NameOrderLeavesOnlyTheVisibleBoxBehind) {
  StartCatalogue(ListOrder::kName, {{12, "beta"}, {3, "Alpha"}, {7, "gamma"}});
  HWND box = MakeTypeComBoxSet(parent_, nullptr, 0, 0, 120, 16, kControlId, 2);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0003 Alpha", "0012 beta", "0007 gamma"}));
  ASSERT_EQ(mmisim::CallsOf("MakeComboBox").size(), 2u);
  EXPECT_EQ(mmisim::CallsOf("MakeComboBox")[1].args[3], 0x200103);
}

TEST_F(MakeTypeComBoxSet_, TwoBoxesUnderOneParentAreFilledApart) {
  StartCatalogue(ListOrder::kCatalogue, {{12, "beta"}, {3, "Alpha"}});
  SetCurrentType(12);
  ASSERT_NE(MakeTypeComBoxSet(parent_, nullptr, 0, 0, 120, 16, kControlId, 0), nullptr);
  ASSERT_NE(MakeTypeComBoxSet(parent_, nullptr, 0, 40, 120, 16, kControlId + 1, 1), nullptr);
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 2);
  EXPECT_EQ(Texts(kControlId), (std::vector<std::string>{"0012 beta", "0003 Alpha"}));
  EXPECT_EQ(Texts(kControlId + 1), (std::vector<std::string>{"0003 Alpha"}));
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId + 1, 3), 3);
  EXPECT_EQ(Selection(kControlId + 1), 0);
  EXPECT_EQ(Selection(kControlId), CB_ERR);
}

}  // namespace
