// Value memory made by hand for the controller link's tests, which must not
// depend on the building and loading of type data.
#ifndef TESTS_LINK_TABLES_H
#define TESTS_LINK_TABLES_H

#include <cstdint>
#include <map>

#include "mmisim.h"
#include "support/comm_items.h"
#include "support/sim_host.h"
#include "typedata.h"

namespace td::testing {

// Gives every config of the type a BlockTable with a block for every kind
// the machine declares (and twins when offline copies are on). Value i of
// the block in slot s holds Seed(s, i); text i holds "t<slot>.<i>".
void GiveTables(TypeRecord* type);
double Seed(int slot, unsigned item);

TypeRecord* TypeOf(int typeNo);
void MakeCurrent(int typeNo);
BlockTable* TableOf(int typeNo, int configNo);

// Starts from a fresh machine and an idle download.
class LinkTest : public SimHostTest {
 protected:
  void SetUp() override;
};

}  // namespace td::testing

#endif  // TESTS_LINK_TABLES_H
