// Machines compared field by field and written back as descriptions, for
// the targets that check what the machine description parser accepts.
#ifndef FUZZ_MACHINE_TEXT_H
#define FUZZ_MACHINE_TEXT_H

#include <cstdio>
#include <string>

#include "machine/machine.h"

namespace td::fuzz {

inline bool SameItem(const mmisim::ItemDescription& a, const mmisim::ItemDescription& b) {
  return a.described == b.described && a.dataType == b.dataType && a.defaultValue == b.defaultValue &&
         a.scale == b.scale;
}

// Equal in every field; withLines: the configs' line numbers too.
inline bool SameMachine(const mmisim::Machine& a, const mmisim::Machine& b, bool withLines) {
  if (a.localeText != b.localeText || a.offlineEnabled != b.offlineEnabled ||
      a.namePartCount != b.namePartCount || a.typeListOrder != b.typeListOrder ||
      a.hpcOnline != b.hpcOnline || a.configs.size() != b.configs.size() ||
      a.boards.size() != b.boards.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.boards.size(); ++i) {
    if (a.boards[i].code != b.boards[i].code || a.boards[i].configIndex != b.boards[i].configIndex)
      return false;
  }
  for (std::size_t c = 0; c < a.configs.size(); ++c) {
    const mmisim::MachineConfig& x = a.configs[c];
    const mmisim::MachineConfig& y = b.configs[c];
    if (x.configNo != y.configNo || x.prefix != y.prefix || x.partNo != y.partNo) return false;
    if (withLines && x.line != y.line) return false;
    for (int k = 0; k < 5; ++k) {
      const mmisim::KindItems& p = x.kinds[k];
      const mmisim::KindItems& q = y.kinds[k];
      if (p.declared != q.declared || p.count != q.count || p.items.size() != q.items.size()) return false;
      for (std::size_t i = 0; i < p.items.size(); ++i) {
        if (!SameItem(p.items[i], q.items[i])) return false;
      }
    }
  }
  return true;
}

// The machine as a description, runs of equal items as one range.
inline std::string MachineText(const mmisim::Machine& machine) {
  static const char kKinds[5] = {'D', 'S', 'A', 'L', 'V'};
  std::string text = "locale " + machine.localeText + "\n";
  text += machine.offlineEnabled ? "offline on\n" : "offline off\n";
  text += "name-parts " + std::to_string(machine.namePartCount) + "\n";
  text += machine.typeListOrder == 1 ? "list-order name\n" : "list-order catalogue\n";
  text += machine.hpcOnline ? "hpc online\n" : "hpc offline\n";
  for (const mmisim::Board& board : machine.boards) {
    text += "board " + std::to_string(board.code) + " index " + std::to_string(board.configIndex) + "\n";
  }
  char number[64];
  for (const mmisim::MachineConfig& config : machine.configs) {
    text += "config " + std::to_string(config.configNo) + " prefix " + config.prefix + " part " +
            std::to_string(config.partNo) + "\n";
    for (int k = 0; k < 5; ++k) {
      const mmisim::KindItems& kind = config.kinds[k];
      if (!kind.declared) continue;
      const std::string letter(1, kKinds[k]);
      text += "items " + letter + " " + std::to_string(kind.count) + "\n";
      for (std::size_t first = 0; first < kind.items.size();) {
        std::size_t last = first;
        while (last + 1 < kind.items.size() && SameItem(kind.items[last + 1], kind.items[first])) ++last;
        const mmisim::ItemDescription& item = kind.items[first];
        std::string type = !item.described         ? "none"
                           : item.dataType == ' '  ? "blank"
                           : item.dataType == '\0' ? "zero"
                                                   : std::string(1, item.dataType);
        text +=
            "item " + letter + " " + std::to_string(first + 1) + "-" + std::to_string(last + 1) + " " + type;
        if (k != 4) {
          std::snprintf(number, sizeof number, " %.17g", item.defaultValue);
          text += number;
        }
        text += " scale " + std::to_string(item.scale) + "\n";
        first = last + 1;
      }
    }
  }
  return text;
}

}  // namespace td::fuzz

#endif  // FUZZ_MACHINE_TEXT_H
