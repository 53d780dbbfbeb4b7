// Names compared without regard to letter case, as the service finds files
// ("MMI.TYP" is "mmi.typ"): ASCII letters only, so a double-byte name's
// bytes are left as they are.
#ifndef TOOLS_TYPEDATA_CORE_FOLDED_H
#define TOOLS_TYPEDATA_CORE_FOLDED_H

#include <string>

namespace tool {

inline std::string Folded(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_FOLDED_H
