// What a change will store: the number forms type data files use, and the
// value the controller (or the file) holds when it rounds what was given.
#ifndef TOOLS_TYPEDATA_CORE_VALUE_REVIEW_H
#define TOOLS_TYPEDATA_CORE_VALUE_REVIEW_H

#include <string>

#include "core/edit.h"
#include "core/values.h"

namespace tool {

// A change as it will be stored.
struct ReviewedChange {
  std::string config;
  char kind = 0;
  int item = 0;
  char dataType = 0;
  std::string given;   // as the user gave it
  std::string stored;  // as it will be stored (a V text, or a number in the files' form)
  bool rounded = false;
};

// Reviews a change against the loaded type before it is applied. A number
// in another form than the files' ("0x10", "1e3", "+5") is refused. A
// number that the controller (D, S, A) or the file's six decimals (L) would
// round is refused under strict, and otherwise rewritten to the value that
// will be stored, so that value memory, comm memory and the file agree.
// Changes to items that do not exist, are not in use, or that the
// controller cannot hold at all, pass unchanged: ApplyChange refuses them.
bool ReviewChange(const TypeValues& loaded, bool strict, Change* change, ReviewedChange* reviewed,
                  std::string* error);

// "TOOL D:1: 1.23456789 is stored as 1.23 (what the controller holds)".
std::string RoundingNote(const ReviewedChange& change);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_VALUE_REVIEW_H
