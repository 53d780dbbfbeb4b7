#include "render/log_document.h"

#include <fmt/core.h>

#include "core/display_width.h"

namespace tool {
namespace {

Document Stored(const std::optional<std::string>& value) {
  return value ? Document(*value) : Document(nullptr);
}

std::string Shown(const std::optional<std::string>& value) { return value ? Printable(*value) : "(none)"; }

}  // namespace

Document ToDocument(const LogModel& model) {
  Document document = NewDocument("log");
  Document entries = Document::array();
  for (const LogEntry& entry : model.entries) {
    Document changes = Document::array();
    for (const LogChange& change : entry.changes) {
      changes.push_back({{"type", change.type},
                         {"config", change.config},
                         {"kind", std::string(1, change.kind)},
                         {"item", change.item},
                         {"old", Stored(change.oldValue)},
                         {"new", Stored(change.newValue)}});
    }
    entries.push_back({{"revision", entry.revision},
                       {"time", entry.time},
                       {"user", entry.user},
                       {"station", entry.station},
                       {"command", entry.command},
                       {"reason", entry.reason},
                       {"checkedBy", entry.checkedBy},
                       {"outside", entry.outside},
                       {"interrupted", entry.interrupted},
                       {"changes", changes}});
  }
  document["entries"] = entries;
  return document;
}

void PrintText(const LogModel& model, Output& out) {
  // A heading that says what the report covers, for whoever reads it on paper.
  std::string covers = model.type >= 0 ? fmt::format("Type {:04d}", model.type) : std::string("Every type");
  if (!model.since.empty())
    covers +=
        fmt::format(": changes since {}{}", Printable(model.since),
                    model.sinceRevision.empty() ? "" : " (entry " + model.sinceRevision.substr(0, 12) + ")");
  if (!model.until.empty())
    covers += fmt::format("{} up to {} (entry {})", model.since.empty() ? ": changes" : "",
                          Printable(model.until), model.untilRevision.substr(0, 12));
  out.Line(covers);
  out.Line(fmt::format("{} listed, newest first.", model.entries.size() == 1
                                                       ? std::string("1 entry")
                                                       : fmt::format("{} entries", model.entries.size())));
  for (const LogEntry& entry : model.entries) {
    out.Line();
    out.Line(fmt::format("entry {}  {}  {}{}", entry.revision.substr(0, 12), entry.time,
                         Printable(entry.user),
                         entry.station.empty() ? "" : " at " + Printable(entry.station)));
    out.Line("  " + Printable(entry.command));
    if (entry.outside) out.Line("  made outside the tool");
    if (entry.interrupted) out.Line("  left by an interrupted command");
    if (!entry.reason.empty()) out.Line("  reason: " + Printable(entry.reason));
    if (!entry.checkedBy.empty()) out.Line("  checked by: " + Printable(entry.checkedBy));
    std::vector<std::vector<std::string>> rows;
    for (const LogChange& change : entry.changes) {
      rows.push_back({fmt::format("  {:04d}", change.type), Printable(change.config),
                      fmt::format("{}:{}", change.kind, change.item), Shown(change.oldValue),
                      Shown(change.newValue)});
    }
    out.Table({"  TYPE", "CONFIG", "ITEM", "OLD", "NEW"}, rows);
  }
}

}  // namespace tool
