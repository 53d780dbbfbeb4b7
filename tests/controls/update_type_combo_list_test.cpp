// UpdateTypeComboList: which types are listed, in which order, with which
// texts and item data, read back from the box itself.
#include <gtest/gtest.h>

#include <cstring>

#include "type_combo_fixture.h"

namespace {

using td::testing::ListedItem;
using td::testing::ListOrder;
using td::testing::Recorded;
using Items = std::vector<ListedItem>;
using Strings = std::vector<std::string>;

class UpdateTypeComboList_ : public td::testing::TypeComboTest {};

const std::vector<std::pair<int, std::string>> kThreeTypes = {{12, "beta"}, {3, "Alpha"}, {7, "gamma"}};

const char* NameOf(ListOrder order) { return order == ListOrder::kName ? "name order" : "catalogue order"; }

TEST_F(UpdateTypeComboList_, CatalogueOrderListsEveryTypeWithItsNumberAsData) {
  StartCatalogue(ListOrder::kCatalogue, kThreeTypes);
  ASSERT_NE(MakeVisibleBox(), nullptr);
  const Items expected = {{"0012 beta", 12}, {"0003 Alpha", 3}, {"0007 gamma", 7}};

  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Listed(), expected);
  // A second fill replaces the list rather than adding to it.
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(mmisim::CallsOf("MakeComboBox").size(), 1u) << "catalogue order needs no sorting box";
}

TEST_F(UpdateTypeComboList_, NameOrderSortsWithoutRegardToCaseThroughATemporaryBox) {
  StartCatalogue(ListOrder::kName, kThreeTypes);
  ASSERT_NE(MakeVisibleBox(), nullptr);
  ASSERT_EQ(mmisim::ChildWindowCount(parent_), 1);
  mmisim::ClearCalls();

  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Listed(), (Items{{"0003 Alpha", 3}, {"0012 beta", 12}, {"0007 gamma", 7}}));
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1) << "the sorting box is destroyed after use";

  const auto made = mmisim::CallsOf("MakeComboBox");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].args[0], Recorded(parent_));
  EXPECT_EQ(made[0].text, "");
  EXPECT_EQ(made[0].args[3], 0x200103) << "WS_VSCROLL | CBS_SORT | CBS_DROPDOWNLIST";
  EXPECT_EQ((std::vector<std::int64_t>(made[0].args.begin() + 4, made[0].args.end())),
            (std::vector<std::int64_t>{0, 0, 100, 50, 0}))
      << "at 0,0, 100 wide, 50 high, item identifier 0";
}

TEST_F(UpdateTypeComboList_, SkipCurrentOneAndOnlyOneLeavesTheCurrentTypeOut) {
  for (ListOrder order : {ListOrder::kCatalogue, ListOrder::kName}) {
    SCOPED_TRACE(NameOf(order));
    StartCatalogue(order, kThreeTypes);
    SetCurrentType(3);
    HWND box = MakeVisibleBox();
    ASSERT_NE(box, nullptr);
    const Strings all = order == ListOrder::kName ? Strings{"0003 Alpha", "0012 beta", "0007 gamma"}
                                                  : Strings{"0012 beta", "0003 Alpha", "0007 gamma"};

    UpdateTypeComboList(parent_, nullptr, kControlId, 1);
    EXPECT_EQ(Texts(), (Strings{"0012 beta", "0007 gamma"}));
    for (int other : {0, 2, -1, 0x10001}) {
      UpdateTypeComboList(parent_, nullptr, kControlId, other);
      EXPECT_EQ(Texts(), all) << "skipCurrent " << other;
    }
    // A current type that is not in the catalogue leaves every type in.
    SetCurrentType(4);
    UpdateTypeComboList(parent_, nullptr, kControlId, 1);
    EXPECT_EQ(Texts(), all);
    DestroyWindow(box);
  }
}

TEST_F(UpdateTypeComboList_, AnEmptyCatalogueEmptiesTheList) {
  for (ListOrder order : {ListOrder::kCatalogue, ListOrder::kName}) {
    SCOPED_TRACE(NameOf(order));
    StartCatalogue(order, {});
    HWND box = MakeVisibleBox();
    ASSERT_NE(box, nullptr);
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("left over"));

    UpdateTypeComboList(parent_, nullptr, kControlId, 0);
    EXPECT_EQ(Listed(), Items{});
    EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
    DestroyWindow(box);
  }
}

