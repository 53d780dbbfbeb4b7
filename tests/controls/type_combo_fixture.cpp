#include "type_combo_fixture.h"

#include <ostream>

namespace td::testing {

void PrintTo(const ListedItem& item, std::ostream* out) {
  *out << '"' << item.text << "\" data " << item.data;
}

void TypeComboTest::SetUp() {
  SimHostTest::SetUp();
  parent_ = mmisim::CreateParentWindow("type combo test", 400, 300);
  ASSERT_NE(parent_, nullptr);
}

void TypeComboTest::TearDown() {
  DestroyWindow(parent_);
  SimHostTest::TearDown();
}

void TypeComboTest::StartCatalogue(ListOrder order, const std::vector<std::pair<int, std::string>>& types) {
  const std::string listOrder = order == ListOrder::kName ? "name" : "catalogue";
  mmisim::Start(MachineFrom("list-order " + listOrder + "\nconfig 1 prefix CF\n  items D 1\n"));
  for (const auto& [typeNo, name] : types) ASSERT_TRUE(mmisim::AddType(typeNo, name.c_str())) << name;
}

HWND TypeComboTest::MakeVisibleBox() {
  return MakeComboBox(parent_, nullptr, "", WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 200, 180, kControlId);
}

std::vector<ListedItem> TypeComboTest::Listed(int controlId) const {
  std::vector<ListedItem> items;
  const LRESULT count = SendDlgItemMessageA(parent_, controlId, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto index = static_cast<WPARAM>(i);
    const LRESULT length = SendDlgItemMessageA(parent_, controlId, CB_GETLBTEXTLEN, index, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length < 0 ? 0 : length) + 1);
    SendDlgItemMessageA(parent_, controlId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    items.push_back({buffer.data(), SendDlgItemMessageA(parent_, controlId, CB_GETITEMDATA, index, 0)});
  }
  return items;
}

std::vector<std::string> TypeComboTest::Texts(int controlId) const {
  std::vector<std::string> texts;
  for (const ListedItem& item : Listed(controlId)) texts.push_back(item.text);
  return texts;
}

LRESULT TypeComboTest::Selection(int controlId) const {
  return SendDlgItemMessageA(parent_, controlId, CB_GETCURSEL, 0, 0);
}

}  // namespace td::testing
