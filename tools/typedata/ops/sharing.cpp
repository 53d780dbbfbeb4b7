#include "ops/sharing.h"

#include <algorithm>
#include <map>

#include "core/natural_order.h"
#include "typedata.h"

namespace tool::ops {

SharingModel Sharing(const Session& session, const SharingRequest& /*request*/) {
  SharingModel model;
  model.partCount = GetMMISystemStruc()->namePartCount;
  std::vector<TypeInfo> types = session.Types();
  std::sort(types.begin(), types.end(),
            [](const TypeInfo& a, const TypeInfo& b) { return a.number < b.number; });
  model.typeCount = types.size();
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    const bool shared = p >= 1 && p <= model.partCount;
    // Parts as people read them: T2 before T10.
    std::map<std::string, std::vector<SharingMember>, NaturalLess> groups;
    for (const TypeInfo& type : shared ? types : std::vector<TypeInfo>{}) {
      if (static_cast<int>(type.parts.size()) < p) continue;
      groups[type.parts[static_cast<std::size_t>(p - 1)]].push_back({type.number, type.name});
    }
    SharingConfig entry{config->name, shared ? p : 0, {}};
    for (auto& [part, members] : groups) entry.groups.push_back({part, std::move(members)});
    model.configs.push_back(std::move(entry));
  }
  return model;
}

}  // namespace tool::ops
