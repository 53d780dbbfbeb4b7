#include "core/push_check.h"

#include <fmt/core.h>

#include <filesystem>

#include "core/tree.h"
#include "typedata.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

// What stands in the way of the file at path, as far as the files show.
std::string ReasonAt(const std::string& path) {
  std::error_code ignored;
  const fs::path file(path);
  if (fs::is_directory(file, ignored)) return "a folder stands where the file belongs";
  if (!fs::is_directory(file.parent_path(), ignored)) return "its type folder is missing";
  const fs::perms folder = fs::status(file.parent_path(), ignored).permissions();
  if ((folder & fs::perms::owner_write) == fs::perms::none) return "its folder is write-protected";
  if (!fs::exists(file, ignored)) return "the file is missing";
  const fs::perms own = fs::status(file, ignored).permissions();
  if ((own & fs::perms::owner_write) == fs::perms::none) return "the file is write-protected";
  return "it does not hold the saved file";
}

}  // namespace

std::vector<std::string> FilesASaveWrites(const Session& session, int typeNo) {
  std::vector<std::string> files;
  const std::vector<std::string> parts = PartsOf(session.TypeName(typeNo));
  const int partCount = GetMMISystemStruc()->namePartCount;
  std::vector<TypeInfo> types;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    files.push_back(fmt::format("{:04d}/{}{:04d}.DAT", typeNo, config->name, typeNo));
    const int p = config->partNo;
    if (p < 1 || p > partCount || p > static_cast<int>(parts.size())) continue;
    if (types.empty()) types = session.Types();
    for (const TypeInfo& other : types) {
      if (other.number != typeNo && static_cast<int>(other.parts.size()) >= p &&
          other.parts[p - 1] == parts[p - 1])
        files.push_back(fmt::format("{:04d}/{}{:04d}.DAT", other.number, config->name, other.number));
    }
  }
  return files;
}

std::vector<MissedPush> MissedPushes(const Session& session, int typeNo,
                                     const std::vector<std::string>& written) {
  std::vector<MissedPush> missed;
  const std::vector<std::string> parts =
      session.TypeExists(typeNo) ? PartsOf(session.TypeName(typeNo)) : std::vector<std::string>();
  const int partCount = GetMMISystemStruc()->namePartCount;
  const std::string own = fmt::format("{:04d}/", typeNo);
  std::vector<TypeInfo> types;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    if (p < 1 || p > partCount || p > static_cast<int>(parts.size())) continue;
    const std::string file = fmt::format("{}{}{:04d}.DAT", own, config->name, typeNo);
    bool changed = false;
    for (const std::string& path : written) changed = changed || path == file;
    if (!changed) continue;
    if (types.empty()) types = session.Types();
    const std::string saved = ReadBytes(session.DataFile(typeNo, config->name));
    for (const TypeInfo& other : types) {
      if (other.number == typeNo || static_cast<int>(other.parts.size()) < p ||
          other.parts[p - 1] != parts[p - 1])
        continue;
      const std::string path = session.DataFile(other.number, config->name);
      bool readable = false;
      if (ReadBytes(path, &readable) == saved && readable) continue;
      missed.push_back({other.number, other.name,
                        fmt::format("{:04d}/{}{:04d}.DAT", other.number, config->name, other.number),
                        ReasonAt(path)});
    }
  }
  return missed;
}

}  // namespace tool
