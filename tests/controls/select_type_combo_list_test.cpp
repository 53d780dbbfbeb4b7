// SelectTypeComboList: finds an item by the type number it carries.
#include <gtest/gtest.h>

#include "type_combo_fixture.h"

namespace {

using td::testing::ListOrder;

class SelectTypeComboList_ : public td::testing::TypeComboTest {};

TEST_F(SelectTypeComboList_, SelectsTheFirstItemCarryingTheNumber) {
  StartCatalogue(ListOrder::kCatalogue, {{7, "first seven"}, {0, "zero"}, {5, "five"}, {7, "second seven"}});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  ASSERT_EQ(Selection(), CB_ERR);

  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 5), 5);
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 7), 7);
  EXPECT_EQ(Selection(), 0) << "a number listed twice selects its first item";
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 0), 0);
  EXPECT_EQ(Selection(), 1);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 0x30005), 5) << "only the low 16 bits count";
  EXPECT_EQ(Selection(), 2);
}

TEST_F(SelectTypeComboList_, ANumberNotListedLeavesTheSelectionAsItWas) {
  StartCatalogue(ListOrder::kCatalogue, {{12, "beta"}, {3, "Alpha"}});
  SetCurrentType(3);
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 1);
  ASSERT_EQ(SelectTypeComboList(parent_, kControlId, 12), 12);

  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 3), -1) << "left out as the current type";
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 9999), -1);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, -1), -1);
  EXPECT_EQ(Selection(), 0);
}

TEST_F(SelectTypeComboList_, AnEmptyListOrNoSuchBoxGivesMinusOne) {
  StartCatalogue(ListOrder::kCatalogue, {});
  ASSERT_NE(MakeVisibleBox(), nullptr);
  UpdateTypeComboList(parent_, nullptr, kControlId, 0);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId, 0), -1);
  EXPECT_EQ(SelectTypeComboList(parent_, kControlId + 1, 0), -1);
}

}  // namespace
