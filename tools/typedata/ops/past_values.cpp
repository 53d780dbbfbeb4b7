#include "ops/past_values.h"

#include <fmt/core.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "core/open_file.h"
#include "start/start.h"

#ifdef TD_HAVE_HISTORY
#include "history/history.h"
#include "history/reading.h"
#endif

namespace fs = std::filesystem;

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

namespace {

// The names a catalogue may have in an entry (the service takes any
// letter case; these are the ones trees hold).
constexpr const char* kCatalogueNames[] = {"type/mmi.typ", "type/MMI.TYP", "type/Mmi.typ", "type/MMI.typ",
                                           "type/mmi.TYP"};

// A private folder for the scratch tree, or "" with error said.
std::string MakeScratch(std::string* error) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/typedata-past-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    *error = fmt::format("cannot make a scratch folder to read the history in ({})", pattern);
    return "";
  }
  return pattern;
}

// Scratch files need no durability: they are gone when the reader goes.
bool WriteFile(const std::string& path, const std::string& bytes, std::string* error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file) return true;
  *error = path + ": cannot be written";
  return false;
}

// Whether name is one the service could take for a data file of typeNo.
bool DataFileName(const std::string& name, int typeNo) {
  const std::string tail = fmt::format("{:04d}.dat", typeNo);
  if (name.size() <= tail.size() || name.find('/') != std::string::npos) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[name.size() - tail.size() + i])) != tail[i])
      return false;
  }
  return true;
}

}  // namespace

struct PastValues::State {
  std::shared_ptr<history::History> history;
  std::string scratch;  // the scratch tree's root
  bool hostOnScratch = false;
  std::string catalogue;  // what the host was last started with
  std::string machineText;
  // Each type folder's files as last written: a reading writes only what
  // differs (removing a folder costs more than reading the entry).
  std::map<int, std::map<std::string, std::string>> written;
};

PastValues::PastValues(Session& session, std::unique_ptr<State> state)
    : session_(session), state_(std::move(state)) {}

Result<std::unique_ptr<PastValues>> PastValues::Open(Session& session) {
  Result<std::shared_ptr<history::History>> opened = history::History::OpenExisting(session.root());
  if (!opened.ok()) {
    if (opened.refusal().kind == RefusalKind::kNotFound)
      return Refusal::Of(RefusalKind::kNotFound, "the tree at " + session.root() + " keeps no history");
    return opened.refusal();
  }
  auto state = std::make_unique<State>();
  state->history = opened.model();
  std::string error;
  state->scratch = MakeScratch(&error);
  if (state->scratch.empty()) return Refusal::Of(RefusalKind::kInputOutput, error);
  std::error_code failure;
  fs::create_directory(state->scratch + "/type", failure);
  if (failure) {
    fs::remove_all(state->scratch, failure);
    return Refusal::Of(RefusalKind::kInputOutput, "cannot make a scratch folder to read the history in");
  }
  return std::unique_ptr<PastValues>(new PastValues(session, std::move(state)));
}

PastValues::~PastValues() {
  std::error_code ignored;
  if (state_->hostOnScratch) {
    // The session's host back on its own tree, as Session::Open left it.
    mmisim::Machine machine = mmisim::SampleMachine();
    std::string error;
    if (!session_.machineText().empty()) mmisim::ParseMachine(session_.machineText(), "", &machine, &error);
    fs::current_path(session_.TypeFolder(), ignored);
    mmisim::StartHost(machine);
    if (session_.current() >= 0) session_.MakeCurrentInHost(session_.current());
  }
  fs::remove_all(state_->scratch, ignored);
}

std::shared_ptr<history::History> PastValues::history() const { return state_->history; }

Result<std::string> PastValues::Resolve(const std::string& when) const {
  return history::ResolveWhen(*state_->history, when);
}

Result<std::string> PastValues::FileAt(const std::string& revision, const std::string& path) const {
  return history::ReadFileAt(*state_->history, revision, path);
}

