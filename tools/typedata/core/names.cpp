#include "core/names.h"

#include <fmt/core.h>

#include "core/display_width.h"
#include "typedata.h"

namespace tool {
namespace {

// The characters of a UTF-8 name, or its bytes when it is not UTF-8.
std::size_t Characters(const std::string& name) {
  if (!IsUtf8(name)) return name.size();
  std::size_t count = 0;
  for (char c : name) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

std::string LengthRefusal(const std::string& name) {
  const std::size_t characters = Characters(name);
  const std::string counted = characters == name.size() ? "" : fmt::format(" ({} characters)", characters);
  return fmt::format("'{}' is {} bytes long{}; a type name has at most {} bytes", name, name.size(), counted,
                     TD_TYPE_NAME_MAX);
}

std::string ControlRefusal(const std::string& name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte == '\t') return fmt::format("the name holds a tab at byte {}; a type name holds no tabs", i + 1);
    if (byte < 0x20 || byte == 0x7F) {
      return fmt::format("the name holds the control character 0x{:02X} at byte {}; a type name holds none",
                         byte, i + 1);
    }
  }
  if (name.front() == ' ') return fmt::format("'{}' starts with a blank; a type name does not", name);
  if (name.back() == ' ') return fmt::format("'{}' ends with a blank; a type name does not", name);
  return "";
}

// What a catalogue record line cannot hold: the name stands in quotation
// marks ('3,"T40+STEEL"'), and the service cuts a line at "//" as a comment.
std::string CatalogueRefusal(const std::string& name) {
  if (const std::size_t quote = name.find('"'); quote != std::string::npos) {
    return fmt::format(
        "the name holds a quotation mark at byte {}; the catalogue keeps a name between quotation marks, "
        "so a type name holds none",
        quote + 1);
  }
  if (const std::size_t slashes = name.find("//"); slashes != std::string::npos) {
    return fmt::format(
        "the name holds '//' at bytes {} and {}; the catalogue reads '//' as the start of a comment, so a "
        "type name holds none",
        slashes + 1, slashes + 2);
  }
  return "";
}

// Why the service does not split the name, told with the '+' separator;
// the full-width plus of a double-byte language is not looked for here.
std::string MalformedRefusal(const std::string& name) {
  const std::string start = fmt::format("'{}' is malformed: ", name);
  if (name.front() == '+') return start + "it starts with the separator '+'";
  if (name.back() == '+') return start + "it ends with the separator '+'";
  if (const std::size_t twice = name.find("++"); twice != std::string::npos)
    return start +
           fmt::format("an empty part between the separators at bytes {} and {}", twice + 1, twice + 2);
  std::size_t parts = 1;
  for (char c : name) parts += c == '+' ? 1 : 0;
  if (parts > TD_NAME_PART_MAX)
    return start + fmt::format("it has {} parts; a type name has at most {}", parts, TD_NAME_PART_MAX);
  return start + "an empty part, a separator at either end, or more than 3 parts";
}

}  // namespace

std::string RefusalOfName(const Session& session, const std::string& name, int self) {
  if (name.empty()) return "a type needs a name";
  if (name.size() > TD_TYPE_NAME_MAX) return LengthRefusal(name);
  if (std::string refusal = ControlRefusal(name); !refusal.empty()) return refusal;
  if (std::string refusal = CatalogueRefusal(name); !refusal.empty()) return refusal;
  const std::vector<std::string> parts = PartsOf(name);
  if (parts.empty()) return MalformedRefusal(name);
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

std::string WarningOfName(const Session& session, const std::string& name, int self) {
  for (const TypeInfo& other : session.Types()) {
    if (other.number != self && other.name == name) {
      return fmt::format(
          "type {:04d} is named '{}' too; the operator cannot tell them apart in the type list", other.number,
          name);
    }
  }
  return "";
}

}  // namespace tool
