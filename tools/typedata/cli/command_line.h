// The command line's habits: which command was asked for, the nearest
// command to a mistyped one, the help's plain placeholders, and the bash
// completion script, all from the tool's own description of its commands
// and options.
#ifndef TOOLS_TYPEDATA_CLI_COMMAND_LINE_H
#define TOOLS_TYPEDATA_CLI_COMMAND_LINE_H

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

namespace tool {

// The words of the command line that are neither options nor the main
// app's options' values: the command, then its arguments.
std::vector<std::string> PlainWords(const CLI::App& app, int argc, char** argv);

// The first of PlainWords ("" when there is none).
std::string CommandWord(const CLI::App& app, int argc, char** argv);

// Whether `word` is among the command line's words before a "--".
bool HasWord(int argc, char** argv, const std::string& word);

// The command as given, for the tree's history: the words after the tool's
// name without the options that say where and by whom (--root, --machine,
// --user, --reason, --checked-by, --json); a word with a blank or a quote
// quoted.
std::string CommandWords(int argc, char** argv);

// Whether the command line asks for help or the version.
bool AsksForHelpOrVersion(int argc, char** argv);

// "  demo      the operator's day ...", a line a command.
std::string CommandList(const CLI::App& app);

// The command whose name is nearest a mistyped word (at most two letters
// added, left out, changed or swapped, and fewer than half of it); "" when
// none is near.
std::string NearestCommand(const CLI::App& app, const std::string& word);

// Help that names an option's value by its option text (--format json|csv)
// and a positional argument by its name alone, without the parser's own
// placeholders (TEXT, INT, :FILE, :{json,csv}).
std::shared_ptr<CLI::Formatter> PlainHelp();

// A bash completion script for the tool: its commands, their options, the
// values that some options take, and from the tree (--root or the current
// folder) type numbers and config prefixes.
std::string BashCompletion(const CLI::App& app);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CLI_COMMAND_LINE_H
