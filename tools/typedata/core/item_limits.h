// What the machine description says an item means (its label and unit) and
// the values a change may give it (its limits), and the one check of a
// value against them that every change makes: set, import, the browser's
// saves, and whatever brings values back from elsewhere.
#ifndef TOOLS_TYPEDATA_CORE_ITEM_LIMITS_H
#define TOOLS_TYPEDATA_CORE_ITEM_LIMITS_H

#include <optional>
#include <string>
#include <vector>

namespace tool {

struct TypeValues;

struct ItemAbout {
  std::string label;  // "" when the description gives none
  std::string unit;
  std::optional<double> minimum;
  std::optional<double> maximum;
  bool empty() const { return label.empty() && unit.empty() && !minimum && !maximum; }
};

// What the machine of the open session says of an item; empty for an item
// it does not describe (and once the session's host has stopped, so the
// documents are made while the tree is open, as every command makes them).
ItemAbout AboutItem(const std::string& prefix, char kind, int item);

// Whether any item of the session's machine has a label, unit or limit.
bool AnyItemAbout();

// "" when value lies within the item's limits, else why not, naming the
// limit: "MAIN D:3 (Strokes per minute): 250 is above its maximum 200 1/min".
std::string LimitRefusal(const std::string& prefix, char kind, int item, double value);

// Every value of a loaded type that lies outside its item's limits, one
// message each, for a command that brings whole files back.
std::vector<std::string> ValuesOutsideLimits(const TypeValues& values);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_ITEM_LIMITS_H
