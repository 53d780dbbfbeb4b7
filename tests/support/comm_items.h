// What the simulated machine says should reach comm memory and the
// controller: its described, in-use D, S and A items.
#ifndef TESTS_SUPPORT_COMM_ITEMS_H
#define TESTS_SUPPORT_COMM_ITEMS_H

#include <map>

#include "records.h"

namespace td::testing {

// The CfgIds of the started machine's in-use D, S and A items (config byte:
// the config's place in the description), each with its block slot.
std::map<CfgId, int> InUseCommItems();

}  // namespace td::testing

#endif  // TESTS_SUPPORT_COMM_ITEMS_H
