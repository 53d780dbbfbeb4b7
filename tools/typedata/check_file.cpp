#include "check_file.h"

#include <fmt/core.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "system_error.h"
#include "tree.h"
#include "values.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tool {
namespace {

constexpr int kSlots[5] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V};
constexpr int kText = 4;
constexpr int kLasting = 3;  // L values never reach the controller

bool InUse(char dataType) { return dataType != 0 && dataType != ' '; }

// A value as the writer writes numbers: decimal, nothing after it.
bool IsNumber(std::string text) {
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  if (text.empty() || text.find_first_not_of("+-.0123456789eE") != std::string::npos) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return *end == '\0';
}

// What the line scan saw of one kind's section.
struct KindScan {
  bool present = false;
  int sectionLine = 0;
  std::map<int, int> itemLines;  // item number -> line
};

// Lines split and cut as the reader splits and cuts them: comments at
// "//", white space trimmed, items at ',' and ';'.
class LineScan {
 public:
  LineScan(const ConfigRecord& config, const std::string& file, int typeNo, std::vector<Problem>* problems)
      : config_(config), file_(file), typeNo_(typeNo), problems_(problems) {}

  void Run(const std::string& bytes) {
    std::istringstream in(bytes);
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const bool comment = line.find("//") != std::string::npos;
      CutComment(&line[0]);
      line.resize(std::strlen(line.c_str()));
      const std::string text = trim(&line[0]);
      if (text.empty()) continue;
      if (text[0] == '[') {
        Section(text, lineNo);
      } else if (kind_ >= 0) {
        Items(text, lineNo, comment);
      }
    }
  }

  bool anySection() const { return anySection_; }
  const KindScan& kind(int k) const { return kinds_[k]; }

 private:
  void Report(int line, const std::string& message) {
    problems_->push_back({file_, line, typeNo_, config_.name, message, false});
  }

  void Section(const std::string& text, int lineNo) {
    const std::size_t close = text.find(']');
    std::string name = close == std::string::npos ? "" : text.substr(1, close - 1);
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    if (name.size() != 1 || KindIndex(name[0]) < 0) return;
    kind_ = KindIndex(name[0]);
    anySection_ = true;
    kinds_[kind_] = KindScan{true, lineNo, {}};
  }

  void Items(const std::string& text, int lineNo, bool comment) {
    const unsigned count = config_.kindTable[GetHAIndex(kKindLetters[kind_])].count;
    if (kind_ == kText && comment)
      Report(lineNo, "a text holds \"//\": what follows it is lost when the file is read");
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = text.find_first_of(",;", at);
      const std::string item = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? text.size() : end + 1;
      const std::size_t colon = item.find(':');
      if (colon == std::string::npos) {
        if (kind_ == kText && item.find_first_not_of(" \t") != std::string::npos)
          Report(lineNo, fmt::format("a text holds ',' or ';': '{}' is lost when the file is read", item));
        continue;
      }
      const long number = std::strtol(item.c_str(), nullptr, 10);
      if (number < 1) continue;
      if (static_cast<unsigned long>(number) > count) {
        Report(lineNo, fmt::format("[{}] item {} is beyond the config's {} items", kKindLetters[kind_],
                                   number, count));
        continue;
      }
      kinds_[kind_].itemLines.emplace(static_cast<int>(number), lineNo);
      if (kind_ != kText && !IsNumber(item.substr(colon + 1)))
        Report(lineNo,
               fmt::format("[{}] item {}: '{}' is not a number: it reads as 0 or as its leading digits",
                           kKindLetters[kind_], number, item.substr(colon + 1)));
      if (kind_ == kText && item.size() - colon - 1 > TD_TEXT_MAX)
        Report(lineNo, fmt::format("text of item {} is longer than {} characters", number, TD_TEXT_MAX));
    }
  }

  const ConfigRecord& config_;
  const std::string& file_;
  int typeNo_;
  std::vector<Problem>* problems_;
  int kind_ = -1;
  bool anySection_ = false;
  KindScan kinds_[5];
};

// Whether the controller holds the value of a D, S or A item: converted to
// its form and back, it must come within one unit.
bool ControllerHolds(double value, CfgId id, CfgIdRecord& description) {
  const bool real = description.dataType == 'P' || description.dataType == 'F';
  const std::int32_t form = ConvertDoubleToMMIForm(value, id);
  const double back = real ? ConvertMMIBintoBinF(form, description.conversion)
                           : ConvertMMIBintoBinL(form, description.conversion);
  const double unit = real ? std::fabs(ConvertMMIBintoBinF(1, description.conversion)) : 1.0;
  return std::fabs(back - value) <= unit;
}

}  // namespace

