// typedata add, typedata rename.
#include <fmt/core.h>

#include <filesystem>

#include "commands.h"
#include "names.h"
#include "tree.h"
#include "typedata.h"

namespace tool {
namespace {

// Says which shared configs the target took from other types: each of its
// files that differs from the reference type's belongs to a config bound to
// a name part, and came from the first other type with that part.
void ReportPulls(const Session& session, const std::string& name, int reference, int target, Output& out) {
  const std::vector<std::string> parts = PartsOf(name);
  const std::vector<TypeInfo> types = session.Types();
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    if (p < 1 || p > static_cast<int>(parts.size()) || p > GetMMISystemStruc()->namePartCount) continue;
    const std::string file = session.DataFile(target, config->name);
    if (ReadBytes(file) == ReadBytes(session.DataFile(reference, config->name))) continue;
    for (const TypeInfo& type : types) {
      if (type.number == target || static_cast<int>(type.parts.size()) < p ||
          type.parts[p - 1] != parts[p - 1])
        continue;
      out.Note(fmt::format("  shared config {} (part {} '{}') taken from type {:04d} '{}'", config->name, p,
                           parts[p - 1], type.number, type.name));
      break;
    }
  }
}

}  // namespace

int RunAdd(const GlobalOptions& options, const std::string& name, std::optional<int> number,
           std::optional<int> from, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  if (const std::string refusal = RefusalOfName(session, name, -1); !refusal.empty()) {
    out.Error(refusal);
    return kRefused;
  }
  int typeNo = 0;
  if (number) {
    if (*number < 0 || *number > TD_TYPE_NO_MAX) {
      out.Error(fmt::format("type number {} is out of range (0 to {})", *number, TD_TYPE_NO_MAX));
      return kRefused;
    }
    if (session.TypeExists(*number)) {
      out.Error(fmt::format("type number {} is taken by '{}'", *number, session.TypeName(*number)));
      return kRefused;
    }
    typeNo = *number;
  } else {
    typeNo = SearchTypeNo();
    if (typeNo < 0) {
      out.Error("all 10000 type numbers are taken");
      return kRefused;
    }
  }
  const int source = from ? *from : (session.current() >= 0 ? session.current() : 0);
  if (!session.TypeExists(source)) {
    out.Error(fmt::format("no type {} to start from", source));
    return kRefused;
  }

  // The files first, so that the catalogue never lists a type without them;
  // then the shared configs of the name's parts, before the new type is in
  // the list (where a search for its own parts would find itself).
  const int configs = GetMMITypeInfo()->configCount;
  for (int p = 0; p < configs; ++p) {
    char sourceName[TD_DAT_NAME_SIZE];
    char targetName[TD_DAT_NAME_SIZE];
    if (MakeDatFileName(sourceName, source, p) != 0 || MakeDatFileName(targetName, typeNo, p) != 0) continue;
    if (FileCopy(sourceName, targetName, 1) != 0) {
      out.Error(fmt::format("type {}: {} could not be copied to type {}", source, sourceName, typeNo));
      std::error_code ignored;
      std::filesystem::remove_all(fmt::format("{}/{:04d}", session.TypeFolder(), typeNo), ignored);
      return kRefused;
    }
  }
  CopyTypeDataOfAlreadyExistPartName(source, typeNo, name.c_str());
  if (UpdateTypeFile(name.c_str(), typeNo, 1) != 0) {
    out.Error("the catalogue could not be updated; nothing was added");
    std::error_code ignored;
    std::filesystem::remove_all(fmt::format("{}/{:04d}", session.TypeFolder(), typeNo), ignored);
    return kRefused;
  }
  out.Note(fmt::format("Added type {:04d} '{}', its files copied from type {}.", typeNo, name, source));
  ReportPulls(session, name, source, typeNo, out);
  out.Line(std::to_string(typeNo));
  return kDone;
}

int RunRename(const GlobalOptions& options, int number, const std::string& name, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  if (!session.TypeExists(number)) {
    out.Error(fmt::format("no type {}", number));
    return kRefused;
  }
  if (const std::string refusal = RefusalOfName(session, name, number); !refusal.empty()) {
    out.Error(refusal);
    return kRefused;
  }
  const std::string oldName = session.TypeName(number);
  const TreeFiles before = ReadTree(session.TypeFolder());
  // Pulled while the type still carries its old name, as the reference.
  CopyTypeDataOfAlreadyExistPartName(number, number, name.c_str());
  if (UpdateTypeFile(name.c_str(), number, 0) != 0) {
    // The type keeps its old name, so it keeps its old files too.
    const std::string own = fmt::format("{:04d}/", number);
    for (const std::string& file : ChangedFiles(before, ReadTree(session.TypeFolder()))) {
      if (file.rfind(own, 0) != 0) continue;
      const auto old = before.find(file);
      if (old != before.end()) {
        WriteBytes(session.TypeFolder() + "/" + file, old->second);
      } else {
        std::error_code ignored;
        std::filesystem::remove(session.TypeFolder() + "/" + file, ignored);
      }
    }
    out.Error("the catalogue could not be updated; the type keeps its name and its files");
    return kRefused;
  }
  if (session.current() == number) session.SetCurrent(number);
  out.Note(fmt::format("Renamed type {:04d} '{}' to '{}'.", number, oldName, name));
  // The report compares against the old name's parts.
  const std::vector<std::string> changed = ChangedFiles(before, ReadTree(session.TypeFolder()));
  for (const std::string& file : changed) out.Note("  took shared file " + file);
  return kDone;
}

}  // namespace tool
