#include "names.h"

#include <fmt/core.h>

#include "typedata.h"

namespace tool {

std::string RefusalOfName(const Session& session, const std::string& name, int self) {
  if (name.empty()) return "a type needs a name";
  if (name.size() > TD_TYPE_NAME_MAX) {
    return fmt::format("'{}' is {} characters long; a type name has at most {}", name, name.size(),
                       TD_TYPE_NAME_MAX);
  }
  const std::vector<std::string> parts = PartsOf(name);
  if (parts.empty()) {
    return fmt::format("'{}' is malformed: parts must not be empty, and a name has at most 3 parts", name);
  }
  const int partCount = GetMMISystemStruc()->namePartCount;
  for (const TypeInfo& other : session.Types()) {
    if (other.number == self) continue;
    for (std::size_t at = 0; at < other.parts.size(); ++at) {
      for (std::size_t mine = 0; mine < parts.size(); ++mine) {
        const bool counted = static_cast<int>(at) < partCount && static_cast<int>(mine) < partCount;
        if (counted && at != mine && other.parts[at] == parts[mine]) {
          return fmt::format("part '{}' is part {} of type {} '{}', and cannot be part {} here", parts[mine],
                             at + 1, other.number, other.name, mine + 1);
        }
      }
    }
  }
  return "";
}

}  // namespace tool
