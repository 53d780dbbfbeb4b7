// The text the command line prints for each command's model: data on
// stdout, what was done on stderr.
#include <fmt/core.h>

#include "core/display_width.h"
#include "render/documents.h"
#include "render/item_about.h"

namespace tool {
namespace {

void PrintPulls(const std::vector<SharedPull>& pulls, Output& out) {
  for (const SharedPull& pull : pulls) {
    out.Note(fmt::format("  shared config {} (part {} '{}') taken from type {:04d} '{}'", pull.config,
                         pull.part, pull.partText, pull.fromType, pull.fromName));
  }
}

void PrintSaved(const SavedFiles& saved, Output& out) {
  for (const std::string& file : saved.own) out.Note("  saved " + file);
  if (saved.shared.empty()) out.Note("  no other type shares a changed config");
  for (const SharedFile& file : saved.shared)
    out.Note(fmt::format("  shared with type {:04d} '{}': {}", file.type, file.name, file.file));
}

std::string Plural(std::size_t count, const char* word) {
  return fmt::format("{} {}{}", count, word, count == 1 ? "" : "s");
}

}  // namespace

void PrintText(const InitModel& model, Output& out) {
  out.Note(fmt::format("New catalogue in {}: type 0 with the defaults of {} configs.", model.typeFolder,
                       model.configCount));
  for (const std::string& path : model.written) out.Note("  wrote " + path);
}

void PrintText(const ListModel& model, Output& out) {
  std::vector<std::vector<std::string>> rows;
  for (const TypeInfo& type : model.types) {
    std::string parts;
    for (std::size_t p = 0; p < type.parts.size(); ++p)
      parts += fmt::format("{}{}", p ? "  " : "", type.parts[p]);
    rows.push_back({fmt::format("{:04d}", type.number), Printable(type.name), Printable(parts),
                    type.current ? out.Styled("current", Style::kGood) : ""});
  }
  out.Table({"NUMBER", "NAME", "PARTS", ""}, rows);
}

void PrintAdded(const AddModel& model, Output& out) {
  out.Note(fmt::format("Added type {:04d} '{}', its files copied from type {}.", model.number, model.name,
                       model.from));
  PrintPulls(model.pulls, out);
}

void PrintText(const AddModel& model, Output& out) {
  PrintAdded(model, out);
  out.Line(std::to_string(model.number));  // for scripts
}

void PrintText(const RenameModel& model, Output& out) {
  out.Note(fmt::format("Renamed type {:04d} '{}' to '{}'.", model.number, model.oldName, model.name));
  PrintPulls(model.pulls, out);
}

void PrintText(const UseModel& model, Output& out) {
  out.Note(fmt::format("Type {:04d} '{}' is current.", model.number, model.name));
  for (const TypeCodeSent& code : model.report.typeCodes) {
    out.Note(fmt::format("  type code sent to board {} (config index {}): type {}", code.board,
                         code.configIndex, code.typeNo));
  }
  if (!model.download) return;
  std::vector<std::vector<std::string>> rows;
  for (const StepReport& step : model.report.steps)
    rows.push_back({step.prefix, std::to_string(step.configIndex), std::to_string(step.itemsSent)});
  out.Table({"CONFIG", "INDEX", "ITEMS SENT"}, rows);
}

void PrintText(const ShowModel& model, Output& out) {
  // Labels, units and limits take columns only where the machine gives some.
  std::vector<ItemAbout> abouts;
  bool about = false;
  for (const ShownItem& shown : model.items) {
    abouts.push_back(AboutItem(shown.config, shown.kind, shown.item.number));
    about = about || !abouts.back().empty();
  }
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < model.items.size(); ++i) {
    const ShownItem& shown = model.items[i];
    std::vector<std::string> row = {shown.config, KindShown(shown.kind), std::to_string(shown.item.number)};
    if (about) row.push_back(Printable(abouts[i].label));
    row.push_back(DataTypeName(shown.item.dataType));
    row.push_back(Printable(ShownValue(shown.item, shown.kind)));
    if (about) row.push_back(Printable(abouts[i].unit));
    row.push_back(Printable(ShownDefault(shown.item, shown.kind)));
    if (about) row.push_back(LimitsShown(abouts[i]));
    rows.push_back(std::move(row));
  }
  if (about) {
    out.Table({"CONFIG", "KIND", "ITEM", "LABEL", "DATA TYPE", "VALUE", "UNIT", "DEFAULT", "LIMITS"}, rows);
  } else {
    out.Table({"CONFIG", "KIND", "ITEM", "DATA TYPE", "VALUE", "DEFAULT"}, rows);
  }
  for (const std::string& line : KindsAndDataTypesLegend()) out.Note(line);
}

void PrintText(const SetModel& model, Output& out) {
  out.Note(fmt::format("Type {:04d} '{}': {} set.", model.number, model.name,
                       Plural(model.changes.size(), "value")));
  PrintSaved(model.saved, out);
}

void PrintText(const DiffModel& model, Output& out) {
  if (model.differences.empty()) {
    out.Note(fmt::format("Types {} and {} hold the same values.", model.first, model.second));
    return;
  }
  const bool about = AnyItemAbout();  // a label and unit beside each item
  std::vector<std::vector<std::string>> rows;
  for (const Difference& d : model.differences) {
    std::vector<std::string> row = {d.config, std::string(1, d.kind), std::to_string(d.item)};
    const ItemAbout shown = AboutItem(d.config, d.kind, d.item);
    if (about) row.push_back(Printable(shown.label));
    row.push_back(Printable(ShownValue(d.first, d.kind)));
    row.push_back(Printable(ShownValue(d.second, d.kind)));
    if (about) row.push_back(Printable(shown.unit));
    rows.push_back(std::move(row));
  }
  std::vector<std::string> header = {"CONFIG", "KIND", "ITEM"};
  if (about) header.emplace_back("LABEL");
  header.push_back(fmt::format("TYPE {:04d}", model.first));
  header.push_back(fmt::format("TYPE {:04d}", model.second));
  if (about) header.emplace_back("UNIT");
  out.Table(header, rows);
}