TEST_F(UpdateTypeComboList_, TextsCarryFourDigitsABlankAndTheWholeName) {
  StartCatalogue(ListOrder::kCatalogue,
                 {{0, "X"}, {9999, "ABCDEFGHIJKLMNOPQRSTUVW"}, {42, ""}, {100, "with  two blanks"}});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Listed(), (Items{{"0000 X", 0},
                             {"9999 ABCDEFGHIJKLMNOPQRSTUVW", 9999},
                             {"0042 ", 42},
                             {"0100 with  two blanks", 100}}));
}

TEST_F(UpdateTypeComboList_, ANameFillingItsFieldWithoutTerminatorIsNotReadBeyondIt) {
  for (ListOrder order : {ListOrder::kCatalogue, ListOrder::kName}) {
    SCOPED_TRACE(NameOf(order));
    StartCatalogue(order, {{1, "short"}});
    // 24 characters and no terminating zero; typeNo follows in memory.
    TypeRecord* type = GetMMITypeInfo()->typeList;
    std::memset(type->name, 'N', sizeof type->name);
    HWND box = MakeVisibleBox();
    ASSERT_NE(box, nullptr);
    UpdateTypeComboList(parent_, nullptr, kControlId, 0);
    EXPECT_EQ(Listed(), (Items{{"0001 " + std::string(24, 'N'), 1}}));
    DestroyWindow(box);
  }
}

TEST_F(UpdateTypeComboList_, NamesThatDifferOnlyInCaseStayTogetherAsThePlatformPlacesThem) {
  StartCatalogue(ListOrder::kName, {{1, "beta"}, {2, "Beta"}, {3, "alpha"}, {4, "BETA"}, {5, "Alpha"}});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  // Equal names without regard to case: each new one goes before the equal
  // name that the sorted box's search meets first.
  EXPECT_EQ(
      Listed(),
      (Items{{"0005 Alpha", 5}, {"0003 alpha", 3}, {"0004 BETA", 4}, {"0002 Beta", 2}, {"0001 beta", 1}}));
}

TEST_F(UpdateTypeComboList_, NameOrderPutsBlanksAndPunctuationBeforeDigitsBeforeLetters) {
  StartCatalogue(ListOrder::kName, {{1, "Part2"},
                                    {2, "Part-B"},
                                    {3, "part10"},
                                    {4, "Part B"},
                                    {5, "Part_1"},
                                    {6, "PartA"},
                                    {7, "Part'B"},
                                    {8, "PartB"},
                                    {9, "Part"},
                                    {10, "Part+1"}});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  // Hyphen and apostrophe count only between names otherwise equal.
  EXPECT_EQ(Texts(), (Strings{"0009 Part", "0004 Part B", "0005 Part_1", "0010 Part+1", "0003 part10",
                              "0001 Part2", "0006 PartA", "0008 PartB", "0007 Part'B", "0002 Part-B"}));
}

TEST_F(UpdateTypeComboList_, EachTypeIsListedOnceWithItsOwnNameWhenTwoShareANumber) {
  for (ListOrder order : {ListOrder::kCatalogue, ListOrder::kName}) {
    SCOPED_TRACE(NameOf(order));
    StartCatalogue(order, {{5, "Zeta"}, {8, "Mid"}, {5, "Alpha"}});
    HWND box = MakeVisibleBox();
    ASSERT_NE(box, nullptr);
    UpdateTypeComboList(parent_, nullptr, kControlId, 0);
    const Items expected = order == ListOrder::kName
                               ? Items{{"0005 Alpha", 5}, {"0008 Mid", 8}, {"0005 Zeta", 5}}
                               : Items{{"0005 Zeta", 5}, {"0008 Mid", 8}, {"0005 Alpha", 5}};
    EXPECT_EQ(Listed(), expected);
    DestroyWindow(box);
  }
}

TEST_F(UpdateTypeComboList_, NameOrderListsTheWholeTypeListWhateverTheTypeCountSays) {
  StartCatalogue(ListOrder::kName, kThreeTypes);
  GetMMITypeInfo()->typeCount = 1;
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Texts(), (Strings{"0003 Alpha", "0012 beta", "0007 gamma"}));
}

TEST_F(UpdateTypeComboList_, WithoutASortingBoxTheListIsCompleteInCatalogueOrder) {
  StartCatalogue(ListOrder::kName, {{12, "beta"}, {0, "zero"}, {7, "gamma"}});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  mmisim::FailComboBoxAt(1);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(Listed(), (Items{{"0012 beta", 12}, {"0000 zero", 0}, {"0007 gamma", 7}}));
  EXPECT_EQ(mmisim::ChildWindowCount(parent_), 1);
}

}  // namespace
