// typedata init, typedata list.
#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "documents.h"
#include "start/start.h"
#include "system_error.h"
#include "tree.h"
#include "typedata.h"

namespace tool {

std::string MissingCatalogue(const Session& session) {
  const std::size_t folders = TypeFolderNumbers(session.TypeFolder()).size();
  if (folders == 0) return session.CataloguePath() + ": no catalogue (run 'typedata init' first)";
  return fmt::format(
      "{}: the catalogue is missing, but {} type folder{} {}: 'typedata recover' writes a catalogue "
      "from them ('init' would hide them)",
      session.CataloguePath(), folders, folders == 1 ? "" : "s", folders == 1 ? "exists" : "exist");
}

int OpenTree(const GlobalOptions& options, Access access, Session* session, Output& out) {
  std::string error;
  if (!session->Open(options, access, /*makeTypeFolder=*/false, &error)) {
    out.Error(error);
    return session->busy() ? kRefused : kUsageError;
  }
  if (!session->CatalogueExists()) {
    out.Error(MissingCatalogue(*session));
    return kUsageError;
  }
  return kDone;
}

bool OpenTree(const GlobalOptions& options, Session* session, Output& out) {
  return OpenTree(options, Access::kRead, session, out) == kDone;
}

bool RefuseTypeNumber(const Session& session, int number, Output& out) {
  if (number < 0 || number > TD_TYPE_NO_MAX) {
    out.Error(fmt::format("type number {} is out of range (0 to {})", number, TD_TYPE_NO_MAX));
    return true;
  }
  if (!session.TypeExists(number)) {
    out.Error(fmt::format("no type {}", number));
    return true;
  }
  return false;
}

int RunInit(const GlobalOptions& options, bool force, Output& out) {
  Session session;
  std::string error;
  if (!session.Open(options, Access::kChange, /*makeTypeFolder=*/true, &error)) {
    out.Error(error);
    return session.busy() ? kRefused : kUsageError;
  }
  force = force || options.force;
  if (session.CatalogueExists() && !force) {
    out.Error(session.CataloguePath() + " exists; 'typedata init --force' replaces it with a new catalogue");
    return kRefused;
  }
  if (const std::vector<int> folders = TypeFolderNumbers(session.TypeFolder()); !folders.empty() && !force) {
    out.Error(
        fmt::format("{} holds {} type folder{} ({:04d} first) and no catalogue; 'typedata recover' "
                    "writes a catalogue from them, 'typedata init --force' starts anew beside them",
                    session.TypeFolder(), folders.size(), folders.size() == 1 ? "" : "s", folders[0]));
    return kRefused;
  }
  const TreeFiles before = ReadTree(session.TypeFolderOf(0));
  session.MakeCurrentInHost(0);
  if (CreateSetTypeData() != 0) {
    out.Error("the new catalogue could not be written under " + session.TypeFolder() + ": " + SystemReason());
    return kUsageError;  // an input/output error
  }
  if (!session.RememberMachine(&error)) {
    out.Error(error);
    return kRefused;
  }
  session.SetCurrent(0);
  InitModel model{session.TypeFolder(), GetMMITypeInfo()->configCount, {"mmi.typ"}};
  for (const std::string& path : ChangedFiles(before, ReadTree(session.TypeFolderOf(0))))
    model.written.push_back("0000/" + path);
  Present(options, model, out);
  return kDone;
}

namespace {

// Why the catalogue gave no type: kDone when it lists none, as a catalogue
// may; else says why and gives the status to exit with. Every catalogue
// spelling is looked for, as the service's look-up refuses a name that
// several entries match; the catalogue is read again with the host's own
// reader to learn what it passed over (a fresh start, so no type is doubled).
int WhyNoTypes(const Session& session, Output& out) {
  std::vector<std::string> catalogues;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(session.TypeFolder(), ignored)) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "mmi.typ") catalogues.push_back(entry.path().generic_string());
  }
  if (catalogues.size() > 1) {
    std::sort(catalogues.begin(), catalogues.end());
    std::string all;
    for (const std::string& path : catalogues) all += (all.empty() ? "" : " and ") + path;
    out.Error(all +
              ": catalogues whose names differ only in letter case; the service reads neither "
              "(remove or rename all but one)");
    return kRefused;
  }
  // The host's reader takes a folder for a file that holds nothing.
  if (const std::string path = session.CataloguePath(); !std::filesystem::is_regular_file(path, ignored)) {
    out.Error(path + (std::filesystem::is_directory(path, ignored) ? ": a folder, not a file"
                                                                   : ": not a regular file"));
    return kUsageError;
  }
  // A copy: Start releases the host's state, the machine it keeps included.
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
  const mmisim::Machine machine = mmisim::CurrentMachine();
  mmisim::Start(machine);
  mmisim::CatalogueReading reading;
  errno = 0;
  if (!mmisim::ReadCatalogueFile(&reading)) {
    const int code = errno;  // fopen's, on Windows too
    out.Error(session.CataloguePath() + ": cannot be read" +
              (code == 0 ? "" : ": " + std::string(std::strerror(code))));
    return kUsageError;
  }
  if (!reading.skippedRecords.empty()) {
    out.Error(fmt::format("{}: none of its {} record{} can be read; 'typedata check' names the lines",
                          session.CataloguePath(), reading.skippedRecords.size(),
                          reading.skippedRecords.size() == 1 ? "" : "s"));
    return kRefused;
  }
  out.Note(session.CataloguePath() + " lists no types");
  return kDone;
}

}  // namespace

int RunList(const GlobalOptions& options, ListOrder order, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  std::vector<TypeInfo> types = session.Types();
  PutInOrder(types, order);
  if (types.empty()) {
    if (const int status = WhyNoTypes(session, out); status != kDone) return status;
  }
  Present(options, ListModel{order, std::move(types)}, out);
  return kDone;
}

}  // namespace tool
