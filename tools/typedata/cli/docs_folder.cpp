#include "cli/docs_folder.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tool {
namespace {

std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  std::wstring name(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
  if (length == 0 || length >= name.size()) return {};
  name.resize(length);
  return std::filesystem::path(name).parent_path();
#else
  std::error_code error;
  auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program.parent_path();
#endif
}

}  // namespace

std::filesystem::path DocsFolder(std::initializer_list<const char*> fromProgram,
                                 const std::filesystem::path& otherwise) {
  const auto program = ProgramFolder();
  if (program.empty()) return otherwise;
  for (const char* relative : fromProgram) {
    std::error_code error;
    auto folder = std::filesystem::weakly_canonical(program / relative, error);
    if (!error && std::filesystem::is_regular_file(folder / "glossary.md", error)) return folder;
  }
  return otherwise;
}

}  // namespace tool
