#include "cli/command_line.h"

#include <fmt/core.h>

#include <algorithm>
#include <map>
#include <set>

namespace tool {
namespace {

// Whether an option of the main app takes a value (and so the next word is
// not a command).
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
    if (option->get_group().empty() || option->get_positional()) continue;  // hidden
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
  }
  return names;
}

// "-o|--output".
std::string Pattern(const CLI::Option& option) {
  std::string pattern;
  for (const std::string& name : option.get_snames()) pattern += (pattern.empty() ? "-" : "|-") + name;
  for (const std::string& name : option.get_lnames()) pattern += (pattern.empty() ? "--" : "|--") + name;
  return pattern;
}

std::string Joined(const std::vector<std::string>& words, const char* between = " ") {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : between) + word;
  return text;
}

// What the shell offers for a value named by its placeholder: a type
// number, a config prefix, a file, a folder, or one of the words of
// "json|csv"; "" for a value it cannot know (a new name, a free number).
std::string Offer(const std::string& placeholder) {
  if (placeholder == "N" || placeholder == "M") return "_typedata_offer type";
  if (placeholder == "PREFIX") return "_typedata_offer prefix";
  if (placeholder == "FILE") return "_typedata_offer file";
  if (placeholder == "DIR") return "_typedata_offer dir";
  if (placeholder.find('|') != std::string::npos) {
    std::string words = placeholder;
    std::replace(words.begin(), words.end(), '|', ' ');
    return "_typedata_offer words " + words;
  }
  return "";
}

constexpr const char* kScript =
    R"script(# bash completion for typedata; made by the tool from its own commands and options.
_typedata_root() {{
  local i root=.
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${{COMP_WORDS[i]}} in
      --root) root=${{COMP_WORDS[i+1]}} ;;
      --root=*) root=${{COMP_WORDS[i]#--root=}} ;;
    esac
  done
  printf '%s\n' "${{root/#\~/$HOME}}"
}}
# what: type (the tree's type numbers), prefix (the config prefixes of the
# type in $number, else of type 0), file, dir, or words WORD...
_typedata_offer() {{
  local what=$1 root folder file name
  shift
  case $what in
    type)
      root=$(_typedata_root)
      for folder in "$root"/type/[0-9][0-9][0-9][0-9]; do
        [[ -d $folder ]] && name=${{folder##*/}} && printf '%d\n' "$((10#$name))"
      done ;;
    prefix)
      root=$(_typedata_root)
      [[ $number =~ ^[0-9]{{1,4}}$ ]] || number=0
      printf -v folder '%s/type/%04d' "$root" "$((10#$number))"
      for file in "$folder"/*.[Dd][Aa][Tt]; do
        [[ -f $file ]] || continue
        name=${{file##*/}}
        name=${{name%.*}}
        printf '%s\n' "${{name%????}}"
      done ;;
    words) printf '%s\n' "$@" ;;
  esac
}}
_typedata() {{
  local cur=${{COMP_WORDS[COMP_CWORD]}} prev=${{COMP_WORDS[COMP_CWORD-1]}}
  local globals="{globals}"
  local command="" number="" i
  local -a words=()
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${{COMP_WORDS[i]}} in
      {valued}) ((i++)) ;;
      -*) ;;
      *) if [[ -z $command ]]; then command=${{COMP_WORDS[i]}}; else words+=("${{COMP_WORDS[i]}}"); fi ;;
    esac
  done
  number=${{words[0]}}
  local offer=""
  case $prev in
{values}  esac
  local options="" positionals=""
  if [[ -z $offer ]]; then
    case $command in
      "") COMPREPLY=($(compgen -W "{commands} help $globals" -- "$cur")); return ;;
      help) ((${{#words[@]}} == 0)) && COMPREPLY=($(compgen -W "{commands}" -- "$cur")); return ;;
{perCommand}    esac
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W "$options $globals" -- "$cur"))
      return
    fi
    local -a slots=($positionals)
    offer=${{slots[${{#words[@]}}]}}
    [[ $offer == - ]] && offer=""
  fi
  case $offer in
    "") ;;
    file) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
    dir) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
    *) COMPREPLY=($(compgen -W "$(_typedata_offer $offer)" -- "$cur")) ;;
  esac
}}
complete -F _typedata typedata
)script";

}  // namespace

std::vector<std::string> PlainWords(const CLI::App& app, int argc, char** argv) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") {
      words.insert(words.end(), argv + i + 1, argv + argc);
      break;
    }
    if (word.empty() || word[0] != '-') {
      words.push_back(word);
    } else if (TakesValue(app, word)) {
      ++i;
    }
  }
  return words;
}

std::string CommandWord(const CLI::App& app, int argc, char** argv) {
  const std::vector<std::string> words = PlainWords(app, argc, argv);
  return words.empty() ? "" : words.front();
}

