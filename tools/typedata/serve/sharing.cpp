// The sharing map: for each config that follows a name part, the types
// grouped by their part at that position. Saving a config of a type
// pushes it to the other types of its group.
#include <algorithm>
#include <map>

#include "replies.h"
#include "typedata.h"

namespace tool::serve {

Reply SharingDocument(const GlobalOptions& options) {
  Reply reply;
  Session session;
  std::string error;
  if (!session.Open(options, /*makeTypeFolder=*/false, &error)) {
    reply.status = kReplyError;
    reply.http = 503;
    reply.messages.push_back(error);
    return reply;
  }
  const int partCount = GetMMISystemStruc()->namePartCount;
  std::vector<TypeInfo> types = session.Types();
  std::sort(types.begin(), types.end(),
            [](const TypeInfo& a, const TypeInfo& b) { return a.number < b.number; });
  Document configs = Document::array();
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    const bool shared = p >= 1 && p <= partCount;
    std::map<std::string, Document> groups;
    for (const TypeInfo& type : shared ? types : std::vector<TypeInfo>{}) {
      if (static_cast<int>(type.parts.size()) < p) continue;
      Document& group = groups[type.parts[static_cast<std::size_t>(p - 1)]];
      if (group.is_null()) group = Document::array();
      group.push_back({{"number", type.number}, {"name", type.name}});
    }
    Document list = Document::array();
    for (auto& [part, members] : groups) list.push_back({{"part", part}, {"types", std::move(members)}});
    configs.push_back({{"config", config->name}, {"part", shared ? p : 0}, {"groups", list}});
  }
  reply.document = NewDocument("sharing");
  reply.document["partCount"] = partCount;
  reply.document["typeCount"] = types.size();
  reply.document["configs"] = configs;
  return reply;
}

}  // namespace tool::serve
