#include "support/sim_host.h"

namespace td::testing {

mmisim::Machine MachineFrom(const std::string& description) {
  mmisim::Machine machine;
  std::string error;
  EXPECT_TRUE(mmisim::ParseMachine(description, "test machine", &machine, &error)) << error;
  return machine;
}

}  // namespace td::testing
