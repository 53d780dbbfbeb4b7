// typedata: the engineer's host for a machine's type data.
#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/docs_folder.h"
#include "cli/error_document.h"
#include "cli/help_text.h"
#include "serve/serve.h"

#if __has_include("typedata_version.h")
#include "typedata_version.h"
#define TOOL_VERSION TD_VERSION_STRING
#else
#define TOOL_VERSION TD_TOOL_VERSION
#endif

namespace {

// The paragraph that names the documents, where they are installed.
std::string DocsParagraph() {
  const auto folder = tool::DocsFolder({TD_DOCS_FROM_BIN, "../docs" /* the Windows zip's */}, TD_DOCS_FOLDER);
  return "\nThe words used here (kinds D, S, A, L, V; value memory, comm memory, config\nindex, name part, "
         "board, type code, ...) are explained in " +
         (folder / "glossary.md").string() + ";\nthe --json documents in " + (folder / "json.md").string() +
         ".";
}

// Says a failure that happened before or around a command, on stderr and,
// with --json, as the error document on stdout; gives the exit status.
struct Failure {
  bool json = false;
  std::string command;  // a command the tool knows, or ""

  int operator()(tool::FailureKind kind, const std::string& message, const std::string& more = "") const {
    tool::Output out;
    out.Error(message);
    std::fputs(more.c_str(), stderr);
    if (json) out.Document(tool::ErrorDocument(command, kind, message));
    return kind == tool::FailureKind::kRefused ? tool::kRefused : tool::kUsageError;
  }
};

int Run(int argc, char** argv) {
  CLI::App app{"typedata: set up, inspect, check and change a machine's type data on the simulated host",
               "typedata"};
  // Set before the commands are added, which take them over: the same
  // arguments on Windows as on Linux (a path such as /tmp/x is no option
  // there), the help's own placeholders and words.
  app.allow_windows_style_options(false);
  app.formatter(tool::PlainHelp());
  app.set_help_flag("-h,--help", "this help (typedata help COMMAND: a command's)");
  app.require_subcommand(1);
  // Global options are taken after the command too ("typedata list --root X").
  app.fallthrough();
  app.set_version_flag("--version", std::string("typedata ") + TOOL_VERSION, "the tool's version");
  tool::GlobalOptions options;
  app.add_option("--root", options.root, "the folder that holds type/ (default: the current folder)")
      ->option_text("DIR");
  app.add_option("--machine", options.machine, "a machine description (default: the sample machine)")
      ->check(CLI::ExistingFile)
      ->option_text("FILE");
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

  std::string order = "number";
  bool sorted = false;
  auto* list = app.add_subcommand("list", "the types: number, name, parts, which is current");
  list->add_option("--sort", order, "by number (the default), by name, or as the catalogue holds them")
      ->check(CLI::IsMember({"number", "name", "catalogue"}))
      ->option_text("number|name|catalogue");
  list->add_flag("--sorted", sorted, "the same as --sort name");
  list->footer(
      "A catalogue that lists no type says so and exits 0. Exit 1 when two catalogues' names differ\n"
      "only in letter case (the service reads neither) or when none of the catalogue's records can be\n"
      "read ('typedata check' names them); exit 2 when the catalogue cannot be read (the system's "
      "reason).\n");
  list->callback([&] {
    const auto named = tool::ListOrderNamed(order);
    status = tool::RunList(options,
                           sorted ? tool::ListOrder::kName : named.value_or(tool::ListOrder::kNumber), out);
  });

  std::string name;
  std::optional<int> number;
  std::optional<int> from;
  auto* add =
      app.add_subcommand("add", "a new type: its files copied from a type, its shared configs pulled in");
  add->add_option("NAME", name, "type name, parts separated by '+'")->required();
  add->add_option("--number", number, "the type number (default: the lowest free one)")
      ->option_text("NUMBER");
  add->add_option("--from", from, "the type to copy (default: the current type)")->option_text("N");
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
  show->add_option("--config", config, "only the config with this prefix")->option_text("PREFIX");
  show->add_option("--kind", kind, "only this kind, in either letter case")
      ->transform([](std::string letter) {
        for (char& c : letter) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return letter;
      })
      ->option_text("D|S|A|L|V");
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

  std::vector<int> compared;
  std::string compareConfig;
  bool compareAll = false;
  auto* compare = app.add_subcommand("compare", "several types side by side, the values that differ marked");
  compare->add_option("N", compared, "type numbers, the first the one the others are held against")
      ->required();
  compare->add_option("--config", compareConfig, "only the config with this prefix")->option_text("PREFIX");
  compare->add_flag("--all", compareAll, "every item, not only those whose values differ");
  compare->callback([&] { status = tool::RunCompare(options, compared, compareConfig, compareAll, out); });

  auto* sharing = app.add_subcommand("sharing", "which types share which config through which name part");
  sharing->callback([&] { status = tool::RunSharing(options, out); });

  std::string namesFile;
  auto* recover = app.add_subcommand("recover", "write a lost catalogue anew from the type folders found");
  recover->add_option("--names", namesFile, "a file of NUMBER,NAME lines giving the types their names")
      ->option_text("FILE");
  recover->callback([&] { status = tool::RunRecover(options, namesFile, out); });

  auto* check = app.add_subcommand("check", "validate the whole type tree against the machine");
  check->callback([&] { status = tool::RunCheck(options, out); });

  std::string inferOutput;
  auto* infer = app.add_subcommand("infer", "write the machine description that explains the tree's files");
  infer->add_option("-o,--output", inferOutput, "write the description to this file (default: stdout)")
      ->option_text("FILE");
  infer->callback([&] { status = tool::RunInfer(options, inferOutput, out); });

  std::string format = "json";
  auto* exportCommand = app.add_subcommand("export", "a type's values, exactly, as JSON or CSV");
  exportCommand->add_option("N", typeNo, "type number")->required();
  exportCommand->add_option("--format", format, "json (the default) or csv")
      ->check(CLI::IsMember({"json", "csv"}))
      ->option_text("json|csv");
  exportCommand->callback([&] { status = tool::RunExport(options, typeNo, format, out); });

  std::string file;
  auto* importCommand =
      app.add_subcommand("import", "values from an export into a type, saved when they differ");
  importCommand->add_option("N", typeNo, "type number")->required();
  importCommand->add_option("FILE", file, "an export (JSON or CSV)")->required();
  importCommand->callback([&] { status = tool::RunImport(options, typeNo, file, out); });

  tool::ServeOptions serveOptions;
  auto* serve = app.add_subcommand("serve", "see and edit the types in the browser, on this machine only");
  serve->add_option("--port", serveOptions.port, "the port on 127.0.0.1 (default: a free one)")
      ->option_text("PORT");
  serve->add_flag("--open", serveOptions.open, "open the address in the desktop's browser");
  serve->callback([&] {
#ifdef TD_HAVE_SERVE
    status = tool::RunServe(options, serveOptions, out);
#else
    out.Error("serve is not available in this build of typedata (it is in the Linux tool)");
    status = tool::kUsageError;
#endif
  });

  // Each command's help: its own words, its examples, the global options.
  const std::string globals = tool::GlobalOptionsOf(app);
  for (CLI::App* command : app.get_subcommands({})) {
    std::string footer = command->get_footer();
    if (!footer.empty()) footer += "\n";
    const std::string examples = tool::ExamplesOf(command->get_name());
    if (!examples.empty()) footer += examples + "\n";
    command->footer(footer + globals + "\n" + tool::ExitStatusInBrief());
  }
  app.footer("\n" + tool::ExamplesOf("") +
             "\nGlobal options go before or after the command. 'typedata help COMMAND' (or\n"
             "'typedata COMMAND --help') tells a command's options and examples.\n\n" +
             tool::ExitStatusEnvironmentFiles() + DocsParagraph());

  if (tool::HasWord(argc, argv, "--bash-completion")) {
    std::fputs(tool::BashCompletion(app).c_str(), stdout);
    return tool::kDone;
  }
  const std::vector<std::string> words = tool::PlainWords(app, argc, argv);
  Failure fail{tool::HasWord(argc, argv, "--json"), ""};
  auto known = [&](const std::string& word) -> CLI::App* {
    for (CLI::App* command : app.get_subcommands({})) {
      if (command->check_name(word)) return command;
    }
    return nullptr;
  };
  auto unknown = [&](const std::string& word) {
    if (word.empty())
      return fail(tool::FailureKind::kUsage, "no command given; the commands are:",
                  tool::CommandList(app) + "(typedata --help tells more)\n");
    if (const std::string nearest = tool::NearestCommand(app, word); !nearest.empty())
      return fail(tool::FailureKind::kUsage,
                  "unknown command '" + word + "'; did you mean '" + nearest + "'?",
                  "(typedata --help lists the commands)\n");
    return fail(tool::FailureKind::kUsage, "unknown command '" + word + "'; the commands are:",
                tool::CommandList(app) + "(typedata --help tells more)\n");
  };
  // "typedata help [COMMAND]", as "typedata [COMMAND] --help".
  if (!words.empty() && words[0] == "help") {
    if (words.size() == 1) {
      std::fputs(app.help().c_str(), stdout);
      return tool::kDone;
    }
    if (CLI::App* command = known(words[1])) {
      std::fputs(command->help("typedata").c_str(), stdout);
      return tool::kDone;
    }
    return unknown(words[1]);
  }
  if (!tool::AsksForHelpOrVersion(argc, argv)) {
    const std::string word = words.empty() ? "" : words[0];
    if (!known(word)) return unknown(word);
    fail.command = known(word)->get_name();
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& mistake) {
    // The parser's words, said as the tool says everything, with the command.
    const std::string where = fail.command.empty() ? "" : fail.command + ": ";
    const std::string help = fail.command.empty() ? "typedata --help" : "typedata help " + fail.command;
    return fail(tool::FailureKind::kUsage, where + mistake.what(), "(" + help + " tells more)\n");
  } catch (const std::filesystem::filesystem_error& failure) {
    // The file and the system's reason, in our words rather than the library's.
    return fail(tool::FailureKind::kFailed, failure.path1().string() + ": " + failure.code().message());
  } catch (const std::bad_alloc&) {
    return fail(tool::FailureKind::kFailed, "out of memory");
  } catch (const std::exception&) {
    // A library's own text would say nothing to the user.
    return fail(tool::FailureKind::kFault,
                "the command stopped on an unexpected failure (a fault of typedata)");
  }
  // A command that failed without its own document: the error document,
  // from what it said (one place for every command).
  if (fail.json && status != tool::kDone && !out.printedDocument()) {
    const std::string& said = out.firstError();
    out.Document(tool::ErrorDocument(
        fail.command, status == tool::kRefused ? tool::FailureKind::kRefused : tool::FailureKind::kFailed,
        said.empty() ? "the command ended with exit status " + std::to_string(status) : said));
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
