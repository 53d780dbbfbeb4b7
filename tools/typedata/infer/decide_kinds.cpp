// Counts and items of each kind. An item is in use when at least half the
// files with its section hold it; a file that disagrees with that majority
// is a conflict, named with its file and line.
#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "infer/decide.h"

namespace tool::infer {
namespace {

constexpr char kKinds[] = "DSALV";
constexpr int kText = 4;
constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
constexpr int kAssumedScale = 2;  // the sample machine's real items mostly have two decimals

std::string Numbers(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += j == i ? std::to_string(numbers[i]) : fmt::format("{}-{}", numbers[i], numbers[j]);
    i = j + 1;
  }
  return text;
}

std::string Plural(int n, const char* one, const char* many) {
  return fmt::format("{} {}", n, n == 1 ? one : many);
}

// Reports problem at each example of a shape; the last one says how many
// more files are like it.
void ReportShape(const Shape& shape, const std::string& problem, std::vector<Conflict>* conflicts) {
  for (std::size_t i = 0; i < shape.examples.size(); ++i) {
    std::string text = problem;
    const int more = shape.files - static_cast<int>(shape.examples.size());
    if (i + 1 == shape.examples.size() && more > 0) text += fmt::format(" (so do {} more files)", more);
    conflicts->push_back({shape.examples[i].file, shape.examples[i].line, text});
  }
}

double MostCommon(const ItemStats& item, int* files) {
  double best = 0.0;
  *files = 0;
  for (const auto& [value, count] : item.counts) {
    if (count > *files || (count == *files && value < best)) best = value, *files = count;
  }
  return best;
}

// One item in use of a numeric kind.
std::string DecideNumber(char kind, int number, const ItemStats& item, mmisim::ItemDescription* out,
                         std::vector<Conflict>* conflicts) {
  const bool real = item.pointed > 0;
  std::string why =
      real ? fmt::format("real: decimals in {} of {}", item.pointed, Plural(item.files, "file", "files"))
           : fmt::format("integer: whole numbers in {}", Plural(item.files, "file", "files"));
  if (real && item.pointed < item.files) {
    const bool wholeFewer = item.files - item.pointed <= item.pointed;
    const Place& at = wholeFewer ? item.whole : item.decimal;
    conflicts->push_back({at.file, at.line,
                          fmt::format("[{}] item {} is written {} here, {} in {} other files", kind, number,
                                      wholeFewer ? "without decimals" : "with decimals",
                                      wholeFewer ? "with decimals" : "without decimals",
                                      wholeFewer ? item.pointed : item.files - item.pointed)});
  }
  // The files show the decimals the values need, never the controller's:
  // at least those, and no fewer than the sample machine mostly has.
  const int wanted = std::max(item.decimals, kAssumedScale);
  int scale = real ? wanted : 0;
  while (scale > 0 && item.largest * std::pow(10.0, scale) > kLargest) --scale;
  if (item.largest > kLargest) {
    conflicts->push_back({item.largestAt.file, item.largestAt.line,
                          fmt::format("[{}] item {}: the controller cannot hold {}", kind, number,
                                      DecimalText(item.largest))});
  }
  double value = 0.0;
  if (item.fromType0) {
    value = item.type0;
    why += "; default of type 0";
  } else {
    int files = 0;
    value = MostCommon(item, &files);
    why += fmt::format("; default: the most common value ({} of {})", files, item.files);
  }
  if (std::fabs(value) * std::pow(10.0, scale) > kLargest) {
    value = 0.0;
    why += ", which the controller cannot hold: 0 instead";
  }
  if (real) {
    const std::string need = fmt::format("the values need {}", Plural(item.decimals, "decimal", "decimals"));
    if (scale < wanted)
      why += fmt::format("; scale {}: {}, the largest allows {}", scale, need, scale);
    else if (item.decimals <= kAssumedScale)
      why +=
          fmt::format("; scale {}: assumed, as the sample machine mostly has; enough for the values", scale);
    else
      why += fmt::format("; scale {}: {}", scale, need);
  }
  out->described = true;
  out->dataType = real ? 'P' : 'I';
  out->defaultValue = value == 0.0 ? 0.0 : value;  // no "-0"
  out->scale = scale;
  return why;
}

void DecideKind(int k, const KindStats& stats, const std::string& prefix, mmisim::KindItems* out,
                KindEvidence* evidence, std::vector<Conflict>* conflicts) {
  const char kind = kKinds[k];
  auto inUse = [&](int n) {
    return n >= 1 && n <= static_cast<int>(stats.items.size()) && stats.items[n - 1].files > 0 &&
           stats.items[n - 1].files * 2 >= stats.files;
  };
  int highest = 0;
  for (int n = static_cast<int>(stats.items.size()); n >= 1 && highest == 0; --n) highest = inUse(n) ? n : 0;
  std::map<int, int> terminals;  // item that ';' follows -> files
  for (const auto& [key, shape] : stats.shapes) {
    if (shape.terminal > 0) terminals[shape.terminal] += shape.files;
  }
  int terminal = 0;
  int terminalFiles = 0;
  for (const auto& [n, files] : terminals) {
    if (files >= terminalFiles) terminal = n, terminalFiles = files;
  }
  int count = highest;
  if (terminal > 0 && terminal >= highest) {
    count = terminal;
    evidence->count.text = fmt::format("';' after item {} in {} of {}", terminal, terminalFiles,
                                       Plural(stats.files, "file", "files"));
  } else if (terminal == 0) {
    count = std::min(highest + 1, 65535);
    evidence->count.text = highest == 0
                               ? "the section holds no item in any file: guessed one item, not written"
                               : fmt::format(
                                     "no file ends the section with ';': at least one item after "
                                     "item {} is not written; guessed one",
                                     highest);
  } else {
    evidence->count.text =
        fmt::format("items up to {} in use, though most files end with ';' after item {}", highest, terminal);
  }
  out->declared = true;
  out->count = static_cast<std::uint32_t>(count);
  out->items.assign(count, mmisim::ItemDescription());

  std::vector<std::string> whys(count);
  for (int n = 1; n <= count; ++n) {
    mmisim::ItemDescription& item = out->items[n - 1];
    const int held = n <= static_cast<int>(stats.items.size()) ? stats.items[n - 1].files : 0;
    if (!inUse(n)) {
      const std::string who =
          held == 0 ? "no file holds it" : fmt::format("only {} of {} hold it", held, stats.files);
      if (k == kText) {
        item.dataType = ' ';
        whys[n - 1] = "not in use: " + who;
      } else {
        item.described = false;
        whys[n - 1] = "no such item: " + who;
      }
    } else if (k == kText) {
      item.dataType = 'C';
      whys[n - 1] = "";
    } else {
      whys[n - 1] = DecideNumber(kind, n, stats.items[n - 1], &item, conflicts);
    }
  }
  for (int n = 1; n <= count;) {
    int last = n;
    const mmisim::ItemDescription& a = out->items[n - 1];
    while (last < count) {
      const mmisim::ItemDescription& b = out->items[last];
      if (b.described != a.described || b.dataType != a.dataType || b.defaultValue != a.defaultValue ||
          b.scale != a.scale || whys[last] != whys[n - 1])
        break;
      ++last;
    }
    evidence->runs.push_back({n, last, {whys[n - 1], false}});
    n = last + 1;
  }

  for (const auto& [key, shape] : stats.shapes) {
    std::vector<int> missing;
    std::vector<int> extra;
    for (int n = 1; n <= count; ++n) {
      const bool held = std::binary_search(shape.numbers.begin(), shape.numbers.end(), n);
      if (inUse(n) && !held) missing.push_back(n);
      if (!inUse(n) && held) extra.push_back(n);
    }
    std::vector<int> beyond;
    for (int n : shape.numbers) {
      if (n > count) beyond.push_back(n);
    }
    if (!missing.empty()) {
      ReportShape(
          shape,
          fmt::format("[{}] leaves out item {}, which the other files of {} hold: {}", kind, Numbers(missing),
                      prefix, k == kText ? "it reads as an empty text" : "it reads as 0"),
          conflicts);
    }
    if (!extra.empty()) {
      ReportShape(
          shape,
          fmt::format("[{}] holds item {}, which most files of {} leave out", kind, Numbers(extra), prefix),
          conflicts);
    }
    if (!beyond.empty()) {
      ReportShape(shape,
                  fmt::format("[{}] holds item {}, beyond the count {} of the other files of {}", kind,
                              Numbers(beyond), count, prefix),
                  conflicts);
    }
    if (shape.terminal > 0 && shape.terminal != count) {
      ReportShape(shape,
                  fmt::format("[{}] ends with ';' after item {}, where the other files of {} count {} items",
                              kind, shape.terminal, prefix, count),
                  conflicts);
    }
  }
}

}  // namespace

