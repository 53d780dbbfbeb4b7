// Infers a machine from a tree: the file names give the configs, the
// catalogue (read by the simulated host, on a provisional machine made of
// those configs) gives the types' names, and one scan of each file gives
// the rest.
#include "infer/infer.h"

#include <fmt/core.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string_view>
#include <tuple>

#include "core/open_file.h"
#include "infer/decide.h"
#include "infer/tree_listing.h"
#include "core/session.h"
#include "start/start.h"
#include "typedata.h"

namespace fs = std::filesystem;

namespace tool::infer {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct CatalogueType {
  int number = 0;
  std::string name;
  std::vector<std::string> parts;
};

// The catalogue as the host reads it at its start, on a machine that has
// the configs found. The current directory is the type folder meanwhile.
std::vector<CatalogueType> ReadCatalogue(const TreeListing& listing, const mmisim::Machine& provisional,
                                         std::vector<Conflict>* conflicts) {
  std::vector<CatalogueType> types;
  std::error_code failure;
  const fs::path before = fs::current_path(failure);
  fs::current_path(listing.typeFolder, failure);
  if (failure) {
    conflicts->push_back({"type", 0, "cannot enter the type folder: " + failure.message()});
    return types;
  }
  mmisim::Start(provisional);
  mmisim::CatalogueReading reading;
  mmisim::ReadCatalogueFile(&reading);
  for (int record : reading.skippedRecords) {
    conflicts->push_back(
        {"type/mmi.typ", 0,
         fmt::format("record {} (counted in records) is not understood: its type is left out", record)});
  }
  std::map<int, int> seen;
  for (const TypeRecord* record = GetMMITypeInfo()->typeList; record; record = record->next) {
    CatalogueType type;
    type.number = record->typeNo;
    type.name = std::string(record->name, strnlen(record->name, TD_TYPE_NAME_SIZE));
    type.parts = PartsOf(type.name);
    if (++seen[type.number] == 2) {
      conflicts->push_back({"type/mmi.typ", 0, fmt::format("type number {} is listed twice", type.number)});
    }
    if (!type.name.empty() && type.parts.empty()) {
      conflicts->push_back(
          {"type/mmi.typ", 0, fmt::format("type {}: the name '{}' is malformed", type.number, type.name)});
    }
    types.push_back(std::move(type));
  }
  mmisim::Stop();
  fs::current_path(before, failure);
  return types;
}

// Groups the files by prefix, letter case aside; each config is spelled as
// most of its files spell it.
std::map<std::string, ConfigStats> GroupByPrefix(const TreeListing& listing,
                                                 std::vector<Conflict>* conflicts) {
  std::map<std::string, ConfigStats> configs;
  for (const DataFile& file : listing.files) ++configs[Lower(file.prefix)].spellings[file.prefix];
  for (auto& [key, stats] : configs) {
    int most = 0;
    for (const auto& [spelling, files] : stats.spellings) {
      if (files > most) stats.prefix = spelling, most = files;
    }
  }
  for (const DataFile& file : listing.files) {
    const ConfigStats& stats = configs[Lower(file.prefix)];
    if (file.prefix != stats.prefix) {
      conflicts->push_back({file.file, 0,
                            fmt::format("prefix spelled '{}' here, '{}' in {} other files", file.prefix,
                                        stats.prefix, stats.spellings.at(stats.prefix))});
    }
  }
  return configs;
}

void ReadFiles(const TreeListing& listing, std::map<std::string, ConfigStats>* configs,
               Inference* inference) {
  // The listing goes folder by folder: a second file of a config can only
  // be in the same folder, so the prefixes seen are kept for one folder.
  std::map<std::string, std::string> taken;  // prefix key -> first file, in this folder
  int folder = -1;
  std::string bytes;
  FileFacts facts;
  for (const DataFile& file : listing.files) {
    const std::string key = Lower(file.prefix);
    if (file.typeNo != folder) taken.clear(), folder = file.typeNo;
    const auto [first, fresh] = taken.emplace(key, file.file);
    if (!fresh) {
      inference->conflicts.push_back(
          {file.file, 0,
           fmt::format(
               "a second file of config {} for type {} (also {}): the service cannot tell which to read",
               (*configs)[key].prefix, file.typeNo, first->second)});
      continue;
    }
    if (FileError failure; !ReadWholeFile(file.path, kTypeDataFile, &bytes, &failure)) {
      inference->conflicts.push_back({file.file, 0, "the file cannot be read: " + failure.reason});
      continue;
    }
    ++inference->files;
    inference->bytes += static_cast<long long>(bytes.size());
    FileRecord record;
    record.typeNo = file.typeNo;
    record.hash = std::hash<std::string_view>()(bytes);
    record.file = file.file;
    ScanFile(bytes, &facts);
    for (const LineProblem& problem : facts.problems)
      inference->conflicts.push_back({file.file, problem.line, problem.problem});
    AddFile(facts, record, &(*configs)[key]);
  }
}

// As many name parts as the names have, but no more than keep each part
// text at one position.
int DecideNameParts(const std::vector<CatalogueType>& types, int shared, Evidence* evidence) {
  int longest = 0;
  for (const CatalogueType& type : types) longest = std::max(longest, static_cast<int>(type.parts.size()));
  if (longest == 0) {
    evidence->text = "assumed: no type has a name";
    evidence->assumed = true;
    return -1;
  }
  int parts = longest;
  std::string clash;
  while (parts > shared && parts > 1) {
    std::map<std::string, int> position;
    for (const CatalogueType& type : types) {
      for (int p = 0; p < std::min(parts, static_cast<int>(type.parts.size())); ++p) {
        const auto [at, fresh] = position.emplace(type.parts[p], p + 1);
        if (!fresh && at->second != p + 1 && clash.empty())
          clash = fmt::format("'{}' stands at parts {} and {}", type.parts[p], at->second, p + 1);
      }
    }
    if (clash.empty()) break;
    --parts;
  }
  evidence->text = fmt::format("the longest names have {} parts", longest);
  if (parts < longest) evidence->text += fmt::format("; {}, so only {} are counted", clash, parts);
  return parts;
}

// A machine has at most 255 configs: those with the fewest files go.
void LeaveOutConfigsBeyondTheLimit(TreeListing* listing, std::map<std::string, ConfigStats>* configs,
                                   std::vector<Conflict>* conflicts) {
  constexpr std::size_t kMaxConfigs = 255;
  if (configs->size() <= kMaxConfigs) return;
  std::map<std::string, int> files;
  for (const DataFile& file : listing->files) ++files[Lower(file.prefix)];
  std::vector<std::pair<int, std::string>> bySize;
  bySize.reserve(files.size());
  for (const auto& [key, count] : files) bySize.emplace_back(-count, key);
  std::sort(bySize.begin(), bySize.end());
  for (std::size_t i = kMaxConfigs; i < bySize.size(); ++i) {
    const std::string& key = bySize[i].second;
    conflicts->push_back({"type", 0,
                          fmt::format("more than {} prefixes: config {} ({} files) is left out", kMaxConfigs,
                                      (*configs)[key].prefix, -bySize[i].first)});
    configs->erase(key);
  }
  auto gone = [&](const DataFile& file) { return configs->count(Lower(file.prefix)) == 0; };
  listing->files.erase(std::remove_if(listing->files.begin(), listing->files.end(), gone),
                       listing->files.end());
}

void Assume(const mmisim::Machine& sample, Inference* inference) {
  mmisim::Machine& machine = inference->machine;
  machine.localeText = sample.localeText;
  machine.offlineEnabled = sample.offlineEnabled;
  machine.typeListOrder = sample.typeListOrder;
  machine.hpcOnline = sample.hpcOnline;
  machine.boards = sample.boards;
  machine.namePartCount = sample.namePartCount;
  inference->locale = {"assumed: the files do not tell the locale (names split at '+' only)", true};
  inference->offline = {"assumed: offline copies leave no trace in the files", true};
  inference->listOrder = {"assumed: the files do not tell how the combo box lists", true};
  inference->hpc = {"assumed: the files do not tell the HPC link", true};
  inference->boards = {"assumed: the files do not tell the interface boards", true};
}

}  // namespace

