#include "core/revision.h"

#include <fmt/core.h>

#include <cstdint>
#include <filesystem>

#include "core/folded.h"
#include "core/open_file.h"
#include "typedata.h"

namespace tool {

std::string RevisionOf(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return fmt::format("{:016x}", hash);
}

namespace {

// The file as the service finds it: its name in any letter case.
std::string FoundFile(const std::string& folder, const std::string& name) {
  const std::string wanted = Folded(name);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (Folded(entry.path().filename().string()) == wanted) return entry.path().generic_string();
  }
  return folder + "/" + name;
}

}  // namespace

std::vector<FileRevision> TypeRevisions(const Session& session, int typeNo) {
  std::vector<FileRevision> files;
  const std::string folder = session.TypeFolderOf(typeNo);
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  for (int p = 0; catalogue && p < catalogue->configCount; ++p) {
    ConfigRecord* config = nullptr;
    char name[TD_DAT_NAME_SIZE] = "";
    if (SearchMMIConfigIndex(p + 1, &config) < 0 || !config || MakeDatFileName(name, typeNo, p) != 0)
      continue;
    FileRevision file{config->name, fmt::format("{:04d}/{}", typeNo, name), ""};
    std::string bytes;
    FileError failure;
    if (ReadWholeFile(FoundFile(folder, name), kTypeDataFile, &bytes, &failure))
      file.revision = RevisionOf(bytes);
    files.push_back(std::move(file));
  }
  return files;
}

std::string CombinedRevision(const std::vector<FileRevision>& files) {
  std::string all;
  for (const FileRevision& file : files) all += file.file + "=" + file.revision + "\n";
  return RevisionOf(all);
}

void RevisionMemory::Keep(const std::string& file, const std::string& revision, const ConfigValues& values) {
  if (Find(file, revision)) return;
  if (kept_.size() >= kMost) kept_.pop_front();
  kept_.push_back({file, revision, values});
}

const ConfigValues* RevisionMemory::Find(const std::string& file, const std::string& revision) const {
  for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept) {
    if (kept->file == file && kept->revision == revision) return &kept->values;
  }
  return nullptr;
}

std::vector<ChangedValue> ChangedValues(const ConfigValues& seen, const ConfigValues& now) {
  std::vector<ChangedValue> changed;
  for (int k = 0; k < 5; ++k) {
    const KindValues& after = now.kinds[k];
    const KindValues& before = seen.kinds[k];
    for (std::size_t i = 0; i < after.items.size(); ++i) {
      const ItemValue& item = after.items[i];
      if (!item.described) continue;
      const char kind = kKindLetters[k];
      if (i < before.items.size() && ShownValue(before.items[i], kind) == ShownValue(item, kind)) continue;
      ChangedValue value{now.prefix, kind, item.number, std::nullopt, item};
      if (i < before.items.size()) value.seen = before.items[i];
      changed.push_back(std::move(value));
    }
  }
  return changed;
}

}  // namespace tool
