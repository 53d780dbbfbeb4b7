// typedata demo: the operator's day on the sample machine, narrated.
#include <fmt/core.h>

#include <filesystem>

#include "cli/command.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "core/lock.h"
#include "core/tree.h"
#include "core/values.h"
#include "machine/machine.h"
#include "ops/add.h"
#include "ops/compare.h"
#include "ops/diff.h"
#include "ops/list.h"
#include "ops/use.h"
#include "render/documents.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

void Heading(Output& out, int step, const std::string& text) {
  out.Line();
  out.Line(out.Styled(fmt::format("{}. {}", step, text), Style::kBold));
}

void Say(Output& out, const std::string& text) { out.Line(out.Styled(text, Style::kNote)); }

// One step of the day: an operation on a session of its own, its model
// printed as the command would print it.
template <typename Operate>
int Step(const GlobalOptions& options, Access access, Output& out, Operate operate) {
  Session session;
  if (const int status = OpenTree(options, access, &session, out); status != kDone) return status;
  const auto result = operate(session);
  if (!result.ok()) return Refuse(result.refusal(), out);
  PrintText(result.model(), out);
  return kDone;
}

int Use(const GlobalOptions& options, int number, Output& out) {
  const std::unique_ptr<Progress> progress = MakeProgress(options, out);
  return Step(options, Access::kChange, out, [&](Session& session) {
    return ops::Use(session, {number, true}, progress.get());
  });
}

// add as narrated: the number it prints for scripts is said in its note.
int Add(const GlobalOptions& options, const std::string& name, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<AddModel> added = ops::Add(session, {name, std::nullopt, std::nullopt});
  if (!added.ok()) return Refuse(added.refusal(), out);
  for (const std::string& note : added.model().passedOver) out.Note(note);
  for (const std::string& warning : added.model().warnings) out.Warning(warning);
  PrintAdded(added.model(), out);
  return kDone;
}

// A few items across every type, from comparing them all.
int CompareTypes(const GlobalOptions& options, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  ops::CompareRequest request{{}, "", /*onlyDifferences=*/false};
  for (const TypeInfo& type : session.Types()) request.numbers.push_back(type.number);
  const Result<CompareModel> compared = ops::Compare(session, request);
  if (!compared.ok()) return Refuse(compared.refusal(), out);
  const std::vector<std::pair<std::string, std::string>> items = {
      {"MAIN", "D1"}, {"TOOL", "D1"}, {"MAT", "D1"}, {"FEED", "D1"}, {"TOOL", "L1"}};
  std::vector<std::string> header = {"TYPE", "NAME"};
  for (const auto& [prefix, item] : items) header.push_back(fmt::format("{} {}", prefix, item));
  std::vector<std::vector<std::string>> rows;
  const CompareModel& model = compared.model();
  for (std::size_t t = 0; t < model.types.size(); ++t) {
    std::vector<std::string> row = {fmt::format("{:04d}", model.types[t].number), model.types[t].name};
    for (const auto& [prefix, item] : items) {
      std::string shown = "-";
      for (const CompareRow& compareRow : model.rows) {
        const ItemValue& value = compareRow.values[t];
        if (compareRow.config == prefix && compareRow.kind == item[0] &&
            compareRow.item == std::stoi(item.substr(1)) && value.number != 0)
          shown = ShownValue(value, item[0]);
      }
      row.push_back(shown);
    }
    rows.push_back(row);
  }
  out.Table(header, rows);
  return kDone;
}

}  // namespace

namespace {

// The mark a demo leaves in its folder: --replace removes only a folder
// that carries it and holds nothing but what a demo leaves.
constexpr const char* kDemoMark = ".typedata-demo";

bool IsDemoFolder(const fs::path& folder) {
  std::error_code error;
  if (!fs::is_regular_file(folder / kDemoMark, error)) return false;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name != "type" && name != ".typedata-state" && name != kDemoMark && name != ".typedata-lock" &&
        name != ".typedata-machine" && name != ".git")
      return false;
  }
  return !error;
}

