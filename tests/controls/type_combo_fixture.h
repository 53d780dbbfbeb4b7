// Tests of the type selection controls: a started simulated host with a
// catalogue of our choosing, a parent window, and the combo box read back
// through its messages.
#ifndef TESTS_CONTROLS_TYPE_COMBO_FIXTURE_H
#define TESTS_CONTROLS_TYPE_COMBO_FIXTURE_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/sim_host.h"
#include "typedata.h"

namespace td::testing {

// A handle or pointer as the recorder keeps it among a call's arguments.
inline std::int64_t Recorded(const void* handle) {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(handle));
}

enum class ListOrder { kCatalogue, kName };

struct ListedItem {
  std::string text;
  LRESULT data = 0;
  bool operator==(const ListedItem& other) const { return text == other.text && data == other.data; }
};
void PrintTo(const ListedItem& item, std::ostream* out);

class TypeComboTest : public SimHostTest {
 protected:
  static constexpr int kControlId = 101;

  void SetUp() override;
  void TearDown() override;

  // Starts a machine listing types in the given order, with these types in
  // this catalogue order.
  void StartCatalogue(ListOrder order, const std::vector<std::pair<int, std::string>>& types);
  void SetCurrentType(int typeNo) { GetMMISystemStruc()->currentTypeNo = static_cast<std::uint16_t>(typeNo); }

  // A plain drop-down list box under the parent, as the host's dialogs
  // have, for UpdateTypeComboList and SelectTypeComboList to work on.
  HWND MakeVisibleBox();

  // Every item of the box (parent, controlId): text and data.
  std::vector<ListedItem> Listed(int controlId = kControlId) const;
  // Only the texts.
  std::vector<std::string> Texts(int controlId = kControlId) const;
  LRESULT Selection(int controlId = kControlId) const;

  HWND parent_ = nullptr;
};

}  // namespace td::testing

#endif  // TESTS_CONTROLS_TYPE_COMBO_FIXTURE_H
