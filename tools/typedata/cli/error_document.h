// The document a command prints with --json when it fails without one of
// its own: what went wrong, in the words it said on stderr.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace tool {

// What kind of failure, by the exit status and where it happened.
enum class FailureKind {
  kUsage,    // the command line could not be understood (exit 2)
  kRefused,  // the command refused or did not find what it was given (exit 1)
  kFailed,   // an input/output error or an input the command cannot use (exit 2)
  kFault,    // the command stopped on a failure of typedata itself (exit 2)
};

// The file (and line) a message is about: the first word of it that names a
// file and is followed by ": " or ":LINE: " ("twice.csv:3: TOOL D:1 is given
// again", "type 1 could not be saved: type/0001/MAIN0001.DAT: File too
// large"). A word names a file when it holds a '/' or '\' or ends in an
// extension; a file name with a space in it is not found.
struct FilePlace {
  std::string file;
  std::optional<long> line;
};
std::optional<FilePlace> FileNamedIn(const std::string& message);

// {"schemaVersion": 1, "command": ..., "error": {"kind", "message", "file",
// "line"}}; command null when the command line named none the tool knows.
nlohmann::ordered_json ErrorDocument(const std::string& command, FailureKind kind,
                                     const std::string& message);

}  // namespace tool
