// The order of a sorted combo box: Windows' word sort without regard to
// case. Letters compare alphabetically, digits come before letters, and
// blank and punctuation before digits, in Windows' order. Hyphens and
// apostrophes do not take part in the first comparison; between texts
// that are otherwise equal, one without them comes first, then the one
// whose first of them stands further right, then apostrophe before hyphen.
// Bytes outside printable ASCII come after letters, by their value.
#include <array>
#include <cctype>
#include <utility>
#include <vector>

#include "stand_ins.h"

namespace mmisim::standin {
namespace {

constexpr char kOrder[] = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789abcdefghijklmnopqrstuvwxyz";

const std::array<int, 256>& Weights() {
  static const std::array<int, 256> weights = [] {
    std::array<int, 256> table{};
    for (int byte = 1; byte < 256; ++byte) table[byte] = static_cast<int>(sizeof kOrder) + byte;
    for (int i = 0; kOrder[i]; ++i) {
      const auto byte = static_cast<unsigned char>(kOrder[i]);
      table[byte] = i + 1;
      table[std::toupper(byte)] = i + 1;
    }
    table[static_cast<unsigned char>('\'')] = 0;  // weighed apart
    table[static_cast<unsigned char>('-')] = 0;
    return table;
  }();
  return weights;
}

struct SortKey {
  std::vector<int> primary;
  std::vector<std::pair<int, int>> special;  // (position, 1 apostrophe / 2 hyphen)
};

SortKey KeyOf(const std::string& text) {
  SortKey key;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int weight = Weights()[byte];
    if (weight != 0) {
      key.primary.push_back(weight);
    } else {
      key.special.emplace_back(static_cast<int>(i), byte == '\'' ? 1 : 2);
    }
  }
  return key;
}

}  // namespace

int CompareForSorting(const std::string& a, const std::string& b) {
  const SortKey left = KeyOf(a);
  const SortKey right = KeyOf(b);
  if (left.primary != right.primary) return left.primary < right.primary ? -1 : 1;
  const std::size_t common = std::min(left.special.size(), right.special.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto& [leftPosition, leftWeight] = left.special[i];
    const auto& [rightPosition, rightWeight] = right.special[i];
    if (leftPosition != rightPosition) return leftPosition > rightPosition ? -1 : 1;
    if (leftWeight != rightWeight) return leftWeight < rightWeight ? -1 : 1;
  }
  if (left.special.size() != right.special.size()) return left.special.size() < right.special.size() ? -1 : 1;
  return 0;
}

}  // namespace mmisim::standin
