// What the catalogue tests share: a workspace with a type folder, a small
// machine, and readers of the catalogue file and the type list.
#ifndef TESTS_CATALOGUE_CATALOGUE_SUPPORT_H
#define TESTS_CATALOGUE_CATALOGUE_SUPPORT_H

#include <string>
#include <utility>
#include <vector>

#include "support/sim_host.h"
#include "support/workspace.h"
#include "typedata.h"

namespace td::testing {

// Two configs, numbered against their list order.
inline constexpr char kTwoConfigMachine[] = R"(
locale ENU
config 2 prefix PRM
  items D 1
config 1 prefix MAIN
  items D 1
)";

class CatalogueTest : public WorkspaceTest {
 protected:
  void SetUp() override { MakeDirs(workspace_.Path("type")); }
  void TearDown() override { mmisim::Stop(); }

  std::string CataloguePath() const { return workspace_.Path("type/mmi.typ"); }
  std::string Catalogue() const { return ReadFileBytes(CataloguePath()); }
  void WriteCatalogue(const std::string& bytes) const { WriteFileBytes(CataloguePath(), bytes); }
  bool TempLeft() const { return TemporaryFileIn(workspace_.Path("type")); }

  // Starts the machine and reads the catalogue file into the type list.
  void StartWith(const char* machine, const std::string& catalogue) {
    WriteCatalogue(catalogue);
    mmisim::StartHost(MachineFrom(machine));
  }

  // The type list from its head: number and name of every record.
  static std::vector<std::pair<int, std::string>> TypeList() {
    std::vector<std::pair<int, std::string>> list;
    for (const TypeRecord* type = GetMMITypeInfo()->typeList; type; type = type->next) {
      list.emplace_back(type->typeNo, type->name);
    }
    return list;
  }
};

}  // namespace td::testing

#endif  // TESTS_CATALOGUE_CATALOGUE_SUPPORT_H
