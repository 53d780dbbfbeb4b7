#include "ops/list.h"

#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "start/start.h"

namespace tool::ops {
namespace {

// Why the catalogue gave no type: nothing when it lists none, as a
// catalogue may. Every catalogue spelling is looked for, as the service's
// look-up refuses a name that several entries match; the catalogue is read
// again with the host's own reader to learn what it passed over (a fresh
// start, so no type is doubled).
std::optional<Refusal> WhyNoTypes(const Session& session) {
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
    return Refusal::Of(RefusalKind::kRefused, all +
                                                  ": catalogues whose names differ only in letter case; the "
                                                  "service reads neither (remove or rename all but one)");
  }
  // The host's reader takes a folder for a file that holds nothing.
  if (const std::string path = session.CataloguePath(); !std::filesystem::is_regular_file(path, ignored)) {
    return Refusal::InputOutput(
        path + (std::filesystem::is_directory(path, ignored) ? ": a folder, not a file"
                                                             : ": not a regular file"),
        path, "");
  }
  // A copy: Start releases the host's state, the machine it keeps included.
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
  const mmisim::Machine machine = mmisim::CurrentMachine();
  mmisim::Start(machine);
  mmisim::CatalogueReading reading;
  errno = 0;
  if (!mmisim::ReadCatalogueFile(&reading)) {
    const int code = errno;  // fopen's, on Windows too
    const std::string reason = code == 0 ? "" : std::strerror(code);
    return Refusal::InputOutput(
        session.CataloguePath() + ": cannot be read" + (reason.empty() ? "" : ": " + reason),
        session.CataloguePath(), reason);
  }
  if (!reading.skippedRecords.empty()) {
    return Refusal::Of(
        RefusalKind::kRefused,
        fmt::format("{}: none of its {} record{} can be read; 'typedata check' names the lines",
                    session.CataloguePath(), reading.skippedRecords.size(),
                    reading.skippedRecords.size() == 1 ? "" : "s"));
  }
  return std::nullopt;
}

}  // namespace

Result<ListModel> List(const Session& session, const ListRequest& request) {
  std::vector<TypeInfo> types = session.Types();
  PutInOrder(types, request.order);
  if (types.empty()) {
    if (std::optional<Refusal> why = WhyNoTypes(session)) return std::move(*why);
  }
  return ListModel{request.order, std::move(types)};
}

}  // namespace tool::ops
