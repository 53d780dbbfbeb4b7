// A machine as its description gives it: the configs with their items,
// the interface boards, and the switches of the system record.
#ifndef MMISIM_MACHINE_MACHINE_H
#define MMISIM_MACHINE_MACHINE_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mmisim {

// How one item is described to the service.
struct ItemDescription {
  bool described = true;  // false: the structure library knows no such item
  char dataType = 'I';    // 'P'/'F' real, 0 or ' ' not in use, else integer
  double defaultValue = 0.0;
  int scale = 0;  // real items: decimals of the controller form
};

// What an item means to people, and the values a change may give it (the
// simulated host ignores them; the tool shows and enforces them).
struct ItemAbout {
  std::string label;  // "Feed rate"
  std::string unit;   // "mm/min"
  std::optional<double> minimum;
  std::optional<double> maximum;
};

struct KindItems {
  bool declared = false;
  std::uint32_t count = 0;
  std::vector<ItemDescription> items;  // count entries
  // Only the items that an 'about' line names, by item number (from 1):
  // most items have none, and a machine may have two million items.
  std::map<std::uint32_t, ItemAbout> about;
};

struct MachineConfig {
  int configNo = 0;    // from 1
  std::string prefix;  // at most 7 characters
  int partNo = 0;      // shared through this name part, 0 for none
  KindItems kinds[5];  // D, S, A, L, V (section order)
  int line = 0;        // where the description names it
};

struct Board {
  int code = 0;         // 128 to 143
  int configIndex = 0;  // what GetIFxxConfigIndex answers
};

struct Machine {
  std::string localeText = "ENU";
  bool offlineEnabled = false;
  int namePartCount = 0;
  int typeListOrder = 0;  // 1: the type combo box lists by name
  bool hpcOnline = false;
  std::vector<MachineConfig> configs;  // in configList order
  std::vector<Board> boards;
};

// Reads a machine description. On a mistake gives false and a message
// "source:line: what is wrong"; machine is then left as it was.
bool ParseMachine(const std::string& text, const std::string& source, Machine* machine, std::string* error);

// Reads a machine description file; a missing file is a mistake too.
bool LoadMachineFile(const std::string& path, Machine* machine, std::string* error);

// The text of the sample machine.
const char* SampleMachineText();

// The sample machine with labels, units and limits for a few items
// (every other item and setting as the sample machine has it).
std::string LabelledSampleMachineText();

// The sample machine, parsed.
Machine SampleMachine();

}  // namespace mmisim

#endif  // MMISIM_MACHINE_MACHINE_H
