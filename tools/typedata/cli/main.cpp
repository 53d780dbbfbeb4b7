// typedata: the engineer's host for a machine's type data.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/docs_folder.h"
#include "cli/error_document.h"
#include "cli/help_text.h"

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
  app.add_option(
         "--user", options.user,
         "who makes the change, for the tree's history (default: $TYPEDATA_USER, else the login name)")
      ->option_text("NAME");
  app.add_option("--reason", options.reason,
                 "why, for the tree's history (required of every change where the tree was made with "
                 "init --require-reason)")
      ->option_text("WHY");
  app.add_option("--checked-by", options.checkedBy, "who checked the change, for the tree's history")
      ->option_text("NAME");
  options.words = tool::CommandWords(argc, argv);
  bool completion = false;
  app.add_flag("--bash-completion", completion, "print a bash completion script")->group("");
  app.add_flag("--force", options.force,
               "take --machine although the tree was made with another machine (a changing command then "
               "keeps it with the tree)");

  tool::Output out;
  int status = tool::kDone;

  // The commands, from the table; each parsed into its own object, then
  // dispatched: the tree opened and locked as its row says, once.
  std::vector<std::unique_ptr<tool::Command>> commands;
  for (const tool::CommandRow& row : tool::CommandTable()) {
    CLI::App* parsed = app.add_subcommand(row.name, row.summary);
    tool::Command& command = *commands.emplace_back(row.make());
    command.Define(*parsed);
    parsed->callback([&, row = &row] { status = tool::Dispatch(*row, command, options, out); });
  }

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
