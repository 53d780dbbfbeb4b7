// typedata use, typedata show, typedata diff.
#include <fmt/core.h>

#include <algorithm>

#include "check.h"
#include "commands.h"
#include "documents.h"
#include "switch.h"
#include "values.h"

namespace tool {
namespace {

bool Wanted(const ConfigValues& config, const KindValues& kind, const std::string& prefix,
            const std::string& letter) {
  return (prefix.empty() || config.prefix == prefix) && (letter.empty() || letter[0] == kind.kind);
}

// Why a selection of show matched nothing, with what there is to select.
std::string NothingSelected(const TypeValues& values, const std::string& prefix, const std::string& letter) {
  std::string configs;
  for (const ConfigValues& c : values.configs) {
    if (c.prefix == prefix) {
      std::string kinds;
      for (const KindValues& k : c.kinds) {
        if (k.present && !k.items.empty()) kinds += fmt::format("{}{}", kinds.empty() ? "" : ", ", k.kind);
      }
      return fmt::format("config {} has no {} items; it has {}", prefix, letter,
                         kinds.empty() ? "none" : kinds);
    }
    configs += fmt::format("{}{}", configs.empty() ? "" : ", ", c.prefix);
  }
  if (!prefix.empty())
    return fmt::format("type {} has no config '{}'; its configs: {}", values.typeNo, prefix, configs);
  return fmt::format("type {} has no {} items in any config", values.typeNo, letter);
}

}  // namespace

int RunUse(const GlobalOptions& options, int number, bool download, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  // The service loads a file without a section as a type without values.
  const std::vector<Problem> problems = CheckTypeFiles(session, number);
  if (const Problem* blocker = LoadBlocker(problems)) {
    out.Error(fmt::format("type {} is not loaded: {}:{}: {}", number, blocker->file, blocker->line, blocker->message));
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
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  if (!kind.empty() && (kind.size() != 1 || KindIndex(kind[0]) < 0)) {
    out.Error("--kind is one of D, S, A, L, V");
    return kUsageError;
  }
  TypeValues values;
  std::string error;
  if (!LoadType(number, &values, &error)) {
    out.Error(error);
    return kRefused;
  }
  ShowModel model{number, values.name, config, kind, {}};
  for (const ConfigValues& c : values.configs) {
    for (const KindValues& k : c.kinds) {
      if (!k.present || !Wanted(c, k, config, kind)) continue;
      for (const ItemValue& item : k.items) {
        if (item.described) model.items.push_back({c.prefix, k.kind, item});
      }
    }
  }
  if (model.items.empty() && (!config.empty() || !kind.empty())) {
    out.Error(NothingSelected(values, config, kind));
    return kRefused;
  }
  Present(options, model, out);
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
