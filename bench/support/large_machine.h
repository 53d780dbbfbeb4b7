// Machines and type trees of a chosen size for the benchmarks: a machine
// description made from a shape, the simulated host started on it with its
// recorder off, and type data files and catalogues written to disk.
#ifndef TYPEDATA_BENCH_SUPPORT_LARGE_MACHINE_H
#define TYPEDATA_BENCH_SUPPORT_LARGE_MACHINE_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct ConfigShape {
  std::string prefix;  // file-name prefix, at most 7 characters
  int part = 0;        // name part through which the config is shared, 0 none
  int counts[5] = {};  // items of D, S, A, L and V
};

struct MachineShape {
  bool offline = false;
  int nameParts = 0;
  std::vector<ConfigShape> configs;  // config numbers 1, 2, ... in this order
};

// configs configs "C1", "C2", ..., each with numbers items of every
// numeric kind and texts texts.
MachineShape UniformMachine(int configs, int numbers, int texts);

// The large machine: 64 configs of 4,096 items of each numeric kind and 256
// texts, with offline copies.
MachineShape LargeMachine();

// One config in the proportions of a busy one: of numbers numeric items,
// two fifths D and a fifth each S, A and L; a text for every forty.
ConfigShape ProportionalConfig(const std::string& prefix, int numbers);

// The machine description of a shape. Of every numeric kind the first half
// of the items are real ('P', three decimals on the controller), the rest
// integers; every item is in use.
std::string MachineText(const MachineShape& shape);

// Starts the simulated host on the shape with its recorder off; with
// catalogue, the type list is read from "..\type\mmi.typ" as a host does.
// Aborts on a description the host refuses.
void StartMachine(const MachineShape& shape, bool catalogue = false);

// Builds every config of type typeNo (which must be in the type list) from
// defaults, fills the blocks with values and texts drawn from seed, writes
// the numbers into comm memory and saves every config: the type's files
// hold what its blocks hold. The type is current afterwards.
void MakeTypeData(int typeNo, std::uint32_t seed);

// The service paths of type typeNo's type data files, in config order.
std::vector<std::string> TypeDataPaths(int typeNo);

// The system path of a service path (relative to the current directory).
std::string SystemPath(const std::string& servicePath);

// The bytes of the files together.
std::int64_t TotalBytes(const std::vector<std::string>& servicePaths);

// Writes "..\type\mmi.typ" with a record line for every number from 0 to
// types - 1, named by name ("0, " for an empty name, as a new catalogue
// holds type 0).
void WriteCatalogue(int types, const std::function<std::string(int)>& name);

}  // namespace bench

#endif  // TYPEDATA_BENCH_SUPPORT_LARGE_MACHINE_H
