#include "support/comm_items.h"

#include "kinds.h"
#include "mmisim.h"

namespace td::testing {

std::map<CfgId, int> InUseCommItems() {
  std::map<CfgId, int> items;
  const mmisim::Machine& machine = mmisim::CurrentMachine();
  for (std::size_t index = 0; index < machine.configs.size(); ++index) {
    for (int k = 0; k < 5; ++k) {
      if (!kKinds[k].inCommMem) continue;
      const auto& kind = machine.configs[index].kinds[k];
      for (std::size_t i = 0; i < kind.items.size(); ++i) {
        const auto& item = kind.items[i];
        if (item.described && IsInUse(item.dataType))
          items[TD_CFGID(i, kKinds[k].code, index)] = kKinds[k].slot;
      }
    }
  }
  return items;
}

}  // namespace td::testing
