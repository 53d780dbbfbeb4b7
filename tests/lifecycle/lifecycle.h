// Helpers of the type data lifecycle's tests.
#ifndef TESTS_LIFECYCLE_LIFECYCLE_H
#define TESTS_LIFECYCLE_LIFECYCLE_H

#include <map>
#include <string>

#include "mmisim.h"
#include "support/sim_host.h"
#include "typedata.h"

namespace td::testing {

TypeRecord* RecordOf(int typeNo);
// The value of item index `item` in slot `slot` of the type's table for
// config number configNo.
double ValueOf(int typeNo, int configNo, int slot, unsigned item);
const char* TextOf(int typeNo, int configNo, unsigned item);

// Adds a type to the catalogue file and the type list, as the host does.
void AddCatalogueType(int typeNo, const char* name);

// Writes a file whole, making its folders first.
void PutFile(const std::string& path, const std::string& bytes);

// The real path of a type data file below the workspace root.
std::string TypeFilePath(const Workspace& workspace, int typeNo, const std::string& prefix);

// Starts from a fresh workspace, the sample machine and an idle download.
class LifecycleTest : public SimHostTest {
 protected:
  void SetUp() override;
};

}  // namespace td::testing

#endif  // TESTS_LIFECYCLE_LIFECYCLE_H
