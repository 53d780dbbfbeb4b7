// Where the documents that the tool's help names (glossary.md, json.md)
// are: an installed tool names its installed copies.
#pragma once

#include <filesystem>
#include <initializer_list>

namespace tool {

// The first of `fromProgram` (folders relative to the running program's
// folder) that holds glossary.md, as an absolute path; `otherwise` when
// none does or the program's place is unknown (a tool run from its build
// folder names where installing puts them).
std::filesystem::path DocsFolder(std::initializer_list<const char*> fromProgram,
                                 const std::filesystem::path& otherwise);

}  // namespace tool
