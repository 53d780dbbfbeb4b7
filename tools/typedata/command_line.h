// The command line's habits: which command was asked for, the list of
// commands, and the bash completion script, all from the tool's own
// description of its commands and options.
#ifndef TOOLS_TYPEDATA_COMMAND_LINE_H
#define TOOLS_TYPEDATA_COMMAND_LINE_H

#include <CLI/CLI.hpp>
#include <string>

namespace tool {

// The first word of the command line that is neither an option nor an
// option's value ("" when there is none).
std::string CommandWord(const CLI::App& app, int argc, char** argv);

// Whether the command line asks for help or the version.
bool AsksForHelpOrVersion(int argc, char** argv);

// "  demo      the operator's day ...", a line a command.
std::string CommandList(const CLI::App& app);

// A bash completion script for the tool: its commands, their options, and
// the values that some options take.
std::string BashCompletion(const CLI::App& app);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_COMMAND_LINE_H
