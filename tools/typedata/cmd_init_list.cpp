// typedata init, typedata list.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "tree.h"
#include "typedata.h"

namespace tool {

bool OpenTree(const GlobalOptions& options, Session* session, Output& out) {
  std::string error;
  if (!session->Open(options, /*makeTypeFolder=*/false, &error)) {
    out.Error(error);
    return false;
  }
  if (!session->CatalogueExists()) {
    out.Error(session->CataloguePath() + ": no catalogue (run 'typedata init' first)");
    return false;
  }
  return true;
}

int RunInit(const GlobalOptions& options, bool force, Output& out) {
  Session session;
  std::string error;
  if (!session.Open(options, /*makeTypeFolder=*/true, &error)) {
    out.Error(error);
    return kUsageError;
  }
  if (session.CatalogueExists() && !force) {
    out.Error(session.CataloguePath() + " exists; 'typedata init --force' replaces it with a new catalogue");
    return kRefused;
  }
  const TreeFiles before = ReadTree(session.TypeFolder());
  session.MakeCurrentInHost(0);
  if (CreateSetTypeData() != 0) {
    out.Error("the new catalogue could not be written under " + session.TypeFolder());
    return kRefused;
  }
  session.SetCurrent(0);
  out.Note(fmt::format("New catalogue in {}: type 0 with the defaults of {} configs.", session.TypeFolder(),
                       GetMMITypeInfo()->configCount));
  for (const std::string& path : ChangedFiles(before, ReadTree(session.TypeFolder())))
    out.Note("  wrote " + path);
  return kDone;
}

int RunList(const GlobalOptions& options, bool sorted, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  const std::vector<TypeInfo> types = session.Types(sorted);
  if (options.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const TypeInfo& type : types) {
      list.push_back(
          {{"number", type.number}, {"name", type.name}, {"parts", type.parts}, {"current", type.current}});
    }
    out.Line(list.dump(2));
    return kDone;
  }
  std::vector<std::vector<std::string>> rows;
  for (const TypeInfo& type : types) {
    std::string parts;
    for (std::size_t p = 0; p < type.parts.size(); ++p)
      parts += fmt::format("{}{}", p ? "  " : "", type.parts[p]);
    rows.push_back({fmt::format("{:04d}", type.number), type.name, parts,
                    type.current ? out.Styled("current", Style::kGood) : ""});
  }
  out.Table({"NUMBER", "NAME", "PARTS", ""}, rows);
  return kDone;
}

}  // namespace tool
