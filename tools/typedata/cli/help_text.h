// The help's own paragraphs: each command's examples, the global options,
// the exit statuses, the environment and the files the tool uses. The
// man page and the bash completion are made from the help.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace tool {

// "Examples:" and a command's examples, one a line; for "" the main help's
// (the first of each command).
std::string ExamplesOf(const std::string& command);

// "Global options (before or after the command):" and the main app's
// options, as each command's help lists them.
std::string GlobalOptionsOf(const CLI::App& app);

// The exit statuses, the environment and the files: sections of the main
// help (and of the man page).
std::string ExitStatusEnvironmentFiles();

// The exit statuses in one paragraph, for each command's help.
std::string ExitStatusInBrief();

}  // namespace tool