bool InferTree(const std::string& root, Inference* inference, std::string* error) {
  *inference = Inference();
  TreeListing listing;
  if (!ListTree(root, &listing, &inference->conflicts, &inference->notes, error)) return false;
  std::map<std::string, ConfigStats> configs = GroupByPrefix(listing, &inference->conflicts);
  LeaveOutConfigsBeyondTheLimit(&listing, &configs, &inference->conflicts);

  const mmisim::Machine sample = mmisim::SampleMachine();
  Assume(sample, inference);
  mmisim::Machine provisional = inference->machine;
  for (const auto& [key, stats] : configs) {
    mmisim::MachineConfig config;
    config.configNo = static_cast<int>(provisional.configs.size()) + 1;
    config.prefix = stats.prefix;
    provisional.configs.push_back(config);
  }
  std::vector<CatalogueType> types;
  if (listing.catalogue) {
    types = ReadCatalogue(listing, provisional, &inference->conflicts);
  } else {
    inference->conflicts.push_back(
        {"type/mmi.typ", 0,
         "there is no catalogue: the types' names, and with them shared configs, are unknown"});
  }
  inference->types = static_cast<int>(types.size());

  ReadFiles(listing, &configs, inference);

  TypeParts parts;
  std::map<int, bool> listed;
  for (const CatalogueType& type : types) {
    listed[type.number] = true;
    if (!type.parts.empty()) parts[type.number] = type.parts;
  }
  for (int folder : listing.folders) {
    if (!listed.count(folder))
      inference->notes.push_back(
          fmt::format("type/{:04d}: not in the catalogue; its files were read all the same", folder));
  }

  int shared = 0;
  for (auto& [key, stats] : configs) {
    std::map<int, bool> held;
    for (const FileRecord& record : stats.records) held[record.typeNo] = true;
    for (const auto& [number, yes] : listed) {
      if (!held.count(number)) {
        inference->conflicts.push_back(
            {fmt::format("type/{:04d}/{}{:04d}.DAT", number, stats.prefix, number), 0,
             fmt::format("type {}: the type data file of config {} is missing", number, stats.prefix)});
      }
    }
    mmisim::MachineConfig config = provisional.configs[inference->machine.configs.size()];
    ConfigEvidence evidence;
    evidence.number = {
        "number and place in the config list guessed: the files do not tell them (prefixes in "
        "alphabetical order)",
        false};
    DecideKinds(stats, &config, &evidence, &inference->conflicts);
    config.partNo = DecidePart(stats, parts, &evidence.part, &inference->conflicts);
    // A sharing the files cannot tell is said where it is read, not only in the description.
    if (evidence.part.assumed)
      inference->notes.push_back(fmt::format("config {}: {}", stats.prefix, evidence.part.text));
    shared = std::max(shared, config.partNo);
    inference->machine.configs.push_back(std::move(config));
    inference->configs.push_back(std::move(evidence));
  }
  const int nameParts = DecideNameParts(types, shared, &inference->nameParts);
  if (nameParts >= 0) inference->machine.namePartCount = nameParts;
  std::stable_sort(inference->conflicts.begin(), inference->conflicts.end(),
                   [](const Conflict& a, const Conflict& b) {
                     return std::tie(a.file, a.line) < std::tie(b.file, b.line);
                   });
  return true;
}

}  // namespace tool::infer
