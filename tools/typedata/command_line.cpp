#include "command_line.h"

#include <fmt/core.h>

#include <algorithm>

namespace tool {
namespace {

// Whether an option takes a value (and so the next word is not a command).
bool TakesValue(const CLI::App& app, const std::string& word) {
  const std::string name = word.substr(0, word.find('='));
  if (name.rfind("--", 0) != 0 || name.size() != word.size()) return false;
  for (const CLI::Option* option : app.get_options()) {
    if (option->check_lname(name.substr(2))) return option->get_items_expected_min() > 0;
  }
  return false;
}

std::vector<std::string> LongNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_group().empty()) continue;  // hidden
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
  }
  return names;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

// Options whose values the shell can offer.
constexpr const char* kValueCompletions = R"(    --root) COMPREPLY=($(compgen -d -- "$cur")); return ;;
    --machine|--names) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W "json csv" -- "$cur")); return ;;
    --kind) COMPREPLY=($(compgen -W "D S A L V" -- "$cur")); return ;;
)";

}  // namespace

std::string CommandWord(const CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--") return i + 1 < argc ? argv[i + 1] : "";
    if (word.empty() || word[0] != '-') return word;
    if (TakesValue(app, word)) ++i;
  }
  return "";
}

bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h" || word == "--version") return true;
  }
  return false;
}

std::string CommandList(const CLI::App& app) {
  std::size_t width = 0;
  for (const CLI::App* command : app.get_subcommands({})) width = std::max(width, command->get_name().size());
  std::string list;
  for (const CLI::App* command : app.get_subcommands({}))
    list += fmt::format("  {:<{}}  {}\n", command->get_name(), width, command->get_description());
  return list;
}

std::string BashCompletion(const CLI::App& app) {
  std::vector<std::string> commands;
  std::vector<std::string> valued;
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_items_expected_min() > 0)
      for (const std::string& name : option->get_lnames()) valued.push_back("--" + name);
  }
  std::string perCommand;
  for (const CLI::App* command : app.get_subcommands({})) {
    commands.push_back(command->get_name());
    perCommand +=
        fmt::format("    {}) options=\"{}\" ;;\n", command->get_name(), Joined(LongNames(*command)));
  }
  std::string skip = valued.empty() ? "--root" : Joined(valued);
  std::replace(skip.begin(), skip.end(), ' ', '|');
  return fmt::format(R"(# bash completion for typedata; made by the tool from its own commands and options.
_typedata() {{
  local cur=${{COMP_WORDS[COMP_CWORD]}} prev=${{COMP_WORDS[COMP_CWORD-1]}}
  local globals="{globals}"
  case $prev in
{values}  esac
  local command="" i
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${{COMP_WORDS[i]}} in
      {skip}) ((i++)) ;;
      -*) ;;
      *) command=${{COMP_WORDS[i]}}; break ;;
    esac
  done
  local options=""
  case $command in
    "") COMPREPLY=($(compgen -W "{commands} $globals" -- "$cur")); return ;;
{perCommand}  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options $globals" -- "$cur"))
  elif [[ $command == import ]]; then
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}}
complete -F _typedata typedata
)",
                     fmt::arg("globals", Joined(LongNames(app))), fmt::arg("values", kValueCompletions),
                     fmt::arg("skip", skip), fmt::arg("commands", Joined(commands)),
                     fmt::arg("perCommand", perCommand));
}

}  // namespace tool