std::string DecimalText(double value) {
  if (!std::isfinite(value)) return value < 0 ? "-inf" : "inf";
  std::string text = fmt::format("{:.9f}", value);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

void DecideKinds(const ConfigStats& stats, mmisim::MachineConfig* config, ConfigEvidence* evidence,
                 std::vector<Conflict>* conflicts) {
  const int files = static_cast<int>(stats.records.size());
  for (int k = 0; k < 5; ++k) {
    const KindStats& kind = stats.kinds[k];
    if (kind.files == 0) continue;
    const bool kept = kind.files * 2 >= files;
    int reported = 0;
    const int odd = kept ? files - kind.files : kind.files;
    for (const FileRecord& record : stats.records) {
      const bool has = (record.sections >> k) & 1;
      if (has == kept || reported == 5) continue;
      std::string problem = kept ? fmt::format("has no [{}] section, which {} other files of {} have",
                                               kKinds[k], kind.files, stats.prefix)
                                 : fmt::format("has a [{}] section, which {} other files of {} do not",
                                               kKinds[k], files - kind.files, stats.prefix);
      if (++reported == 5 && odd > 5) problem += fmt::format(" (so do {} more files)", odd - 5);
      conflicts->push_back({record.file, 0, problem});
    }
    if (kept) DecideKind(k, kind, stats.prefix, &config->kinds[k], &evidence->kinds[k], conflicts);
  }
}

}  // namespace tool::infer
