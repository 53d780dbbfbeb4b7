#include "soak_writers/writer.h"

#include <algorithm>

#include "mmisim.h"
#include "support/workspace.h"

namespace td::soak {
namespace {

struct PoolItem {
  char kind;
  int number;
};

struct PoolConfig {
  std::string prefix;
  int part = 0;
  std::vector<PoolItem> items;  // in use, so that the tool exports them
};

// The configs and items of the sample machine that commands may change.
const std::vector<PoolConfig>& Pool() {
  static const std::vector<PoolConfig> pool = [] {
    static const char kKinds[5] = {'D', 'S', 'A', 'L', 'V'};
    std::vector<PoolConfig> configs;
    for (const mmisim::MachineConfig& config : mmisim::SampleMachine().configs) {
      PoolConfig entry{config.prefix, config.partNo, {}};
      for (int k = 0; k < 5; ++k) {
        for (std::size_t i = 0; i < config.kinds[k].items.size(); ++i) {
          const mmisim::ItemDescription& item = config.kinds[k].items[i];
          if (item.described && item.dataType != ' ' && item.dataType != '\0') {
            entry.items.push_back(PoolItem{kKinds[k], static_cast<int>(i) + 1});
          }
        }
      }
      configs.push_back(entry);
    }
    return configs;
  }();
  return pool;
}

// In the sanitizer build a finding in the tool is a fault whatever the exit.
bool SanitizerReport(const ToolResult& result) {
  return result.err.find("ERROR: AddressSanitizer") != std::string::npos ||
         result.err.find("ERROR: LeakSanitizer") != std::string::npos ||
         result.err.find("runtime error:") != std::string::npos;
}

bool Busy(const ToolResult& result) {
  return result.status == 1 && result.err.find("busy") != std::string::npos;
}

}  // namespace

bool ExportType(const std::string& root, const std::string& scratch, int number, TypeState* state,
                std::string* error) {
  ToolResult result;
  for (int attempt = 0; attempt < 20; ++attempt) {
    result = RunTool(root, {"export", std::to_string(number), "--format", "json"}, scratch);
    if (!Busy(result)) break;
  }
  const nlohmann::json document = nlohmann::json::parse(result.out, nullptr, false);
  if (result.status != 0 || document.is_discarded() || !document.contains("configs")) {
    *error =
        "export " + std::to_string(number) + " gave " + std::to_string(result.status) + ": " + result.err;
    return false;
  }
  state->name = document.value("name", "");
  state->configs.clear();
  for (nlohmann::json config : document["configs"]) {
    const std::string prefix = config["config"].get<std::string>();
    config.erase("config");
    state->configs[prefix] = config;
  }
  return true;
}

Writer::Writer(int id, std::string root, std::string scratch, unsigned long long seed, double killRate)
    : id_(id), root_(std::move(root)), scratch_(std::move(scratch)), random_(seed), killRate_(killRate) {}

bool Writer::Fail(const std::string& what) {
  failure_ = "writer " + std::to_string(id_) + ": " + what;
  return false;
}

ToolResult Writer::Run(const std::string& command, const std::vector<std::string>& args, bool mayKill) {
  std::vector<std::string> words = {command};
  words.insert(words.end(), args.begin(), args.end());
  long killAfter = -1;
  if (mayKill && std::uniform_real_distribution<double>(0, 1)(random_) < killRate_) {
    killAfter = std::uniform_int_distribution<long>(0, 20000)(random_);
  }
  ToolResult result = RunTool(root_, words, scratch_, killAfter);
  if (SanitizerReport(result)) Fail(command + ": " + result.err);
  ++figures_.runs[command];
  if (result.killed) ++figures_.killed[command];
  if (result.status == 0) ++figures_.succeeded[command];
  return result;
}

std::string Writer::RandomName() {
  // Parts of this writer's own; a third of the names have two parts only.
  auto pick = [&](char letter) {
    return letter + std::to_string(id_) + std::to_string(std::uniform_int_distribution<int>(0, 2)(random_));
  };
  std::string name = pick('T') + "+" + pick('M');
  if (std::uniform_int_distribution<int>(0, 2)(random_) != 0) name += "+" + pick('F');
  return name;
}

int Writer::PartOf(const std::string& prefix) const {
  for (const PoolConfig& config : Pool()) {
    if (config.prefix == prefix) return config.part;
  }
  return 0;
}

std::string Writer::Part(const std::string& name, int position) const {
  std::size_t start = 0;
  for (int p = 1; p < position; ++p) {
    start = name.find('+', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  return name.substr(start, name.find('+', start) - start);
}

void Writer::MayBeUneven(const std::string& name) {
  for (int position = 1; !Part(name, position).empty(); ++position) {
    unevenParts_.insert("part " + std::to_string(position) + " '" + Part(name, position) + "'");
  }
}

std::vector<int> Writer::Sharing(int number, const std::string& name, const std::string& prefix) const {
  std::vector<int> others;
  const int part = PartOf(prefix);
  if (part == 0 || Part(name, part).empty()) return others;
  for (const auto& [other, state] : types_) {
    if (other != number && Part(state.name, part) == Part(name, part)) others.push_back(other);
  }
  return others;
}

bool Writer::ReadBack(int number, const std::map<std::string, Allowed>& allowed,
                      const std::set<std::string>& names) {
  TypeState found;
  std::string error;
  if (!ExportType(root_, scratch_, number, &found, &error))
    return Fail("type " + std::to_string(number) + ": " + error);
  if (!names.count(found.name))
    return Fail("type " + std::to_string(number) + " is named '" + found.name + "'");
  for (const auto& [prefix, contents] : allowed) {
    if (std::find(contents.begin(), contents.end(), found.configs[prefix]) == contents.end()) {
      return Fail("type " + std::to_string(number) + " config " + prefix +
                  " holds what no command left: " + found.configs[prefix].dump());
    }
  }
  const auto known = types_.find(number);
  for (const auto& [prefix, content] : found.configs) {
    if (!allowed.count(prefix) && known != types_.end() && known->second.configs[prefix] != content) {
      return Fail("type " + std::to_string(number) + " config " + prefix + " changed: " + content.dump());
    }
  }
  types_[number] = found;
  return true;
}

bool Writer::Step(const TypeState& typeZero) {
  if (!failure_.empty()) return false;
  const int pick = std::uniform_int_distribution<int>(0, 99)(random_);
  if (types_.size() < 2 || (pick < 15 && types_.size() < 6)) return Add(typeZero);
  if (pick < 30) return Rename();
  if (pick < 55) return SetOrImport(false);
  if (pick < 70) return SetOrImport(true);
  if (pick < 80) return Use();
  if (pick < 92) return ReadOnly("check");
  return ReadOnly("recover");
}

bool Writer::Add(const TypeState& typeZero) {
  int number = 0;
  do {
    number = id_ * 100 + std::uniform_int_distribution<int>(1, 99)(random_);
  } while (types_.count(number) || unlisted_.count(number));
  std::vector<int> sources = {0};
  for (const auto& [n, state] : types_) sources.push_back(n);
  const int from = sources[std::uniform_int_distribution<std::size_t>(0, sources.size() - 1)(random_)];
  const TypeState& source = from == 0 ? typeZero : types_.at(from);
  const std::string name = RandomName();
  const ToolResult result =
      Run("add", {name, "--number", std::to_string(number), "--from", std::to_string(from)}, true);
  if (result.status != 0 && !result.killed) return true;  // refused: the checkpoint sees that nothing changed
  std::map<std::string, Allowed> allowed;
  for (const auto& [prefix, content] : source.configs) {
    const std::vector<int> sharing = Sharing(number, name, prefix);
    if (sharing.empty() || result.killed) allowed[prefix].push_back(content);
    for (int other : sharing) allowed[prefix].push_back(types_.at(other).configs.at(prefix));
  }
  if (result.killed) {
    TypeState found;
    std::string error;
    if (!ExportType(root_, scratch_, number, &found, &error)) {
      unlisted_.insert(number);  // the catalogue never listed it
      return true;
    }
  }
  return ReadBack(number, allowed, {name});
}

bool Writer::Rename() {
  auto at = types_.begin();
  std::advance(at, std::uniform_int_distribution<std::size_t>(0, types_.size() - 1)(random_));
  const int number = at->first;
  const TypeState before = at->second;
  const std::string name = RandomName();
  const ToolResult result = Run("rename", {std::to_string(number), name}, true);
  if (result.status != 0 && !result.killed) return true;
  std::map<std::string, Allowed> allowed;
  for (const auto& [prefix, content] : before.configs) {
    allowed[prefix].push_back(content);
    for (int other : Sharing(number, name, prefix))
      allowed[prefix].push_back(types_.at(other).configs.at(prefix));
  }
  std::set<std::string> names = {name};
  if (result.killed) {
    names.insert(before.name);
    MayBeUneven(before.name);
    MayBeUneven(name);
  }
  return ReadBack(number, allowed, names);
}

bool Writer::SetOrImport(bool import) {
  auto at = types_.begin();
  std::advance(at, std::uniform_int_distribution<std::size_t>(0, types_.size() - 1)(random_));
  const int number = at->first;
  const TypeState before = at->second;
  // One config for set, one or two for import; one to three values each.
  std::map<std::string, nlohmann::json> changed;
  std::vector<std::string> assignments;
  std::string csv = "config,kind,item,value\n";
  nlohmann::json document = {{"type", number}, {"configs", nlohmann::json::array()}};
  const int configs = import ? std::uniform_int_distribution<int>(1, 2)(random_) : 1;
  std::string setPrefix;
  for (int c = 0; c < configs; ++c) {
    const PoolConfig& config =
        Pool()[std::uniform_int_distribution<std::size_t>(0, Pool().size() - 1)(random_)];
    if (changed.count(config.prefix)) continue;
    nlohmann::json content = before.configs.at(config.prefix);
    nlohmann::json entry = {{"config", config.prefix}};
    const int values = std::uniform_int_distribution<int>(1, 3)(random_);
    for (int v = 0; v < values; ++v) {
      const PoolItem& item =
          config.items[std::uniform_int_distribution<std::size_t>(0, config.items.size() - 1)(random_)];
      const int draw = std::uniform_int_distribution<int>(-99999, 99999)(random_);
      const std::string text = item.kind == 'V'
                                   ? "w" + std::to_string(id_) + "v" + std::to_string(draw < 0 ? -draw : draw)
                                   : std::to_string(draw);
      const std::string key = std::to_string(item.number);
      const std::string kind(1, item.kind);
      if (item.kind == 'V') {
        content[kind][key] = text, entry[kind][key] = text;
      } else {
        content[kind][key] = static_cast<double>(draw), entry[kind][key] = draw;
      }
      assignments.push_back(kind + ":" + key + "=" + text);
      csv += config.prefix + "," + kind + "," + key + "," + text + "\n";
    }
    document["configs"].push_back(entry);
    changed[config.prefix] = content;
    setPrefix = config.prefix;
  }
  ToolResult result;
  if (import) {
    const bool json = std::uniform_int_distribution<int>(0, 1)(random_) == 1;
    const std::string file = scratch_ + (json ? ".json" : ".csv");
    testing::WriteFileBytes(file, json ? document.dump() : csv);
    result = Run("import", {std::to_string(number), file}, true);
  } else {
    std::vector<std::string> args = {std::to_string(number), setPrefix};
    args.insert(args.end(), assignments.begin(), assignments.end());
    result = Run("set", args, true);
  }
  if (result.status != 0 && !result.killed) return true;
  if (result.killed) MayBeUneven(before.name);
  // The type holds the new content of each changed config (the old one too
  // when killed, or when nothing differed and nothing was saved); every type
  // sharing a config with it holds its own or the type's.
  std::map<int, std::map<std::string, Allowed>> allowed;
  for (const auto& [prefix, content] : before.configs) {
    const auto newer = changed.find(prefix);
    Allowed& own = allowed[number][prefix];
    if (newer == changed.end() || result.killed || newer->second == content) own.push_back(content);
    if (newer != changed.end()) own.push_back(newer->second);
    for (int other : Sharing(number, before.name, prefix)) {
      Allowed& theirs = allowed[other][prefix];
      theirs.push_back(types_.at(other).configs.at(prefix));
      theirs.insert(theirs.end(), own.begin(), own.end());
    }
  }
  for (const auto& [other, configsAllowed] : allowed) {
    if (!ReadBack(other, configsAllowed, {types_.at(other).name})) return false;
  }
  return true;
}

bool Writer::Use() {
  auto at = types_.begin();
  std::advance(at, std::uniform_int_distribution<std::size_t>(0, types_.size() - 1)(random_));
  const bool download = std::uniform_int_distribution<int>(0, 1)(random_) == 1;
  std::vector<std::string> args = {std::to_string(at->first)};
  if (!download) args.push_back("--no-download");
  const ToolResult result = Run("use", args, true);
  if (result.status == 0 || result.killed || Busy(result)) return true;
  return Fail("use " + std::to_string(at->first) + " gave " + std::to_string(result.status) + ": " +
              result.err);
}

bool Writer::ReadOnly(const std::string& command) {
  // With the catalogue in place, recover changes nothing; check may find
  // another writer's killed command's leavings. Neither may crash.
  const ToolResult result = Run(command, {}, true);
  if (result.killed || (result.status >= 0 && result.status <= 2)) return true;
  return Fail(command + " ended by a signal: " + result.err);
}

}  // namespace td::soak
