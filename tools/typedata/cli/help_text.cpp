#include "cli/help_text.h"

#include <fmt/core.h>

#include <algorithm>
#include <iterator>

namespace tool {
namespace {

struct Example {
  const char* command;
  const char* line;  // after "typedata "
  const char* says;  // "" when the line says it
};

constexpr Example kExamples[] = {
    {"demo", "demo", "the operator's day in ./typedata-demo"},
    {"demo", "demo /tmp/day --replace", "again, in a folder of an earlier demo"},
    {"init", "--root press init", "a new catalogue and type 0 in press/type"},
    {"init", "--root press --machine press.machine init", "the same for a machine of its own"},
    {"list", "--root press list", "the types by number"},
    {"list", "--root press list --sort name", "as a sorted type combo box lists them"},
    {"add", "--root press add T40+STEEL", "a new type, its shared configs pulled in"},
    {"add", "--root press add T55+STEEL --from 1 --number 20", ""},
    {"rename", "--root press rename 20 T55+ALU", ""},
    {"use", "--root press use 1", "load, make current, download"},
    {"use", "--root press use 2 --no-download", "load and make current only"},
    {"show", "--root press show 1 --config TOOL --kind D", ""},
    {"set", "--root press set 1 TOOL D:1=41.5 L:1=4.25", ""},
    {"set", "--root press set 1 TOOL D:1=41.567 --strict", "refused: the controller holds 41.57"},
    {"diff", "--root press diff 1 2", "exit 0 when equal, 1 when not"},
    {"diff", "--root press diff 1@v1 1", "type 1 at the release v1 against type 1 now"},
    {"show", "--root press show 1 --at 2026-12-01T06:00", "the values as they were then"},
    {"log", "--root press log 1 --item D:1", "every change of one value, old -> new, newest first"},
    {"log", "--root press log --since v1", "what changed since the release v1, to print"},
    {"compare", "--root press compare 1 2 3", "the items whose values differ, side by side"},
    {"compare", "--root press compare 1 2 --config TOOL --all", "every item of one config"},
    {"sharing", "--root press sharing", "which types a save of a shared config reaches"},
    {"recover", "--root press recover --names names.csv", "lines of NUMBER,NAME"},
    {"check", "--root press check", ""},
    {"check", "--root press check --json > problems.json", ""},
    {"infer", "--root copy infer -o m.txt", "the machine description that a copied tree's files tell"},
    {"export", "--root press export 1 --format csv > type1.csv", ""},
    {"import", "--root press import 1 type1.csv", ""},
    {"restore", "--root press restore 1 --at v1 --config TOOL --reason 'trial failed'", ""},
    {"restore", "--root press restore 1 --at 2026-12-01T06:00 --config TOOL --item D:1 --reason 'worn tool'",
     "one value"},
    {"release", "--root press release v1 --reason 'approved'", "pin the last entry"},
    {"history", "--root press history verify", "exit 1 when the tree differs"},
    {"watch", "--root press watch", "record changes made outside (Ctrl-C stops it)"},
    {"serve", "--root press serve", "the types in the browser (Ctrl-C stops it)"},
    {"serve", "--root press serve --port 8080 --open", ""},
};

std::string Lines(const std::string& command) {
  std::vector<std::string> lines;
  std::vector<const char*> says;
  std::string last;
  for (const Example& example : kExamples) {
    const bool wanted = command.empty() ? example.command != last : example.command == command;
    last = example.command;
    if (!wanted) continue;
    lines.push_back(std::string("typedata ") + example.line);
    says.push_back(example.says);
  }
  std::size_t width = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (*says[i] && lines[i].size() < 44) width = std::max(width, lines[i].size());
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!*says[i]) {
      text += fmt::format("  {}\n", lines[i]);
    } else if (lines[i].size() <= width) {
      text += fmt::format("  {:<{}}  {}\n", lines[i], width, says[i]);
    } else {
      text += fmt::format("  {}  {}\n", lines[i], says[i]);
    }
  }
  return text;
}

}  // namespace

std::string ExamplesOf(const std::string& command) {
  const std::string lines = Lines(command);
  return lines.empty() ? "" : "Examples:\n" + lines;
}

std::string GlobalOptionsOf(const CLI::App& app) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const CLI::Option* option : app.get_options()) {
    // Hidden ones, and those that each command has or that only go first.
    if (option->get_group().empty() || option == app.get_help_ptr() || option == app.get_version_ptr())
      continue;
    std::string name = option->get_name(false, true);
    if (!option->get_option_text().empty()) name += " " + option->get_option_text();
    rows.emplace_back(name, option->get_description());
  }
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  std::string text = "Global options (before or after the command):\n";
  // Descriptions wrapped at the terminal's usual 80 columns.
  const std::size_t room = std::max<std::size_t>(30, 78 - width - 4);
  for (const auto& [name, description] : rows) {
    std::string label = name;
    std::size_t at = 0;
    while (at < description.size()) {
      std::size_t end = description.size();
      if (end - at > room) {
        end = description.rfind(' ', at + room);
        if (end == std::string::npos || end <= at) end = std::min(description.size(), at + room);
      }
      text += fmt::format("  {:<{}}  {}\n", label, width, description.substr(at, end - at));
      label.clear();
      at = end < description.size() && description[end] == ' ' ? end + 1 : end;
    }
  }
  return text;
}

std::string ExitStatusEnvironmentFiles() {
  return R"(Exit status:
  0  done; diff: the types are equal; check: nothing found
  1  refused (no such type, a value the controller cannot hold, the tree held
     by another command) or found something (diff: a difference, check: a problem)
  2  a usage error, or an input/output error

Environment:
  NO_COLOR            no colour on a terminal, whatever its value
  TYPEDATA_LOCK_WAIT  seconds to wait for a tree that another command holds
                      (default 5)

Files:
  ROOT/type/mmi.typ            the catalogue: the types' numbers and names
  ROOT/type/NNNN/              a type's folder, a file per config (TOOL0001.DAT)
  ROOT/type/.typedata-lock     the lock that one changing command holds
  ROOT/type/.typedata-journal  what an interrupted command changed, put back next time
  ROOT/.typedata-machine       the machine description the tree was made with
  ROOT/.typedata-state         which type is current
)";
}

std::string ExitStatusInBrief() {
  return "Exit status: 0 done, 1 refused or found something, 2 usage or input/output error\n"
         "(typedata --help tells more).\n";
}

}  // namespace tool
