#include "core/type_files.h"

#include <filesystem>
#include <set>

#include "core/folded.h"
#include "core/open_file.h"
#include "typedata.h"

namespace fs = std::filesystem;

namespace tool {
bool CheckTypeDataFiles(const std::string& folder, int typeNo, std::string* error) {
  std::set<std::string> names;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    char name[TD_DAT_NAME_SIZE];
    if (MakeDatFileName(name, typeNo, config->configNo - 1) == 0) names.insert(Folded(name));
  }
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (!names.count(Folded(entry.path().filename().string()))) continue;
    FileError failure;
    if (!CheckReadable(entry.path().generic_string(), kTypeDataFile, &failure) && !failure.missing) {
      *error = failure.Message();
      return false;
    }
  }
  return true;
}

}  // namespace tool
