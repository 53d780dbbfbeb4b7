#include "core/session.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/atomic_file.h"
#include "core/folded.h"
#include "core/journal.h"
#include "core/open_file.h"
#include "core/type_files.h"
#include "start/start.h"
#include "typedata.h"

namespace fs = std::filesystem;

namespace tool {

std::vector<std::string> PartsOf(const std::string& name) {
  std::vector<std::string> parts;
  if (name.size() > TD_TYPE_NAME_MAX) return parts;
  char part[TD_TYPE_NAME_SIZE];
  const int count = SeparateTypeName(const_cast<char*>(name.c_str()), 1, part);
  for (int p = 1; p <= count; ++p) {
    SeparateTypeName(const_cast<char*>(name.c_str()), p, part);
    parts.emplace_back(part);
  }
  return parts;
}

Session::~Session() {
  if (!open_) return;
  mmisim::Stop();
  std::error_code ignored;
  fs::current_path(previousDirectory_, ignored);
}

bool Session::LoadMachine(const GlobalOptions& options, Access access, mmisim::Machine* machine,
                          std::string* error) {
  std::string kept;
  FileError failure;
  const bool remembered = ReadWholeFile(MachinePath(), kMachineFile, &kept, &failure);
  if (!remembered && !failure.missing) {
    *error = failure.Message();
    return false;
  }
  if (options.machine.empty()) {
    if (!remembered) {
      *machine = mmisim::SampleMachine();
      machineText_ = mmisim::SampleMachineText();
      return true;
    }
    machineText_ = kept;
    return mmisim::ParseMachine(kept, MachinePath(), machine, error);
  }
  if (!ReadWholeFile(options.machine, kMachineFile, &machineText_, &failure)) {
    *error = options.machine + ":0: cannot open the machine description: " + failure.reason;
    return false;
  }
  if (!mmisim::ParseMachine(machineText_, options.machine, machine, error)) return false;
  if (kept == machineText_) return true;
  if (!remembered) {
    rememberMachine_ = access == Access::kChange;  // a tree made before machines were kept
    return true;
  }
  if (!options.force) {
    *error = fmt::format(
        "{} differs from the machine this tree was made with (kept in {}); leave --machine out to use that "
        "one, or give --force to use this one{}",
        options.machine, MachinePath(),
        access == Access::kChange ? " and keep it with the tree instead" : "");
    return false;
  }
  rememberMachine_ = access == Access::kChange;
  return true;
}

bool Session::RememberMachine(std::string* error) const {
  if (!lock_ || !lock_->exclusive()) {
    *error = "the machine is kept with the tree only by a command that changes it";
    return false;
  }
  return ReplaceFileAtomically(MachinePath(), machineText_, error);
}

bool Session::Open(const GlobalOptions& options, Access access, bool makeTypeFolder, std::string* error) {
  std::error_code failure;
  const fs::path root = fs::absolute(options.root, failure);
  if (!failure && makeTypeFolder) fs::create_directories(root, failure);
  if (failure || !fs::is_directory(root)) {
    *error = options.root + ": no such folder";
    return false;
  }
  root_ = root.lexically_normal().generic_string();
  if (root_.size() > 1 && root_.back() == '/') root_.pop_back();

  // The lock lives in the type folder: made first where a tree is made, and
  // no lock file is left in a folder that holds no tree.
  if (makeTypeFolder) fs::create_directories(TypeFolder(), failure);
  if (!fs::is_directory(TypeFolder())) {
    *error = TypeFolder() + ": no type folder here (run 'typedata init' first, or give --root)";
    return false;
  }
  lock_ = access == Access::kChange ? TreeLock::Exclusive(root_, error, &busy_)
                                    : TreeLock::Shared(root_, error, &busy_);
  if (!lock_) return false;
  // A command cut short is put back before this one looks at the tree.
  if (!RollBackInterrupted(root_, TypeFolder(), &lock_, &rolledBack_, error)) {
    busy_ = !lock_;
    return false;
  }
  mmisim::Machine machine;
  if (!LoadMachine(options, access, &machine, error)) return false;
  // The host reads the catalogue as it starts, and would wait on a FIFO or
  // read a device without end.
  if (!CheckCatalogues(error)) return false;
  std::string state;
  FileError stateFailure;
  if (!ReadWholeFile(StatePath(), kStateFile, &state, &stateFailure) && !stateFailure.missing) {
    *error = stateFailure.Message() + " (the current type; remove the file to forget it)";
    return false;
  }

  previousDirectory_ = fs::current_path().string();
  fs::current_path(TypeFolder(), failure);
  if (failure) {
    *error = TypeFolder() + ": " + failure.message();
    return false;
  }
  open_ = true;
  // Every host call kept in memory is for tests; a tool run over a large
  // tree would hold millions of them.
  mmisim::SetRecordingDefault(false);
  mmisim::StartHost(machine);
  if (rememberMachine_ && CatalogueExists() && !RememberMachine(error)) return false;

  const nlohmann::json saved = nlohmann::json::parse(state, nullptr, /*allow_exceptions=*/false);
  if (saved.is_object() && saved.contains("current") && saved["current"].is_number_integer()) {
    const int number = saved["current"].get<int>();
    if (TypeExists(number)) {
      current_ = number;
      MakeCurrentInHost(number);
    }
  }
  return true;
}

bool Session::CheckCatalogues(std::string* error) const {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(TypeFolder(), ignored)) {
    std::string name = entry.path().filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    FileError failure;
    if (name == "mmi.typ" && !CheckReadable(entry.path().generic_string(), kCatalogueFile, &failure) &&
        !failure.missing) {
      *error = failure.Message();
      return false;
    }
  }
  return true;
}

