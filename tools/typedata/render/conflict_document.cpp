#include "render/conflict_document.h"

#include <fmt/core.h>

#include <string>

#include "core/display_width.h"

namespace tool {

std::vector<std::string> ConflictLines(const RevisionConflict& conflict) {
  std::vector<std::string> lines;
  std::string files;
  for (const ChangedFile& file : conflict.files) files += (files.empty() ? "" : ", ") + file.file;
  lines.push_back(fmt::format("{} changed since the values were read; nothing was saved", files));
  for (const ChangedValue& value : conflict.values) {
    const std::string now = Printable(ShownValue(value.now, value.kind));
    if (value.seen)
      lines.push_back(fmt::format("  {} {}:{}: {} -> {}", value.config, value.kind, value.item,
                                  Printable(ShownValue(*value.seen, value.kind)), now));
    else
      lines.push_back(fmt::format("  {} {}:{}: now {}", value.config, value.kind, value.item, now));
  }
  return lines;
}

Document BrokenDocument(const std::vector<BrokenConfig>& broken) {
  Document list = Document::array();
  for (const BrokenConfig& config : broken)
    list.push_back({{"config", config.config}, {"file", config.file}, {"problem", config.problem}});
  return list;
}

void AddRevisions(const std::vector<FileRevision>& files, Document* document) {
  Document revisions = Document::array();
  for (const FileRevision& file : files) {
    revisions.push_back({{"config", file.config},
                         {"file", file.file},
                         {"revision", file.revision.empty() ? Document(nullptr) : Document(file.revision)}});
  }
  (*document)["revision"] = CombinedRevision(files);
  (*document)["revisions"] = revisions;
}

Document ConflictDocument(int type, const std::string& name, const std::string& error,
                          const RevisionConflict& conflict) {
  Document document = NewDocument("set");
  document["type"] = type;
  document["name"] = name;
  document["error"] = error;
  Document changed = Document::array();
  for (const ChangedValue& value : conflict.values) {
    const char kind[2] = {value.kind, '\0'};
    changed.push_back({{"config", value.config},
                       {"kind", kind},
                       {"item", value.item},
                       {"seen", value.seen ? ValueJson(*value.seen, value.kind) : Document(nullptr)},
                       {"now", ValueJson(value.now, value.kind)}});
  }
  document["changed"] = changed;
  Document files = Document::array();
  for (const ChangedFile& file : conflict.files) {
    files.push_back({{"config", file.config},
                     {"file", file.file},
                     {"seen", file.seen.empty() ? Document(nullptr) : Document(file.seen)},
                     {"now", file.now.empty() ? Document(nullptr) : Document(file.now)}});
  }
  document["files"] = files;
  AddRevisions(conflict.revisions, &document);
  return document;
}

}  // namespace tool
