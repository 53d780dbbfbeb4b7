// typedata: the engineer's host for a machine's type data.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "core/docs_folder.h"
#include "serve/serve.h"

#if __has_include("typedata_version.h")
#include "typedata_version.h"
#define TOOL_VERSION TD_VERSION_STRING
#else
#define TOOL_VERSION TD_TOOL_VERSION
#endif

namespace {

constexpr const char* kExamples = R"(
Examples:
  typedata demo                          the operator's day in ./typedata-demo
  typedata --root press init             a new catalogue and type 0 in press/type
  typedata --root press add T40+STEEL    a new type, its shared configs pulled in
  typedata --root press list --sorted
  typedata --root press use 1            load, make current, download
  typedata --root press show 1 --config TOOL --kind D
  typedata --root press set 1 TOOL D:1=41.5 L:1=4.25
  typedata --root press diff 1 2
  typedata --root press check
  typedata --root copy infer -o m.txt    the machine description that a copied tree's files tell
  typedata --root press export 1 --format csv > type1.csv
  typedata --root press import 1 type1.csv
  typedata --root press serve            the types in the browser (Ctrl-C stops it)

Global options (--root, --machine, --json, --strict, --force) go before or
after the command. Exit status: 0 done (diff: equal, check: clean), 1 refused
or found something, 2 usage or input/output error.
)";

// The paragraph that names the documents, where they are installed.
std::string DocsParagraph() {
  const auto folder = tool::DocsFolder({TD_DOCS_FROM_BIN, "../docs" /* the Windows zip's */}, TD_DOCS_FOLDER);
  return "\nThe words used here (kinds D, S, A, L, V; value memory, comm memory, config\nindex, name part, "
         "board, type code, ...) are explained in " +
         (folder / "glossary.md").string() + ";\nthe --json documents in " + (folder / "json.md").string() +
         ".";
}