void PrintText(const CheckModel& model, Output& out) {
  for (const CheckProblem& p : model.problems)
    out.Line(Printable(fmt::format("{}:{}: {}", p.file, p.line, p.what)));
  out.Note(model.problems.empty() ? "No problems found."
                                  : Plural(model.problems.size(), "problem") + " found.");
}

void PrintText(const ImportModel& model, Output& out) {
  if (model.changed.empty()) {
    out.Note(fmt::format("Type {:04d} already holds every value of {}; nothing to save.", model.number,
                         model.file));
    return;
  }
  out.Note(fmt::format("Type {:04d}: {} changed.", model.number, Plural(model.changed.size(), "value")));
  PrintSaved(model.saved, out);
}

void PrintText(const RecoverModel& model, Output& out) {
  out.Note(
      fmt::format("Recovered a catalogue of {} in {}:", Plural(model.types.size(), "type"), model.catalogue));
  for (const RecoveredType& type : model.types)
    out.Note(fmt::format("  {:04d} '{}'", type.number, type.name));
  out.Note("Run 'typedata check' to see whether every type has all its files.");
}

void PrintText(const SharingModel& model, Output& out) {
  std::vector<std::vector<std::string>> rows;
  for (const SharingConfig& config : model.configs) {
    if (config.part == 0) {
      rows.push_back({config.config, "-", "(each type its own)", ""});
      continue;
    }
    for (const SharingGroup& group : config.groups) {
      std::string types;
      for (const SharingMember& type : group.types)
        types += fmt::format("{}{:04d} '{}'", types.empty() ? "" : ", ", type.number, type.name);
      rows.push_back({config.config, std::to_string(config.part), Printable(group.part), Printable(types)});
    }
  }
  out.Table({"CONFIG", "PART", "PART TEXT", "TYPES"}, rows);
  out.Note(
      fmt::format("{}, names of up to {} parts; a save of a shared config reaches every type of its row.",
                  Plural(model.typeCount, "type"), model.partCount));
}

void PrintText(const CompareModel& model, Output& out) {
  std::string numbers;
  for (const ComparedType& type : model.types)
    numbers += fmt::format("{}{}", numbers.empty() ? "" : ", ", type.number);
  if (model.rows.empty()) {
    out.Note(fmt::format("Types {} hold the same values{}.", numbers,
                         model.config.empty() ? "" : " in config " + model.config));
    return;
  }
  std::vector<std::string> header = {"CONFIG", "KIND", "ITEM"};
  for (const ComparedType& type : model.types) header.push_back(fmt::format("TYPE {:04d}", type.number));
  std::vector<std::vector<std::string>> rows;
  for (const CompareRow& row : model.rows) {
    std::vector<std::string> cells = {row.config, std::string(1, row.kind), std::to_string(row.item)};
    for (std::size_t t = 0; t < row.values.size(); ++t) {
      const std::string shown = Printable(ShownValue(row.values[t], row.kind));
      cells.push_back(row.differs[t] ? out.Styled(shown + "*", Style::kBad) : shown);
    }
    rows.push_back(std::move(cells));
  }
  out.Table(header, rows);
  out.Note(fmt::format("{} {} from type {}'s (marked *).", Plural(model.differing, "item"),
                       model.differing == 1 ? "differs" : "differ", model.types.front().number));
}

void PrintText(const ReleaseModel& model, Output& out) {
  out.Note(fmt::format("Released {}: entry {}, pinned by {} on {}.", Printable(model.name),
                       model.revision.substr(0, 12), Printable(model.user), Printable(model.station)));
}

void PrintText(const VerifyModel& model, Output& out) {
  for (const std::string& problem : model.problems) out.Line(Printable("damaged: " + problem));
  for (const VerifiedFile& file : model.differences)
    out.Line(Printable(fmt::format("{}: {} since the last entry", file.path, file.kind)));
  if (model.ok()) {
    out.Note(fmt::format("The history is whole ({} {}), and the tree equals its last entry.", model.entries,
                         model.entries == 1 ? "entry" : "entries"));
    return;
  }
  out.Note(fmt::format("The history's chain {}; {} {} from the last entry.",
                       model.chainOk && model.problems.empty() ? "is whole" : "is damaged",
                       Plural(model.differences.size(), "file"),
                       model.differences.size() == 1 ? "differs" : "differ"));
}

void PrintText(const RestoreModel& model, Output& out) {
  const std::string what = !model.item.empty()     ? fmt::format("{} {}", model.config, model.item)
                           : !model.config.empty() ? "config " + model.config
                                                   : "every config";
  if (model.changed.empty()) {
    out.Note(fmt::format("Type {:04d} already holds the values of {} at {} ({}); nothing to save.",
                         model.number, Printable(what), Printable(model.at), model.revision.substr(0, 12)));
    return;
  }
  out.Note(fmt::format("Type {:04d}: {} of {} put back as at {} ({}).", model.number,
                       Plural(model.changed.size(), "value"), Printable(what), Printable(model.at),
                       model.revision.substr(0, 12)));
  PrintSaved(model.saved, out);
}

}  // namespace tool
