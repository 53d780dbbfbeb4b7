// The walk that the baselines of the comm-memory benchmarks share: every
// D, S and A item of every config, in the order the service takes them.
#ifndef TYPEDATA_BENCH_SUPPORT_COMM_ITEMS_H
#define TYPEDATA_BENCH_SUPPORT_COMM_ITEMS_H

#include "typedata.h"

namespace bench {

// Calls item(id) for every D, S and A item of configs 0 to configs - 1 with
// numbers items of each kind, and afterConfig(config) after each config.
template <typename Item, typename AfterConfig>
void ForEachCommItem(int configs, int numbers, Item&& item, AfterConfig&& afterConfig) {
  const int codes[3] = {TD_CODE_D, TD_CODE_S, TD_CODE_A};
  for (int config = 0; config < configs; ++config) {
    for (int code : codes) {
      for (int index = 0; index < numbers; ++index) item(TD_CFGID(index, code, config));
    }
    afterConfig(config);
  }
}

template <typename Item>
void ForEachCommItem(int configs, int numbers, Item&& item) {
  ForEachCommItem(configs, numbers, item, [](int) {});
}

}  // namespace bench

#endif  // TYPEDATA_BENCH_SUPPORT_COMM_ITEMS_H