int Run(int argc, char** argv) {
  CLI::App app{"typedata: set up, inspect, check and change a machine's type data on the simulated host",
               "typedata"};
  app.footer(kExamples + DocsParagraph());
  app.require_subcommand(1);
  // Global options are taken after the command too ("typedata list --root X").
  app.fallthrough();
  app.set_version_flag("--version", std::string("typedata ") + TOOL_VERSION, "the tool's version");
  tool::GlobalOptions options;
  app.add_option("--root", options.root, "the folder that holds type/ (default: the current folder)");
  app.add_option("--machine", options.machine, "a machine description (default: the sample machine)")
      ->check(CLI::ExistingFile);
  app.add_flag("--json", options.json,
               "one JSON document on stdout (json.md, named below), for every command");
  app.add_flag("--strict", options.strict,
               "set, import: refuse a value that would be stored rounded, instead of saying so");
  bool completion = false;
  app.add_flag("--bash-completion", completion, "print a bash completion script")->group("");
  app.add_flag("--force", options.force,
               "take --machine although the tree was made with another machine (a changing command then "
               "keeps it with the tree)");

  tool::Output out;
  int status = tool::kDone;

  std::string demoFolder = "typedata-demo";
  auto* demo =
      app.add_subcommand("demo", "the operator's day on the sample machine, narrated, in a new folder");
  bool replace = false;
  demo->add_option("DIR", demoFolder, "a new folder (default: ./typedata-demo)");
  demo->add_flag("--replace", replace, "replace the folder of an earlier demo");
  demo->callback([&] { status = tool::RunDemo(options, demoFolder, replace, out); });

  bool force = false;
  auto* init = app.add_subcommand("init", "a new catalogue and type 0 from the machine's defaults");
  init->add_flag("--force", force, "replace an existing catalogue");
  init->callback([&] { status = tool::RunInit(options, force, out); });

  bool sorted = false;
  auto* list = app.add_subcommand("list", "the types: number, name, parts, which is current");
  list->add_flag("--sorted", sorted, "by name, as a sorted type combo box lists them");
  list->footer(
      "A catalogue that lists no type says so and exits 0. Exit 1 when two catalogues' names differ\n"
      "only in letter case (the service reads neither) or when none of the catalogue's records can be\n"
      "read ('typedata check' names them); exit 2 when the catalogue cannot be read (the system's reason).");
  list->callback([&] { status = tool::RunList(options, sorted, out); });

  std::string name;
  std::optional<int> number;
  std::optional<int> from;
  auto* add =
      app.add_subcommand("add", "a new type: its files copied from a type, its shared configs pulled in");
  add->add_option("NAME", name, "type name, parts separated by '+'")->required();
  add->add_option("--number", number, "the type number (default: the lowest free one)");
  add->add_option("--from", from, "the type to copy (default: the current type)");
  add->callback([&] { status = tool::RunAdd(options, name, number, from, out); });

  int typeNo = 0;
  auto* rename =
      app.add_subcommand("rename", "a new name for a type; the shared configs of its new parts pulled in");
  rename->add_option("N", typeNo, "type number")->required();
  rename->add_option("NAME", name, "the new name")->required();
  rename->callback([&] { status = tool::RunRename(options, typeNo, name, out); });

  bool noDownload = false;
  auto* use = app.add_subcommand("use", "load a type, make it current and download it to the controller");
  use->add_option("N", typeNo, "type number")->required();
  use->add_flag("--no-download", noDownload, "load and make current only");
  use->callback([&] { status = tool::RunUse(options, typeNo, !noDownload, out); });

  std::string config;
  std::string kind;
  auto* show = app.add_subcommand("show", "every item of a type: number, data type, value, default");
  show->add_option("N", typeNo, "type number")->required();
  show->add_option("--config", config, "only the config with this prefix");
  show->add_option("--kind", kind, "only this kind (D, S, A, L, V)");
  show->callback([&] { status = tool::RunShow(options, typeNo, config, kind, out); });

  std::string prefix;
  std::vector<std::string> assignments;
  auto* set = app.add_subcommand("set", "change values of a type as an operator would, and save");
  set->add_option("N", typeNo, "type number")->required();
  set->add_option("PREFIX", prefix, "the config's prefix")->required();
  set->add_option("KIND:ITEM=VALUE", assignments, "e.g. D:3=12.5 V:1=text")->required();
  set->callback([&] { status = tool::RunSet(options, typeNo, prefix, assignments, out); });

  int other = 0;
  auto* diff = app.add_subcommand("diff", "the items whose values differ between two types");
  diff->add_option("N", typeNo, "type number")->required();
  diff->add_option("M", other, "type number")->required();
  diff->callback([&] { status = tool::RunDiff(options, typeNo, other, out); });

  std::string namesFile;
  auto* recover = app.add_subcommand("recover", "write a lost catalogue anew from the type folders found");
  recover->add_option("--names", namesFile, "a file of NUMBER,NAME lines giving the types their names");
  recover->callback([&] { status = tool::RunRecover(options, namesFile, out); });

  auto* check = app.add_subcommand("check", "validate the whole type tree against the machine");
  check->callback([&] { status = tool::RunCheck(options, out); });

  std::string inferOutput;
  auto* infer = app.add_subcommand("infer", "write the machine description that explains the tree's files");
  infer->add_option("-o,--output", inferOutput, "write the description to this file (default: stdout)");
  infer->callback([&] { status = tool::RunInfer(options, inferOutput, out); });

  std::string format = "json";
  auto* exportCommand = app.add_subcommand("export", "a type's values, exactly, as JSON or CSV");
  exportCommand->add_option("N", typeNo, "type number")->required();
  exportCommand->add_option("--format", format, "json or csv")->check(CLI::IsMember({"json", "csv"}));
  exportCommand->callback([&] { status = tool::RunExport(options, typeNo, format, out); });

  std::string file;
  auto* importCommand =
      app.add_subcommand("import", "values from an export into a type, saved when they differ");
  importCommand->add_option("N", typeNo, "type number")->required();
  importCommand->add_option("FILE", file, "an export (JSON or CSV)")->required();
  importCommand->callback([&] { status = tool::RunImport(options, typeNo, file, out); });

  tool::ServeOptions serveOptions;
  auto* serve = app.add_subcommand("serve", "see and edit the types in the browser, on this machine only");
  serve->add_option("--port", serveOptions.port, "the port on 127.0.0.1 (default: a free one)");
  serve->add_flag("--open", serveOptions.open, "open the address in the desktop's browser");
  serve->callback([&] {
#ifdef TD_HAVE_SERVE
    status = tool::RunServe(options, serveOptions, out);
#else
    out.Error("serve is not available in this build of typedata (it is in the Linux tool)");
    status = tool::kUsageError;
#endif
  });

  if (std::any_of(argv + 1, argv + argc,
                  [](const char* word) { return std::string(word) == "--bash-completion"; })) {
    std::fputs(tool::BashCompletion(app).c_str(), stdout);
    return tool::kDone;
  }
  if (!tool::AsksForHelpOrVersion(argc, argv)) {
    const std::string command = tool::CommandWord(app, argc, argv);
    const auto known = app.get_subcommands({});
    const bool found =
        std::any_of(known.begin(), known.end(), [&](const CLI::App* c) { return c->check_name(command); });
    if (!found) {
      const std::string what = command.empty() ? "no command given" : "unknown command '" + command + "'";
      std::fprintf(stderr, "typedata: %s; the commands are:\n%s(typedata --help tells more)\n", what.c_str(),
                   tool::CommandList(app).c_str());
      return tool::kUsageError;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& mistake) {
    app.exit(mistake);
    return tool::kUsageError;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::filesystem::filesystem_error& failure) {
    // The file and the system's reason, in our words rather than the library's.
    std::fprintf(stderr, "typedata: %s: %s\n", failure.path1().string().c_str(),
                 failure.code().message().c_str());
    return tool::kUsageError;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "typedata: out of memory\n");
    return tool::kUsageError;
  } catch (const std::exception&) {
    // A library's own text would say nothing to the user.
    std::fprintf(stderr, "typedata: the command stopped on an unexpected failure (a fault of typedata)\n");
    return tool::kUsageError;
  }
}
