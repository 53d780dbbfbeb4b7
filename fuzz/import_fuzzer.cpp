// typedata import of arbitrary CSV and JSON into type 1 of a tree on disk.
// Refused, it changes no byte of the tree; done, every value imported reads
// back as given, within the rounding of the controller (D, S, A: the
// item's decimals) or of the file (L: six decimals), and the types that
// share a config with type 1 hold what it holds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "core/import.h"
#include "core/open_tree.h"
#include "fuzz_support.h"
#include "machine/machine.h"
#include "ops/export.h"
#include "ops/import.h"
#include "render/export_csv.h"
#include "tool_tree.h"

namespace {

using td::fuzz::Require;

const mmisim::ItemDescription* Described(const std::string& prefix, char kind, int item) {
  static const mmisim::Machine machine = mmisim::SampleMachine();
  const int k = std::string("DSALV").find(kind);
  for (const mmisim::MachineConfig& config : machine.configs) {
    if (config.prefix != prefix || k < 0 || item < 1) continue;
    const auto& items = config.kinds[k].items;
    return static_cast<std::size_t>(item) <= items.size() ? &items[item - 1] : nullptr;
  }
  return nullptr;
}

bool Near(double given, double found, char kind, const mmisim::ItemDescription& item) {
  const bool real = item.dataType == 'P' || item.dataType == 'F';
  double step = 1e-6;  // L: the file's six decimals
  if (kind != 'L') step = real ? std::pow(10.0, -item.scale) : 1.0;
  return std::fabs(given - found) <= step / 2 + 1e-9 * std::fabs(given);
}

using Values = std::map<std::tuple<std::string, char, int>, std::string>;

// The type's values as its CSV export gives them (JSON refuses texts that
// are not UTF-8, which CSV keeps byte for byte).
Values Export(int number) {
  tool::Session session;
  Require(!tool::OpenTree(td::fuzz::SampleTree().options, tool::Access::kRead, &session),
          "the tree opens after an import");
  const tool::Result<tool::ExportModel> exported = tool::ops::Export(session, {number});
  std::string csv;
  if (exported.ok()) {
    for (const std::string& line : tool::ExportCsvLines(exported.model().values)) csv += line + "\n";
  }
  std::vector<tool::Change> changes;
  std::string error;
  Require(exported.ok() && tool::ReadImport(csv, "export", &changes, &error),
          "the type exports after an import");
  Values values;
  for (const tool::Change& change : changes) values[{change.prefix, change.kind, change.item}] = change.value;
  return values;
}

// Imports file into type 1: whether it was done (refused, or its save
// failed, it was not).
bool Imported(const std::string& file) {
  tool::ops::ImportRequest request{1, file, {}, false};
  if (tool::ops::ReadImportFile(file, &request)) return false;
  tool::Session session;
  if (tool::OpenTree(td::fuzz::SampleTree().options, tool::Access::kChange, &session)) return false;
  const tool::Result<tool::ops::ImportOutcome> imported = tool::ops::Import(session, request);
  return imported.ok() && !imported.model().failure;
}

Values Config(const Values& values, const std::string& prefix) {
  Values config;
  for (const auto& [where, value] : values) {
    if (std::get<0>(where) == prefix) config[where] = value;
  }
  return config;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const td::fuzz::ToolTree& tree = td::fuzz::SampleTree();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string file = tree.base + "/import";
  td::fuzz::WriteFile(file, text);
  const bool done = Imported(file);
  const td::fuzz::Files after = td::fuzz::Snapshot(tree.root);
  if (!done) {
    Require(after == tree.pristine, "a refused import changes no byte");
    return 0;
  }
  std::vector<tool::Change> changes;
  std::string error;
  Require(tool::ReadImport(text, file, &changes, &error), "an import that was done reads as changes");
  Values last;
  for (const tool::Change& change : changes) last[{change.prefix, change.kind, change.item}] = change.value;
  const Values one = Export(1);
  for (const auto& [where, value] : last) {
    const auto& [prefix, kind, number] = where;
    const mmisim::ItemDescription* item = Described(prefix, kind, number);
    Require(item != nullptr && one.count(where), "an import done changes only items the machine describes");
    const std::string& found = one.at(where);
    if (kind == 'V') {
      Require(found == value, "a text reads back as imported");
    } else {
      Require(Near(std::strtod(value.c_str(), nullptr), std::strtod(found.c_str(), nullptr), kind, *item),
              "a number reads back as imported, within the controller's rounding");
    }
  }
  // Type 2 shares TOOL with type 1, type 3 MAT.
  Require(Config(Export(2), "TOOL") == Config(one, "TOOL") && Config(Export(3), "MAT") == Config(one, "MAT"),
          "the types sharing a config hold what type 1 holds");
  if (after != tree.pristine) td::fuzz::Restore(tree.root, tree.pristine);
  return 0;
}