bool Session::TypeFilesReadable(int typeNo, std::string* error) const {
  return CheckTypeDataFiles(TypeFolderOf(typeNo), typeNo, error);
}

std::string Session::CataloguePath() const {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(TypeFolder(), ignored)) {
    std::string name = entry.path().filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "mmi.typ") return entry.path().generic_string();
  }
  return TypeFolder() + "/mmi.typ";
}

bool Session::CatalogueExists() const { return fs::exists(CataloguePath()); }

void Session::MakeCurrentInHost(int typeNo) {
  SystemRecord* system = GetMMISystemStruc();
  char name[TD_TYPE_NAME_SIZE] = "";
  GetMMITypeNameAndStruc(typeNo, name, nullptr);
  system->currentTypeNo = static_cast<std::uint16_t>(typeNo);
  std::memcpy(system->currentTypeName, name, sizeof name);
}

bool Session::SetCurrent(int typeNo) {
  if (!TypeExists(typeNo)) return false;
  MakeCurrentInHost(typeNo);
  current_ = typeNo;
  SaveState();
  return true;
}

void Session::SaveState() const {
  std::string ignored;
  ReplaceFileAtomically(StatePath(), nlohmann::json{{"current", current_}}.dump() + "\n", &ignored);
}

std::vector<TypeInfo> Session::Types(bool sortedByName) const {
  std::vector<TypeInfo> types;
  for (const TypeRecord* record = GetMMITypeInfo()->typeList; record; record = record->next) {
    TypeInfo type;
    type.number = record->typeNo;
    type.name = std::string(record->name, strnlen(record->name, TD_TYPE_NAME_SIZE));
    type.parts = PartsOf(type.name);
    type.current = type.number == current_;
    types.push_back(std::move(type));
  }
  if (sortedByName) {
    std::stable_sort(types.begin(), types.end(),
                     [&](const TypeInfo& a, const TypeInfo& b) { return Folded(a.name) < Folded(b.name); });
  }
  return types;
}

bool Session::TypeExists(int typeNo) const {
  return typeNo >= 0 && typeNo <= TD_TYPE_NO_MAX && GetMMITypeNameAndStruc(typeNo, nullptr, nullptr) >= 0;
}

std::string Session::TypeName(int typeNo) const {
  char name[TD_TYPE_NAME_SIZE] = "";
  GetMMITypeNameAndStruc(typeNo, name, nullptr);
  return std::string(name, strnlen(name, sizeof name));
}

std::string Session::TypeFolderOf(int typeNo) const {
  if (typeNo < 0 || typeNo > 9999) return fmt::format("{}/{:04d}", TypeFolder(), typeNo);
  // Four digits put down by hand: check makes this path for every type.
  std::string folder = root_;
  folder += "/type/0000";
  for (std::size_t at = folder.size(); typeNo > 0; typeNo /= 10)
    folder[--at] = static_cast<char>('0' + typeNo % 10);
  return folder;
}

std::string Session::DataFile(int typeNo, const std::string& prefix) const {
  char name[64];
  std::snprintf(name, sizeof name, "/%04d/%s%04d.DAT", typeNo, prefix.c_str(), typeNo);
  return TypeFolder() + name;
}

}  // namespace tool
