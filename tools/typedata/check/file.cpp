#include "check/file.h"

#include <fmt/core.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/system_error.h"
#include "core/values.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tool {
namespace {

constexpr int kSlots[5] = {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V};
constexpr int kText = 4;
constexpr int kLasting = 3;  // L values never reach the controller

bool InUse(char dataType) { return dataType != 0 && dataType != ' '; }

// Whether the controller holds the value of a D, S or A item: converted to
// its form and back, it must come within one unit.
bool ControllerHolds(double value, CfgId id, const ItemDescription& item) {
  const std::int32_t form = ConvertDoubleToMMIForm(value, id);
  const double back = item.real ? ConvertMMIBintoBinF(form, item.record->conversion)
                                : ConvertMMIBintoBinL(form, item.record->conversion);
  return std::fabs(back - value) <= item.unit;
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
  for (int s = 0; s < TD_SLOT_COUNT; ++s) {
    void* const block = table->slot[s];
    if (!block) continue;
    for (int t = s; t < TD_SLOT_COUNT; ++t) {  // an offline twin may share its block
      if (table->slot[t] == block) table->slot[t] = nullptr;
    }
    HGLOBAL handle = GlobalHandle(block);
    GlobalUnlock(handle);
    GlobalFree(handle);
  }
}

bool ScratchType::Read(int typeNo, int position, const char* datName) {
  Release(position);
  record_->typeNo = static_cast<std::uint16_t>(typeNo);
  std::memcpy(record_->configs[position].datName, datName, TD_DAT_NAME_SIZE);
  errno = 0;
#ifdef _WIN32
  SetLastError(0);
#endif
  return DAT_fread(record_->configs[position].datName, position, record_) == 0;
}

const BlockTable* ScratchType::blocks(int position) const { return record_->configs[position].blocks; }

bool ReadFileInto(const std::string& path, std::vector<char>* bytes, std::size_t* size, FileError* error) {
  FileError ignored;
  return ReadWholeFile(path, kTypeDataFile, bytes, size, error ? error : &ignored);
}

const DataFileChecker::Descriptions& DataFileChecker::DescriptionsOf(int configIndex, int k, unsigned count) {
  if (descriptions_.size() <= static_cast<std::size_t>(configIndex))
    descriptions_.resize(static_cast<std::size_t>(configIndex) + 1, std::vector<Descriptions>(5));
  Descriptions& items = descriptions_[static_cast<std::size_t>(configIndex)][static_cast<std::size_t>(k)];
  if (items.size() != count) {
    items.assign(count, ItemDescription{});
    const int code = GetHAIndex(kKindLetters[k]);
    for (unsigned i = 0; i < count; ++i) {
      CfgIdRecord* record = nullptr;
      if (GetCFGIDStruc(TD_CFGID(i, code, configIndex), &record) < 0 || !record) continue;
      ItemDescription& item = items[i];
      item.record = record;
      item.inUse = InUse(record->dataType);
      item.real = record->dataType == 'P' || record->dataType == 'F';
      item.unit = item.real ? std::fabs(ConvertMMIBintoBinF(1, record->conversion)) : 1.0;
    }
  }
  return items;
}

void DataFileChecker::Check(int typeNo, const ConfigRecord& config, int position, int configIndex,
                            const char* datName, const std::string& path, const std::string& file,
                            std::vector<Problem>* problems) {
  auto report = [&](int line, const std::string& message, bool blocks) {
    problems->push_back({file, line, typeNo, config.name, message, blocks});
  };
  std::size_t size = 0;
  FileError failure;
  if (!ReadFileInto(path, &bytes_, &size, &failure)) {
    // Never handed to the service's reader, which would wait on a FIFO or
    // read a huge file whole.
    report(0, "cannot be read: " + failure.reason, true);
    return;
  }
  if (bytes_.empty()) bytes_.resize(1);
  const std::size_t before = problems->size();
  scan_.Run(config, file, typeNo, bytes_.data(), size, problems);
  if (!scratch_.Read(typeNo, position, datName)) {
    // The scan names the line at fault where it can; else the reader's reason.
    for (std::size_t i = before; i < problems->size(); ++i) (*problems)[i].blocksLoading = true;
    if (problems->size() == before) {
      const std::string reason = SystemReason();
      report(0, "the service's reader refuses this file" + (reason.empty() ? "" : ": " + reason), true);
    }
    return;
  }
  if (!scan_.anySection()) {
    report(0, "the file holds no section: the type would load without its values", true);
    return;
  }
  const BlockTable* table = scratch_.blocks(position);
  for (int k = 0; k < 5; ++k) {
    const int code = GetHAIndex(kKindLetters[k]);
    const unsigned count = config.kindTable[code].count;
    if (!scan_.present(k) || !table || !table->slot[kSlots[k]]) {
      if (count > 0)
        report(0,
               fmt::format("there is no [{}] section: its {} items read as {}", kKindLetters[k], count,
                           k == kText ? "empty texts" : "0"),
               false);
      continue;
    }
    const Descriptions& descriptions = DescriptionsOf(configIndex, k, count);
    const double* values =
        k == kText ? nullptr : static_cast<const ValueBlock*>(table->slot[kSlots[k]])->values;
    for (unsigned i = 0; i < count; ++i) {
      const ItemDescription& description = descriptions[i];
      const bool written = description.record && (k != kText || description.inUse);
      const int line = scan_.LineOf(k, i + 1);
      if (line == 0) {
        if (written)
          report(scan_.sectionLine(k),
                 fmt::format("[{}] has no item {}: the value there reads as {}", kKindLetters[k], i + 1,
                             k == kText ? "an empty text" : "0"),
                 false);
        continue;
      }
      if (k == kText || k == kLasting || !description.record || !description.inUse) continue;
      if (!ControllerHolds(values[i], TD_CFGID(i, code, configIndex), description))
        report(line,
               fmt::format("[{}] item {}: the controller cannot hold {}", kKindLetters[k], i + 1, values[i]),
               false);
    }
  }
}

}  // namespace tool
