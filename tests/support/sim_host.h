// A test whose fixture is a fresh workspace and a started simulated host.
#ifndef TESTS_SUPPORT_SIM_HOST_H
#define TESTS_SUPPORT_SIM_HOST_H

#include "mmisim.h"
#include "start/start.h"
#include "support/workspace.h"

namespace td::testing {

// Parses a machine description or fails the test.
mmisim::Machine MachineFrom(const std::string& description);

class SimHostTest : public WorkspaceTest {
 protected:
  void SetUp() override { mmisim::StartHost(mmisim::SampleMachine()); }
  void TearDown() override { mmisim::Stop(); }
};

}  // namespace td::testing

#endif  // TESTS_SUPPORT_SIM_HOST_H
