#include "render/documents.h"
#include "render/conflict_document.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/display_width.h"
#include "render/item_about.h"

namespace tool {
namespace {

std::string Letter(char kind) { return std::string(1, kind); }

// A whole number as an integer while a double holds it exactly.
Document Whole(double value) {
  const double whole = std::trunc(value);
  if (std::fabs(whole) <= 9007199254740992.0) return static_cast<long long>(whole);
  return whole;
}

Document Number(double value, char dataType) {
  return IsRealItem(dataType) || !IsInUse(dataType) ? Document(value) : Whole(value);
}

Document StoredJson(const ReviewedChange& change) {
  if (change.kind == 'V') return change.stored;
  return Number(std::strtod(change.stored.c_str(), nullptr), change.dataType);
}

Document Pulls(const std::vector<SharedPull>& pulls) {
  Document list = Document::array();
  for (const SharedPull& pull : pulls) {
    list.push_back({{"config", pull.config},
                    {"part", pull.part},
                    {"partText", pull.partText},
                    {"fromType", pull.fromType},
                    {"fromName", pull.fromName}});
  }
  return list;
}

Document Changes(const std::vector<ReviewedChange>& changes) {
  Document list = Document::array();
  for (const ReviewedChange& change : changes) {
    list.push_back({{"config", change.config},
                    {"kind", Letter(change.kind)},
                    {"item", change.item},
                    {"value", StoredJson(change)},
                    {"given", change.given},
                    {"rounded", change.rounded}});
  }
  return list;
}

void AddSaved(const SavedFiles& saved, Document* document) {
  (*document)["saved"] = saved.own;
  Document shared = Document::array();
  for (const SharedFile& file : saved.shared)
    shared.push_back({{"type", file.type}, {"name", file.name}, {"file", file.file}});
  (*document)["shared"] = shared;
}

}  // namespace

Document NewDocument(const std::string& command) {
  return Document{{"schemaVersion", kSchemaVersion}, {"command", command}};
}

Document ValueJson(const ItemValue& item, char kind) {
  if (kind == 'V') return item.text;
  return Number(item.value, item.dataType);
}

Document DefaultJson(const ItemValue& item, char kind) {
  if (kind == 'V' || !item.described) return nullptr;
  return Number(IsInUse(item.dataType) ? item.defaultValue : 0.0, item.dataType);
}

Document ToDocument(const InitModel& model) {
  Document document = NewDocument("init");
  document["typeFolder"] = model.typeFolder;
  document["configs"] = model.configCount;
  document["written"] = model.written;
  return document;
}

Document ToDocument(const ListModel& model) {
  Document document = NewDocument("list");
  document["order"] = NameOf(model.order);
  Document types = Document::array();
  for (const TypeInfo& type : model.types) {
    types.push_back(
        {{"number", type.number}, {"name", type.name}, {"parts", type.parts}, {"current", type.current}});
  }
  document["types"] = types;
  return document;
}

Document ToDocument(const AddModel& model) {
  Document document = NewDocument("add");
  document["type"] = model.number;
  document["name"] = model.name;
  document["from"] = model.from;
  document["pulled"] = Pulls(model.pulls);
  document["warnings"] = model.warnings;
  return document;
}

Document ToDocument(const RenameModel& model) {
  Document document = NewDocument("rename");
  document["type"] = model.number;
  document["oldName"] = model.oldName;
  document["name"] = model.name;
  document["pulled"] = Pulls(model.pulls);
  document["warnings"] = model.warnings;
  return document;
}

Document ToDocument(const UseModel& model) {
  Document document = NewDocument("use");
  document["type"] = model.number;
  document["name"] = model.name;
  document["download"] = model.download;
  Document codes = Document::array();
  for (const TypeCodeSent& code : model.report.typeCodes)
    codes.push_back({{"board", code.board}, {"configIndex", code.configIndex}, {"type", code.typeNo}});
  document["typeCodes"] = codes;
  Document steps = Document::array();
  for (const StepReport& step : model.report.steps)
    steps.push_back(
        {{"config", step.prefix}, {"configIndex", step.configIndex}, {"itemsSent", step.itemsSent}});
  document["steps"] = steps;
  document["downloaded"] = model.report.downloaded;
  return document;
}

Document ToDocument(const ShowModel& model) {
  Document document = NewDocument("show");
  document["type"] = model.number;
  document["name"] = model.name;
  Document items = Document::array();
  for (const ShownItem& shown : model.items) {
    const ItemValue& item = shown.item;
    Document entry = {{"config", shown.config},
                      {"kind", Letter(shown.kind)},
                      {"item", item.number},
                      {"dataType", item.dataType ? Letter(item.dataType) : ""},
                      {"inUse", IsInUse(item.dataType)},
                      {"value", ValueJson(item, shown.kind)},
                      {"default", DefaultJson(item, shown.kind)}};
    AddItemAbout(shown.config, shown.kind, item.number, item.dataType, &entry);
    items.push_back(std::move(entry));
  }
  document["items"] = items;
  AddRevisions(model.revisions, &document);
  if (!model.broken.empty()) document["broken"] = BrokenDocument(model.broken);
  return document;
}

Document ToDocument(const SetModel& model) {
  Document document = NewDocument("set");
  document["type"] = model.number;
  document["name"] = model.name;
  document["changes"] = Changes(model.changes);
  AddSaved(model.saved, &document);
  return document;
}

Document ToDocument(const DiffModel& model) {
  Document document = NewDocument("diff");
  document["first"] = model.first;
  document["second"] = model.second;
  document["equal"] = model.differences.empty();
  Document differences = Document::array();
  for (const Difference& d : model.differences) {
    Document entry = {{"config", d.config},
                      {"kind", Letter(d.kind)},
                      {"item", d.item},
                      {"first", ValueJson(d.first, d.kind)},
                      {"second", ValueJson(d.second, d.kind)}};
    AddItemAbout(d.config, d.kind, d.item, d.first.dataType, &entry);
    differences.push_back(std::move(entry));
  }
  document["differences"] = differences;
  return document;
}

Document ToDocument(const CheckModel& model) {
  Document document = NewDocument("check");
  document["clean"] = model.problems.empty();
  Document problems = Document::array();
  for (const CheckProblem& p : model.problems)
    problems.push_back({{"file", p.file}, {"line", p.line}, {"problem", p.what}});
  document["problems"] = problems;
  return document;
}

Document ToDocument(const ImportModel& model) {
  Document document = NewDocument("import");
  document["type"] = model.number;
  document["name"] = model.name;
  document["file"] = model.file;
  document["values"] = model.values;
  document["changed"] = Changes(model.changed);
  AddSaved(model.saved, &document);
  return document;
}

Document ToDocument(const RecoverModel& model) {
  Document document = NewDocument("recover");
  document["catalogue"] = model.catalogue;
  Document types = Document::array();
  for (const RecoveredType& type : model.types)
    types.push_back({{"number", type.number}, {"name", type.name}});
  document["types"] = types;
  return document;
}

Document ToDocument(const CompareModel& model) {
  Document types = Document::array();
  for (const ComparedType& type : model.types) {
    types.push_back({{"number", type.number}, {"name", type.name}});
    if (!type.broken.empty()) types.back()["broken"] = BrokenDocument(type.broken);
  }
  Document rows = Document::array();
  for (const CompareRow& row : model.rows) {
    Document values = Document::array();
    for (std::size_t t = 0; t < row.values.size(); ++t) {
      // A type whose file of this config cannot be read has no value here.
      const auto left = [&](const BrokenConfig& config) { return config.config == row.config; };
      const bool gone = t < model.types.size() &&
                        std::any_of(model.types[t].broken.begin(), model.types[t].broken.end(), left);
      values.push_back(gone ? Document(nullptr) : ValueJson(row.values[t], row.kind));
    }
    Document marks = Document::array();
    for (const bool mark : row.differs) marks.push_back(mark);
    Document entry = {{"config", row.config}, {"kind", std::string(1, row.kind)},
                      {"item", row.item},     {"dataType", row.dataType ? std::string(1, row.dataType) : ""},
                      {"values", values},     {"differs", marks}};
    AddItemAbout(row.config, row.kind, row.item, row.dataType, &entry);
    rows.push_back(std::move(entry));
  }
  Document document = NewDocument("compare");
  document["types"] = types;
  document["config"] = model.config;
  document["onlyDifferences"] = model.onlyDifferences;
  document["differing"] = model.differing;
  document["rows"] = rows;
  return document;
}

Document ToDocument(const SharingModel& model) {
  Document configs = Document::array();
  for (const SharingConfig& config : model.configs) {
    Document groups = Document::array();
    for (const SharingGroup& group : config.groups) {
      Document types = Document::array();
      for (const SharingMember& type : group.types)
        types.push_back({{"number", type.number}, {"name", type.name}});
      groups.push_back({{"part", group.part}, {"types", types}});
    }
    configs.push_back({{"config", config.config}, {"part", config.part}, {"groups", groups}});
  }
  Document document = NewDocument("sharing");
  document["partCount"] = model.partCount;
  document["typeCount"] = model.typeCount;
  document["configs"] = configs;
  return document;
}

std::string ExportRefusal(const TypeValues& values) {
  if (!IsUtf8(values.name))
    return "the type's name is not UTF-8; export it with --format csv, which keeps bytes";
  for (const ConfigValues& config : values.configs) {
    for (const ItemValue& item : config.kinds[4].items) {
      if (!IsUtf8(item.text)) {
        return fmt::format(
            "{} V:{} holds a text that is not UTF-8; export it with --format csv, which keeps bytes",
            config.prefix, item.number);
      }
    }
  }
  return "";
}

Document ExportDocument(const TypeValues& values) {
  Document document = NewDocument("export");
  document["type"] = values.typeNo;
  document["name"] = values.name;
  Document configs = Document::array();
  for (const ConfigValues& config : values.configs) {
    Document entry = {{"config", config.prefix}};
    for (const KindValues& kind : config.kinds) {
      if (!kind.present) continue;
      Document items = Document::object();
      for (const ItemValue& item : kind.items) {
        if (!item.described || !IsInUse(item.dataType)) continue;
        items[std::to_string(item.number)] = ValueJson(item, kind.kind);
      }
      entry[Letter(kind.kind)] = items;
    }
    configs.push_back(entry);
  }
  document["configs"] = configs;
  AddExportAbout(values, &document);
  return document;
}

Document FailedSaveDocument(Document document, const FailedSave& failed) {
  document["error"] = failed.error;
  document["putBack"] = failed.putBack;
  return document;
}

Document ToDocument(const ReleaseModel& model) {
  Document document = NewDocument("release");
  document["name"] = model.name;
  document["tag"] = model.tag;
  document["revision"] = model.revision;
  document["user"] = model.user;
  document["station"] = model.station;
  document["reason"] = model.reason.empty() ? Document(nullptr) : Document(model.reason);
  return document;
}

Document ToDocument(const VerifyModel& model) {
  Document document = NewDocument("history verify");
  document["ok"] = model.ok();
  document["entries"] = model.entries;
  document["chainOk"] = model.chainOk;
  document["problems"] = model.problems;
  Document differences = Document::array();
  for (const VerifiedFile& file : model.differences)
    differences.push_back({{"path", file.path}, {"kind", file.kind}});
  document["differences"] = differences;
  return document;
}

Document ToDocument(const RestoreModel& model) {
  Document document = NewDocument("restore");
  document["type"] = model.number;
  document["name"] = model.name;
  document["at"] = model.at;
  document["revision"] = model.revision;
  document["config"] = model.config.empty() ? Document(nullptr) : Document(model.config);
  document["item"] = model.item.empty() ? Document(nullptr) : Document(model.item);
  document["changed"] = Changes(model.changed);
  AddSaved(model.saved, &document);
  return document;
}

Document ToDocument(const WatchModel& model) {
  Document document = NewDocument("watch");
  Document entries = Document::array();
  for (const WatchedEntry& entry : model.entries) {
    entries.push_back({{"revision", entry.revision},
                       {"time", entry.time},
                       {"outside", entry.outside},
                       {"interrupted", entry.interrupted},
                       {"first", entry.first}});
  }
  document["entries"] = entries;
  return document;
}

}  // namespace tool
