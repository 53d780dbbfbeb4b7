// The soak test's model of what the type tree and the host's memory must
// hold: the catalogue's types in list order, every type data file's values,
// and the current type's value memory and comm memory. It is built from the
// machine's description alone and renders the files as the format lays
// them down, so that the service's files can be compared byte for byte.
#ifndef TESTS_SOAK_SOAK_MODEL_H
#define TESTS_SOAK_SOAK_MODEL_H

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "records.h"

namespace td::soak {

// ---- The machine, as its description gives it -----------------------------

struct ItemShape {
  bool described = false;
  bool inUse = false;
  bool real = false;
  double defaultValue = 0.0;
  CfgId id = 0;
  const void* conversion = nullptr;  // the description's conversion descriptor
};

struct KindShape {
  int kind = 0;  // 0 to 4: D, S, A, L, V
  std::vector<ItemShape> items;
};

struct ConfigShape {
  int position = 0;     // config number - 1
  int configIndex = 0;  // place in the config list
  std::string prefix;
  int partNo = 0;
  std::vector<KindShape> kinds;  // kinds with items, in section order
};

// The configs of the started machine, by position.
std::vector<ConfigShape> DescribeMachine();

inline constexpr char kKindLetters[5] = {'D', 'S', 'A', 'L', 'V'};
inline constexpr int kKindSlots[5] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V};
inline constexpr bool InCommMemory(int kind) { return kind < 3; }

// ---- Values ---------------------------------------------------------------

// One config's values: numbers of D, S, A, L and texts of V, by item index.
struct ConfigValues {
  std::array<std::vector<double>, 4> numbers;
  std::vector<std::string> texts;
  bool operator==(const ConfigValues& other) const {
    return numbers == other.numbers && texts == other.texts;
  }
  bool operator!=(const ConfigValues& other) const { return !(*this == other); }
};

// What a file made anew from freshly built defaults holds.
ConfigValues DefaultValues(const ConfigShape& config);

// The bytes of a type data file holding these values, as the writer lays
// them down: sections in order, every described item (V: in use), real
// items with six decimals, others as whole numbers, items not in use 0.
std::string RenderFile(const ConfigShape& config, const ConfigValues& values);

// ---- The whole expected state ----------------------------------------------

struct TypeEntry {
  int typeNo = 0;
  std::string name;
  bool quoted = true;  // false only for the first record "0, "
};

using FileKey = std::pair<int, int>;  // type number, config position

struct Model {
  std::vector<TypeEntry> list;            // catalogue order, head first
  std::map<FileKey, ConfigValues> files;  // every type data file
  int current = 0;                        // currentTypeNo
  std::string currentName;                // currentTypeName
  bool memoryKnown = false;               // value memory holds `memory`
  std::vector<ConfigValues> memory;       // the current type's tables
  std::map<CfgId, std::int32_t> comm;     // in-use D, S and A items

  const TypeEntry* Find(int typeNo) const;
  std::string CatalogueBytes() const;
  // The lowest number that no type holds.
  int FreeNumber() const;
};

// The parts of a well-formed name ("+"-separated), empty for "".
std::vector<std::string> PartsOf(const std::string& name);

// ---- Comparing with the tree and the host ----------------------------------

// Every difference between the tree under root ("<root>/type") and the
// model, one a line; empty when they agree. Files the model does not know
// (temporary files, stray folders) are differences too.
std::string TreeDifferences(const std::string& root, const std::vector<ConfigShape>& machine,
                            const Model& model);

// Differences between the host's memory and the model: the type list, the
// system record's current type, and (when known) the current type's tables
// and comm memory.
std::string MemoryDifferences(const std::vector<ConfigShape>& machine, const Model& model);

// The path of a type data file below root.
std::string FilePath(const std::string& root, const ConfigShape& config, int typeNo);

}  // namespace td::soak

#endif  // TESTS_SOAK_SOAK_MODEL_H
