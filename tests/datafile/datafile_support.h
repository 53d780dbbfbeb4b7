// What the type data file tests share: a started machine with a current
// type, blocks made the way the service makes them (exactly sized global
// memory), and the real paths of the type folder.
#ifndef TESTS_DATAFILE_DATAFILE_SUPPORT_H
#define TESTS_DATAFILE_DATAFILE_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mmisim.h"
#include "model/kinds.h"
#include "support/sim_host.h"
#include "support/workspace.h"
#include "typedata.h"

namespace dftest {

// The blocks of one config as plain values, for comparing.
struct BlockImage {
  bool present = false;
  char kind = 0;
  int count = 0;
  std::vector<double> values;      // count + 1 (the spare place included)
  std::vector<std::string> texts;  // count + 1
};
bool operator==(const BlockImage& a, const BlockImage& b);
std::ostream& operator<<(std::ostream& out, const BlockImage& image);

BlockImage ImageOf(const BlockTable* table, int slot);

ValueBlock* NewValueBlock(char kind, int count);
TextBlock* NewTextBlock(int count);

// The config's ConfigRecord and the count of a kind in its kind table.
ConfigRecord* ConfigOf(int configPosition);
int CountOf(int configPosition, char kindLetter);

class DatafileTest : public td::testing::WorkspaceTest {
 protected:
  void TearDown() override { mmisim::Stop(); }

  // Starts the machine, adds type typeNo and makes it current.
  TypeRecord* Start(const std::string& machine, int typeNo = 12, const char* name = "T12");
  // Gives entry p of type a table whose blocks are sized from the config's
  // kind table, one for every kind (counts of 0 included), with twins for
  // D, S and V when twins is true. Values and texts are left zero.
  BlockTable* BuildBlocks(TypeRecord* type, int configPosition, bool twins);

  // Real paths of the type folder and of a file in it.
  std::string TypeFolder(int typeNo) const;
  std::string TypeFile(int typeNo, const std::string& name) const;
  std::string ReadTypeFile(int typeNo, const std::string& name) const;
  void WriteTypeFile(int typeNo, const std::string& name, const std::string& bytes) const;
  // The names in a type folder, sorted.
  std::vector<std::string> NamesIn(int typeNo) const;
};

// The golden file of the given name, from tests/data/datafile.
std::string GoldenFile(const std::string& name);

}  // namespace dftest

#endif  // TESTS_DATAFILE_DATAFILE_SUPPORT_H