int RunDemo(const GlobalOptions& options, const std::string& folder, bool replace, Output& out) {
  if (options.json) {
    // The narration is for a person: on stderr; stdout holds the document
    // of the tree the demo leaves.
    GlobalOptions narrated = options;
    narrated.json = false;
    Output narration(stderr, stderr);
    if (const int status = RunDemo(narrated, folder, replace, narration); status != kDone) return status;
    GlobalOptions demo = options;
    demo.root = folder;
    Session session;
    if (const int status = OpenTree(demo, Access::kRead, &session, out); status != kDone) return status;
    Document document = NewDocument("demo");
    document["folder"] = session.root();
    document["types"] = ToDocument(ListModel{ListOrder::kCatalogue, session.Types()})["types"];
    out.Document(document);
    return kDone;
  }
  std::error_code error;
  if (fs::exists(fs::path(folder) / "type", error)) {
    if (!replace || !IsDemoFolder(folder)) {
      out.Error(folder + " holds a type tree already; give the demo a new folder (typedata demo DIR)" +
                (replace ? ", or remove it yourself: it is not an earlier demo's"
                         : ", or --replace an earlier demo's"));
      return kRefused;
    }
    std::string busy;
    if (!TreeLock::Exclusive(folder, &busy)) {  // nobody may be working in it
      out.Error(busy);
      return kRefused;
    }
    fs::remove_all(folder, error);
  }
  fs::create_directories(folder, error);
  std::string marked;
  if (error || !ReplaceFileAtomically((fs::path(folder) / kDemoMark).string(), "typedata demo\n", &marked)) {
    out.Error(error ? folder + ": " + error.message() : marked);
    return kUsageError;
  }
  // The sample machine with labels, units and limits for a few items, kept
  // with the tree as init keeps a machine given with --machine.
  if (!ReplaceFileAtomically((fs::path(folder) / ".typedata-machine").string(),
                             mmisim::LabelledSampleMachineText(), &marked)) {
    out.Error(marked);
    return kUsageError;
  }
  GlobalOptions demo = options;
  demo.root = folder;
  demo.json = false;
  out.NarrateOnData();
  const std::string where = fs::absolute(folder).lexically_normal().generic_string();
  out.Line(out.Styled("The operator's day on the sample machine", Style::kBold));
  Say(out, fmt::format("Everything happens in {}: the service keeps its files in type/ there.", where));
  Say(out,
      "The sample machine has four configs: MAIN (each type its own), and TOOL, MAT and FEED, shared "
      "between types whose names have the same first, second or third part. A few of its items have a "
      "label, a unit and limits.");

  int status = kDone;
  auto run = [&](int result) {
    if (result != kDone) status = result;
    return result == kDone;
  };

  Heading(out, 1, "A new catalogue: type 0 from the machine's defaults");
  if (!run(RunWords(demo, {"init"}, out))) return status;

  Heading(out, 2, "Types added with two- and three-part names (each starts as a copy of the current type)");
  for (const char* name : {"T40+STEEL+FAST", "T40+ALU+SLOW", "T55+STEEL+SLOW", "T55+ALU"}) {
    if (!run(Add(demo, name, out))) return status;
  }
  run(Step(demo, Access::kRead, out,
           [](Session& session) { return ops::List(session, {ListOrder::kNumber}); }));

  Heading(out, 3, "Type 1 made current: loaded, its type code sent, its values downloaded");
  if (!run(Use(demo, 1, out))) return status;

  Heading(out, 4, "Values changed on type 1 and saved; shared configs go to the types with the same part");
  Say(out, "TOOL is shared through part 1 (T40), MAT through part 2 (STEEL), FEED through part 3 (FAST).");
  run(RunWords(demo, {"set", "1", "MAIN", "D:1=20.25", "D:3=95"}, out));
  run(RunWords(demo, {"set", "1", "TOOL", "D:1=41.5", "L:1=4.25"}, out));
  run(RunWords(demo, {"set", "1", "MAT", "D:1=7.9"}, out));
  run(RunWords(demo, {"set", "1", "FEED", "D:1=320", "V:1=fast feed"}, out));
  Say(out, "A value outside an item's limits is refused, naming the limit, and nothing is saved:");
  RunWords(demo, {"set", "1", "MAIN", "D:3=250"}, out);

  Heading(out, 5, "A type switch to type 3 'T55+STEEL+SLOW', downloaded to the simulated controller");
  if (!run(Use(demo, 3, out))) return status;

  Heading(out, 6, "The types side by side");
  Say(out,
      "Type 2 shares T40 with type 1, so its TOOL values changed; type 3 shares STEEL, so its MAT value "
      "did.");
  run(CompareTypes(demo, out));

  Heading(out, 7, "What type 1 and type 2 differ in");
  Step(demo, Access::kRead, out, [](Session& session) { return ops::Diff(session, {1, 2}); });

  Heading(out, 8, "The files, left in place to look at");
  for (const auto& [path, bytes] : ReadTree(where + "/type")) {
    out.Line(fmt::format("  type/{:<24} {:>6} bytes", path, bytes.size()));
  }
  Say(out, fmt::format("Try: typedata --root {} show 1 --config TOOL", folder));
  Say(out, fmt::format("     typedata --root {} check", folder));
  return status;
}

class Demo final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("DIR", folder_, "a new folder (default: ./typedata-demo)");
    command.add_flag("--replace", replace_, "replace the folder of an earlier demo");
  }

  int Run(const GlobalOptions& options, Session* /*session*/, Output& out) override {
    return RunDemo(options, folder_, replace_, out);
  }

 private:
  std::string folder_ = "typedata-demo";
  bool replace_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeDemo() { return std::make_unique<Demo>(); }

}  // namespace tool
