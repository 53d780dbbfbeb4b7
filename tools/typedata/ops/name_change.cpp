#include "ops/name_change.h"

#include <filesystem>

#include "typedata.h"

namespace tool::ops {

std::vector<SharedPull> PullsOf(const Session& session, const std::string& name, int target,
                                const std::function<bool(const std::string&)>& taken) {
  std::vector<SharedPull> pulls;
  const std::vector<std::string> parts = PartsOf(name);
  const std::vector<TypeInfo> types = session.Types();
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    if (p < 1 || p > static_cast<int>(parts.size()) || p > GetMMISystemStruc()->namePartCount) continue;
    if (!taken(std::string(config->name))) continue;
    for (const TypeInfo& type : types) {
      if (type.number == target || static_cast<int>(type.parts.size()) < p ||
          type.parts[p - 1] != parts[p - 1])
        continue;
      pulls.push_back({config->name, p, parts[p - 1], type.number, type.name});
      break;
    }
  }
  return pulls;
}

std::string CatalogueName(const Session& session) {
  return std::filesystem::path(session.CataloguePath()).filename().string();
}

std::string PutBack(Journal& journal, const std::string& done) {
  std::vector<std::string> putBack;
  std::string error;
  return journal.PutBack(&putBack, &error) ? done : error;
}

}  // namespace tool::ops