Result<TypeValues> PastValues::Load(const std::string& revision, int typeNo) {
  const history::History& kept = *state_->history;
  std::string catalogue;
  bool hasCatalogue = false;
  for (const char* name : kCatalogueNames) {
    Result<std::string> read = history::ReadFileAt(kept, revision, name);
    if (read.ok()) {
      catalogue = std::move(read.model());
      hasCatalogue = true;
      break;
    }
    if (read.refusal().kind != RefusalKind::kNotFound) return read.refusal();
  }
  if (!hasCatalogue)
    return Refusal::Of(RefusalKind::kNotFound,
                       fmt::format("the entry {} kept no catalogue", revision.substr(0, 12)));
  std::string machineText = session_.machineText();
  Result<std::string> machine = history::ReadFileAt(kept, revision, ".typedata-machine");
  if (machine.ok()) {
    machineText = std::move(machine.model());
  } else if (machine.refusal().kind != RefusalKind::kNotFound) {
    return machine.refusal();
  }

  const std::string typeFolder = state_->scratch + "/type";
  std::string error;
  std::error_code failure;
  if (!state_->hostOnScratch || catalogue != state_->catalogue || machineText != state_->machineText) {
    mmisim::Machine parsed = mmisim::SampleMachine();
    if (!machineText.empty() &&
        !mmisim::ParseMachine(machineText, fmt::format(".typedata-machine at {}", revision.substr(0, 12)),
                              &parsed, &error))
      return Refusal::Of(RefusalKind::kRefused, error);
    const std::string cataloguePath = typeFolder + "/mmi.typ";
    if (!WriteFile(cataloguePath, catalogue, &error)) return Refusal::Of(RefusalKind::kInputOutput, error);
    FileError unreadable;
    if (!CheckReadable(cataloguePath, kCatalogueFile, &unreadable))
      return Refusal::Of(RefusalKind::kRefused,
                         fmt::format("the catalogue at {}: {}", revision.substr(0, 12), unreadable.reason));
    fs::current_path(typeFolder, failure);
    if (failure) return Refusal::Of(RefusalKind::kInputOutput, typeFolder + ": " + failure.message());
    state_->hostOnScratch = true;
    mmisim::StartHost(parsed);
    state_->catalogue = std::move(catalogue);
    state_->machineText = std::move(machineText);
  }
  if (GetMMITypeNameAndStruc(typeNo, nullptr, nullptr) < 0)
    return Refusal::Of(RefusalKind::kNotFound,
                       fmt::format("the entry {} has no type {}", revision.substr(0, 12), typeNo));

  // The type's files as the entry kept them, and no other.
  const std::string folder = fmt::format("type/{:04d}", typeNo);
  const std::string scratchFolder = state_->scratch + "/" + folder;
  Result<std::vector<std::string>> files = history::ListFilesAt(kept, revision, folder);
  if (!files.ok()) return files.refusal();
  std::map<std::string, std::string> wanted;
  for (const std::string& path : files.model()) {
    const std::string name = path.substr(folder.size() + 1);
    // Only what the service could take for one of the type's data files
    // (PREFIXnnnn.DAT in any letter case): a folder, a note or a huge file
    // beside them is none of its values.
    if (!DataFileName(name, typeNo)) continue;
    Result<std::string> bytes = history::ReadFileAt(kept, revision, path);
    if (!bytes.ok()) return bytes.refusal();
    wanted.emplace(name, std::move(bytes.model()));
  }
  auto written = state_->written.find(typeNo);
  if (written == state_->written.end()) {
    fs::create_directory(scratchFolder, failure);
    if (failure) return Refusal::Of(RefusalKind::kInputOutput, scratchFolder + ": " + failure.message());
    written = state_->written.emplace(typeNo, std::map<std::string, std::string>{}).first;
  }
  std::map<std::string, std::string>& there = written->second;
  for (auto file = there.begin(); file != there.end();) {
    if (wanted.count(file->first)) {
      ++file;
      continue;
    }
    if (!fs::remove(scratchFolder + "/" + file->first, failure) && failure)
      return Refusal::Of(RefusalKind::kInputOutput, scratchFolder + ": " + failure.message());
    file = there.erase(file);
  }
  for (auto& [name, bytes] : wanted) {
    if (const auto same = there.find(name); same != there.end() && same->second == bytes) continue;
    std::string scratchFile = scratchFolder;
    scratchFile.append("/").append(name);
    there.erase(name);  // unknown until written whole
    if (!WriteFile(scratchFile, bytes, &error)) return Refusal::Of(RefusalKind::kInputOutput, error);
    there.emplace(name, std::move(bytes));
  }
  TypeValues values;
  if (!LoadType(typeNo, &values, &error))
    return Refusal::Of(RefusalKind::kRefused, fmt::format("at {}: {}", revision.substr(0, 12), error));
  return values;
}

#else

struct PastValues::State {};

PastValues::PastValues(Session& session, std::unique_ptr<State> state)
    : session_(session), state_(std::move(state)) {}
PastValues::~PastValues() = default;

Result<std::unique_ptr<PastValues>> PastValues::Open(Session& /*session*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}
std::shared_ptr<history::History> PastValues::history() const { return nullptr; }
Result<std::string> PastValues::Resolve(const std::string& /*when*/) const {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}
Result<std::string> PastValues::FileAt(const std::string& /*revision*/, const std::string& /*path*/) const {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}
Result<TypeValues> PastValues::Load(const std::string& /*revision*/, int /*typeNo*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}

#endif

}  // namespace tool::ops