ScratchType::ScratchType() {
  const int configs = GetMMITypeInfo()->configCount;
  bytes_.assign(TD_TYPE_RECORD_SIZE(configs), 0);
  record_ = reinterpret_cast<TypeRecord*>(bytes_.data());
}

ScratchType::~ScratchType() {
  for (int p = 0; p < GetMMITypeInfo()->configCount; ++p) {
    Release(p);
    if (record_->configs[p].blocks) GlobalFree(GlobalHandle(record_->configs[p].blocks));
  }
}

void ScratchType::Release(int position) {
  BlockTable* table = record_->configs[position].blocks;
  if (!table) return;
  std::set<void*> released;  // an offline twin may share its block
  for (void*& block : table->slot) {
    if (block && released.insert(block).second) {
      HGLOBAL handle = GlobalHandle(block);
      GlobalUnlock(handle);
      GlobalFree(handle);
    }
    block = nullptr;
  }
}

bool ScratchType::Read(int typeNo, int position) {
  Release(position);
  record_->typeNo = static_cast<std::uint16_t>(typeNo);
  if (MakeDatFileName(record_->configs[position].datName, typeNo, position) != 0) return false;
  errno = 0;
#ifdef _WIN32
  SetLastError(0);
#endif
  return DAT_fread(record_->configs[position].datName, position, record_) == 0;
}

const BlockTable* ScratchType::blocks(int position) const { return record_->configs[position].blocks; }

void CheckDataFile(ScratchType& scratch, int typeNo, const ConfigRecord& config, int position,
                   int configIndex, const std::string& path, const std::string& file,
                   std::vector<Problem>* problems) {
  auto report = [&](int line, const std::string& message, bool blocks) {
    problems->push_back({file, line, typeNo, config.name, message, blocks});
  };
  bool readable = false;
  const std::string bytes = ReadBytes(path, &readable);
  const std::size_t before = problems->size();
  LineScan scan(config, file, typeNo, problems);
  scan.Run(bytes);
  if (!readable || !scratch.Read(typeNo, position)) {
    // The scan names the line at fault where it can; else the reader's reason.
    for (std::size_t i = before; i < problems->size(); ++i) (*problems)[i].blocksLoading = true;
    if (problems->size() == before) {
      const std::string reason = SystemReason();
      report(0, "the service's reader refuses this file" + (reason.empty() ? "" : ": " + reason), true);
    }
    return;
  }
  if (!scan.anySection()) {
    report(0, "the file holds no section: the type would load without its values", true);
    return;
  }
  const BlockTable* table = scratch.blocks(position);
  for (int k = 0; k < 5; ++k) {
    const int code = GetHAIndex(kKindLetters[k]);
    const unsigned count = config.kindTable[code].count;
    const KindScan& kind = scan.kind(k);
    if (!kind.present || !table || !table->slot[kSlots[k]]) {
      if (count > 0)
        report(0,
               fmt::format("there is no [{}] section: its {} items read as {}", kKindLetters[k], count,
                           k == kText ? "empty texts" : "0"),
               false);
      continue;
    }
    for (unsigned i = 0; i < count; ++i) {
      const CfgId id = TD_CFGID(i, code, configIndex);
      CfgIdRecord* description = nullptr;
      const bool described = GetCFGIDStruc(id, &description) >= 0;
      const bool written = described && (k != kText || InUse(description->dataType));
      const auto seen = kind.itemLines.find(static_cast<int>(i) + 1);
      if (seen == kind.itemLines.end()) {
        if (written)
          report(kind.sectionLine,
                 fmt::format("[{}] has no item {}: the value there reads as {}", kKindLetters[k], i + 1,
                             k == kText ? "an empty text" : "0"),
                 false);
        continue;
      }
      if (k == kText || k == kLasting || !described || !InUse(description->dataType)) continue;
      const double value = static_cast<const ValueBlock*>(table->slot[kSlots[k]])->values[i];
      if (!ControllerHolds(value, id, *description))
        report(seen->second,
               fmt::format("[{}] item {}: the controller cannot hold {}", kKindLetters[k], i + 1, value),
               false);
    }
  }
}

}  // namespace tool
