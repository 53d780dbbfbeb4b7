// typedata use, typedata show, typedata diff.
#include <fmt/core.h>

#include <algorithm>

#include "check/check.h"
#include "cli/commands.h"
#include "render/documents.h"
#include "ops/show.h"
#include "core/switch.h"
#include "core/values.h"

namespace tool {

int RunUse(const GlobalOptions& options, int number, bool download, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  // The service loads a file without a section as a type without values.
  const std::vector<Problem> problems = CheckTypeFiles(session, number);
  if (const Problem* blocker = LoadBlocker(problems)) {
    out.Error(fmt::format("type {} is not loaded: {}:{}: {}", number, blocker->file, blocker->line,
                          blocker->message));
    return kRefused;
  }
  SwitchReport report;
  std::string error;
  if (!SwitchType(session, number, download, out, &report, &error)) {
    out.Error(error);
    return kRefused;
  }
  UseModel model{number, session.TypeName(number), download, report};
  Present(options, model, out);
  if (download && !report.downloaded) {
    out.Error("the download did not end");
    return kRefused;
  }
  return kDone;
}

int RunShow(const GlobalOptions& options, int number, const std::string& config, const std::string& kind,
            Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<ShowModel> shown = ops::Show(session, {number, config, kind});
  if (!shown.ok()) return Refuse(shown.refusal(), out);
  Present(options, shown.model(), out);
  return kDone;
}

int RunDiff(const GlobalOptions& options, int first, int second, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, first, out) || RefuseTypeNumber(session, second, out)) return kUsageError;
  TypeValues a;
  TypeValues b;
  std::string error;
  if (!LoadType(first, &a, &error) || !LoadType(second, &b, &error)) {
    out.Error(error);
    return kUsageError;
  }
  DiffModel model{first, second, {}};
  for (std::size_t c = 0; c < a.configs.size() && c < b.configs.size(); ++c) {
    for (int k = 0; k < 5; ++k) {
      const KindValues& ka = a.configs[c].kinds[k];
      const KindValues& kb = b.configs[c].kinds[k];
      const std::size_t count = std::max(ka.items.size(), kb.items.size());
      for (std::size_t i = 0; i < count; ++i) {
        const ItemValue none;
        const ItemValue& ia = i < ka.items.size() ? ka.items[i] : none;
        const ItemValue& ib = i < kb.items.size() ? kb.items[i] : none;
        if (!ia.described && !ib.described) continue;
        if (ia.value == ib.value && ia.text == ib.text) continue;
        model.differences.push_back({a.configs[c].prefix, kKindLetters[k], static_cast<int>(i) + 1, ia, ib});
      }
    }
  }
  Present(options, model, out);
  return model.differences.empty() ? kDone : kRefused;
}

}  // namespace tool
