// The inference as data: the same statements and evidence as the text.
#include "render/infer_json.h"

#include <cmath>

#include "render/documents.h"

namespace tool::infer {
namespace {

constexpr char kKinds[] = "DSALV";

Document Guess(const Document& value, const Evidence& why) {
  return Document{{"value", value}, {"evidence", why.text}, {"assumed", why.assumed}};
}

std::string Use(const mmisim::ItemDescription& item) {
  if (!item.described) return "none";
  if (item.dataType == ' ') return "blank";
  return "in use";
}

Document Items(const mmisim::KindItems& kind, const KindEvidence& evidence, int k) {
  Document runs = Document::array();
  for (const ItemRun& run : evidence.runs) {
    const mmisim::ItemDescription& item = kind.items[run.first - 1];
    Document entry{{"first", run.first}, {"last", run.last}, {"use", Use(item)}};
    if (item.described && item.dataType != ' ') {
      entry["dataType"] = std::string(1, item.dataType);
      const bool real = item.dataType == 'P' || item.dataType == 'F';
      if (k != 4) {
        entry["default"] = real ? Document(item.defaultValue) : Document(std::llround(item.defaultValue));
      }
      if (real) entry["scale"] = item.scale;
    }
    entry["evidence"] = run.why.text;
    runs.push_back(std::move(entry));
  }
  return Document{{"count", kind.count}, {"evidence", evidence.count.text}, {"items", std::move(runs)}};
}

}  // namespace

Document InferDocument(const Inference& inference, const std::string& root, const std::string& description,
                       const std::string& written) {
  const mmisim::Machine& machine = inference.machine;
  Document document = NewDocument("infer");
  document["root"] = root;
  document["types"] = inference.types;
  document["files"] = inference.files;
  document["bytes"] = inference.bytes;
  Document boards = Document::array();
  for (const mmisim::Board& board : machine.boards)
    boards.push_back(Document{{"code", board.code}, {"configIndex", board.configIndex}});
  Document configs = Document::array();
  for (std::size_t c = 0; c < machine.configs.size(); ++c) {
    const mmisim::MachineConfig& config = machine.configs[c];
    const ConfigEvidence& evidence = inference.configs[c];
    Document kinds = Document::object();
    for (int k = 0; k < 5; ++k) {
      if (config.kinds[k].declared)
        kinds[std::string(1, kKinds[k])] = Items(config.kinds[k], evidence.kinds[k], k);
    }
    configs.push_back(Document{{"number", Guess(config.configNo, evidence.number)},
                               {"prefix", config.prefix},
                               {"part", Guess(config.partNo, evidence.part)},
                               {"kinds", std::move(kinds)}});
  }
  document["machine"] =
      Document{{"locale", Guess(machine.localeText, inference.locale)},
               {"offline", Guess(machine.offlineEnabled, inference.offline)},
               {"nameParts", Guess(machine.namePartCount, inference.nameParts)},
               {"listOrder", Guess(machine.typeListOrder ? "name" : "catalogue", inference.listOrder)},
               {"hpcOnline", Guess(machine.hpcOnline, inference.hpc)},
               {"boards", Guess(boards, inference.boards)},
               {"configs", std::move(configs)}};
  Document conflicts = Document::array();
  for (const Conflict& conflict : inference.conflicts)
    conflicts.push_back(
        Document{{"file", conflict.file}, {"line", conflict.line}, {"problem", conflict.problem}});
  document["conflicts"] = std::move(conflicts);
  document["notes"] = inference.notes;
  document["description"] = description;
  document["written"] = written.empty() ? Document(nullptr) : Document(written);
  return document;
}

}  // namespace tool::infer