bool HasWord(int argc, char** argv, const std::string& word) {
  for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) {
    if (argv[i] == word) return true;
  }
  return false;
}

bool AsksForHelpOrVersion(int argc, char** argv) {
  return HasWord(argc, argv, "--help") || HasWord(argc, argv, "-h") || HasWord(argc, argv, "--version");
}

std::string CommandList(const CLI::App& app) {
  std::size_t width = 0;
  for (const CLI::App* command : app.get_subcommands({})) width = std::max(width, command->get_name().size());
  std::string list;
  for (const CLI::App* command : app.get_subcommands({}))
    list += fmt::format("  {:<{}}  {}\n", command->get_name(), width, command->get_description());
  return list;
}

std::string NearestCommand(const CLI::App& app, const std::string& word) {
  // Optimal string alignment distance: a swap of two neighbours is one step.
  auto distance = [](const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
      for (std::size_t j = 1; j <= b.size(); ++j) {
        d[i][j] =
            std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
          d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
    return d[a.size()][b.size()];
  };
  std::string lower = word;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string nearest;
  std::size_t best = 3;  // at most two steps
  for (const CLI::App* command : app.get_subcommands({})) {
    const std::size_t steps = distance(lower, command->get_name());
    if (steps < best && 2 * steps < std::max(lower.size(), command->get_name().size())) {
      best = steps;
      nearest = command->get_name();
    }
  }
  return nearest;
}

std::shared_ptr<CLI::Formatter> PlainHelp() {
  class Plain : public CLI::Formatter {
   public:
    std::string make_option_opts(const CLI::Option* option) const override {
      if (!option->get_option_text().empty()) return " " + option->get_option_text();
      // A positional argument's name is its placeholder; the usage line
      // shows the optional ones in brackets. A flag takes nothing.
      if (option->get_positional() || option->get_type_size() == 0) return "";
      return CLI::Formatter::make_option_opts(option);
    }
  };
  auto help = std::make_shared<Plain>();
  help->column_width(26);
  return help;
}

std::string BashCompletion(const CLI::App& app) {
  std::vector<std::string> commands;
  std::set<std::string> valued;
  std::map<std::string, std::string> offers;  // by option pattern, first met
  std::vector<std::string> order;
  auto note = [&](const CLI::App& from) {
    for (const CLI::Option* option : from.get_options()) {
      if (option->get_positional() || option->get_items_expected_min() == 0) continue;
      const std::string pattern = Pattern(*option);
      valued.insert(pattern);
      if (offers.count(pattern)) continue;
      const std::string placeholder =
          option->get_option_text().empty() ? option->get_type_name() : option->get_option_text();
      offers[pattern] = Offer(placeholder);
      order.push_back(pattern);
    }
  };
  note(app);
  std::string perCommand;
  for (const CLI::App* command : app.get_subcommands({})) {
    commands.push_back(command->get_name());
    note(*command);
    std::vector<std::string> slots;
    for (const CLI::Option* option : command->get_options()) {
      if (!option->get_positional()) continue;
      // One slot a value (a list of values: its first).
      const std::string offer = Offer(option->get_name(true, false));
      slots.push_back(offer.empty() ? "-" : offer.substr(offer.find(' ') + 1));
    }
    perCommand += fmt::format("      {}) options=\"{}\"; positionals=\"{}\" ;;\n", command->get_name(),
                              Joined(LongNames(*command)), Joined(slots));
  }
  std::string values;
  for (const std::string& pattern : order) {
    const std::string& offer = offers[pattern];
    // An option whose value the shell cannot know offers nothing, rather
    // than the command's positional arguments.
    values += fmt::format("    {}) offer=\"{}\" ;;\n", pattern,
                          offer.empty() ? "none" : offer.substr(offer.find(' ') + 1));
  }
  return fmt::format(kScript, fmt::arg("globals", Joined(LongNames(app))), fmt::arg("values", values),
                     fmt::arg("valued", Joined({valued.begin(), valued.end()}, "|")),
                     fmt::arg("commands", Joined(commands)), fmt::arg("perCommand", perCommand));
}

std::string CommandWords(int argc, char** argv) {
  static const std::set<std::string> withValue = {"--root", "--machine", "--user", "--reason",
                                                  "--checked-by"};
  std::string words;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--json") continue;
    if (withValue.count(word)) {
      ++i;  // and its value
      continue;
    }
    const std::size_t equals = word.find('=');
    if (word.rfind("--", 0) == 0 && equals != std::string::npos && withValue.count(word.substr(0, equals)))
      continue;
    std::string shown = word;
    if (word.empty() || word.find_first_of(" \t'\"") != std::string::npos) {
      shown = "'";
      for (char c : word) shown += c == '\'' ? std::string("'\\''") : std::string(1, c);
      shown += "'";
    }
    words += (words.empty() ? "" : " ") + shown;
  }
  return words;
}

}  // namespace tool
