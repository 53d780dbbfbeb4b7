#include "infer/evidence.h"

#include <algorithm>
#include <cmath>

namespace tool::infer {
namespace {

constexpr std::size_t kMaxCountedValues = 256;
constexpr int kMaxDecimals = 9;  // the largest scale a description can give
constexpr std::size_t kExamples = 5;

// The fewest decimals that write value exactly (as far as a double tells).
int DecimalsNeeded(double value) {
  double scaled = std::fabs(value);
  for (int decimals = 0; decimals < kMaxDecimals; ++decimals, scaled *= 10.0) {
    if (!std::isfinite(scaled)) return 0;
    if (std::fabs(scaled - std::nearbyint(scaled)) <= 1e-9 * std::max(1.0, scaled)) return decimals;
  }
  return kMaxDecimals;
}

void AddItem(const ItemFact& item, const std::string& file, bool type0, bool countValues, ItemStats* stats) {
  ++stats->files;
  const Place place{file, item.line};
  if (item.pointed) {
    ++stats->pointed;
    if (stats->decimal.file.empty()) stats->decimal = place;
  } else if (stats->whole.file.empty()) {
    stats->whole = place;
  }
  const double value = item.value;
  stats->decimals = std::max(stats->decimals, DecimalsNeeded(value));
  if (std::fabs(value) > stats->largest || stats->largestAt.file.empty()) {
    stats->largest = std::max(stats->largest, std::fabs(value));
    stats->largestAt = place;
  }
  if (type0) {
    stats->fromType0 = true;
    stats->type0 = value;
  }
  if (!countValues) return;
  const auto found = stats->counts.find(value);
  if (found != stats->counts.end()) {
    ++found->second;
  } else if (stats->counts.size() < kMaxCountedValues) {
    stats->counts.emplace(value, 1);
  }
}

// A key of the numbers a section holds and where ';' ends it.
std::string ShapeKey(const std::vector<int>& numbers, int terminal) {
  std::string key;
  key.reserve(numbers.size() * 3 + 8);
  for (int n : numbers) key.append(std::to_string(n)).push_back(',');
  key.push_back(';');
  key.append(std::to_string(terminal));
  return key;
}

}  // namespace

void AddFile(const FileFacts& facts, const FileRecord& record, ConfigStats* stats) {
  FileRecord kept = record;
  for (int k = 0; k < 5; ++k) {
    const SectionFact& section = facts.sections[k];
    if (!section.present) continue;
    kept.sections = static_cast<std::uint8_t>(kept.sections | (1u << k));
    KindStats& kind = stats->kinds[k];
    ++kind.files;
    std::vector<int> numbers;
    numbers.reserve(section.items.size());
    int terminal = 0;
    for (const ItemFact& item : section.items) {
      if (kind.items.size() < static_cast<std::size_t>(item.number)) kind.items.resize(item.number);
      if (item.terminal) terminal = item.number;
      numbers.push_back(item.number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    // A number written twice counts once, with the value read last.
    std::vector<const ItemFact*> last(numbers.empty() ? 0 : static_cast<std::size_t>(numbers.back()),
                                      nullptr);
    for (const ItemFact& item : section.items) last[item.number - 1] = &item;
    for (int n : numbers) {
      AddItem(*last[n - 1], record.file, record.typeNo == 0, k != 4, &kind.items[n - 1]);
    }
    Shape& shape = kind.shapes[ShapeKey(numbers, terminal)];
    if (shape.files++ == 0) {
      shape.numbers = numbers;
      shape.terminal = terminal;
    }
    if (shape.examples.size() < kExamples) shape.examples.push_back({record.file, section.line});
  }
  stats->records.push_back(std::move(kept));
}

}  // namespace tool::infer
