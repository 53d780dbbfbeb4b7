// Look-ups by CfgId that cost a few array steps: the hot loops of the
// service ask for every item of a config and kind in turn, and a tree or
// hash look-up for each would make the simulated host, not the service,
// the cost that benchmarks measure.
#ifndef MMISIM_ID_INDEX_H
#define MMISIM_ID_INDEX_H

#include <cstdint>
#include <map>
#include <vector>

#include "records.h"

namespace mmisim {

// Entries of type T (those that convert to false: none) by CfgId, in one row per config
// byte and kind code, indexed by item. Identifiers whose kind byte is 8 or
// more (no kind has such a code) have no place here.
template <typename T>
class IdIndex {
 public:
  static bool Indexable(CfgId id) { return ((id >> 8) & 0xFF) < kCodes; }

  // The entry of id, or null when it has none.
  const T* Find(CfgId id) const {
    if (!Indexable(id) || rows_.empty()) return nullptr;
    const std::vector<T>& row = rows_[Row(id)];
    const std::size_t item = id >> 16;
    return item < row.size() && row[item] ? &row[item] : nullptr;
  }
  // The place of id's entry, made when missing; id must be indexable.
  T& Put(CfgId id) {
    if (rows_.empty()) rows_.resize(kRows);
    std::vector<T>& row = rows_[Row(id)];
    const std::size_t item = id >> 16;
    if (item >= row.size()) row.resize(item + 1);
    return row[item];
  }
  void Clear() { rows_.clear(); }
  // Calls f(id, entry) for every entry there is.
  template <typename F>
  void ForEach(F f) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
      const auto config = static_cast<CfgId>(row % 256);
      const auto code = static_cast<CfgId>(row / 256);
      for (std::size_t item = 0; item < rows_[row].size(); ++item) {
        if (rows_[row][item]) f(static_cast<CfgId>(item << 16) | (code << 8) | config, rows_[row][item]);
      }
    }
  }

 private:
  static constexpr unsigned kCodes = 8;
  static constexpr unsigned kRows = 256 * kCodes;
  static std::size_t Row(CfgId id) { return ((id >> 8) & 0xFF) * 256u + (id & 0xFF); }

  std::vector<std::vector<T>> rows_;
};

// A memory of 32-bit values by CfgId, held in rows like an IdIndex, and
// read back in CfgId order, as tests compare it, through Values(): a map made
// afresh when the memory changed since the last call.
class IdValueMap {
 public:
  bool Find(CfgId id, std::int32_t* value) const {
    if (IdIndex<Entry>::Indexable(id)) {
      const Entry* entry = rows_.Find(id);
      if (!entry) return false;
      if (value) *value = entry->value;
      return true;
    }
    const auto found = others_.find(id);
    if (found == others_.end()) return false;
    if (value) *value = found->second;
    return true;
  }
  void Set(CfgId id, std::int32_t value) {
    if (IdIndex<Entry>::Indexable(id)) {
      rows_.Put(id) = Entry{value, true};
      if (!stale_) ordered_.clear();
      stale_ = true;
    } else {
      others_[id] = value;
      if (!stale_) ordered_[id] = value;
    }
  }
  void Clear() {
    rows_.Clear();
    others_.clear();
    ordered_.clear();
    stale_ = false;
  }
  const std::map<CfgId, std::int32_t>& Values() const {
    if (stale_) {
      ordered_ = others_;
      rows_.ForEach([this](CfgId id, const Entry& entry) { ordered_.emplace(id, entry.value); });
      stale_ = false;
    }
    return ordered_;
  }

 private:
  struct Entry {
    std::int32_t value = 0;
    bool present = false;
    explicit operator bool() const { return present; }
  };

  IdIndex<Entry> rows_;
  std::map<CfgId, std::int32_t> others_;  // identifiers with no row
  mutable std::map<CfgId, std::int32_t> ordered_;
  mutable bool stale_ = false;
};

}  // namespace mmisim

#endif  // MMISIM_ID_INDEX_H
