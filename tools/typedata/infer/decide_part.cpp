// The name part through which a config is shared: the position k at which
// types with equal parts hold byte-identical files of the config, and types
// with differing parts do not. Counted in pairs of types, from the number of
// files with each content in each group, so the count is linear. Types with
// the same name agree at every part, so their identical files tell no part;
// and identical files tell nothing without types of another part to set
// them against: a part is claimed only on pairs that tell it, else part 0
// is assumed and said so.
#include <fmt/core.h>

#include <unordered_map>

#include "infer/decide.h"

namespace tool::infer {
namespace {

long long Pairs(long long n) { return n * (n - 1) / 2; }

struct PartScore {
  int part = 0;
  long long agree = 0;     // equal parts, identical files
  long long contra = 0;    // equal parts, differing files
  long long coincide = 0;  // differing parts, identical files
  long long apart = 0;     // differing parts, differing files
  long long twins = 0;     // of agree: types with the same parts (names), which tell no part
  // part text -> the records of the types that have it
  std::map<std::string, std::vector<const FileRecord*>> groups;
};

PartScore Score(const ConfigStats& stats, const TypeParts& parts, int k) {
  PartScore score;
  score.part = k;
  for (const FileRecord& record : stats.records) {
    const auto found = parts.find(record.typeNo);
    if (found == parts.end() || static_cast<int>(found->second.size()) < k) continue;
    score.groups[found->second[k - 1]].push_back(&record);
  }
  std::unordered_map<std::uint64_t, long long> all;
  // parts joined (no part holds a line feed) -> content -> files
  std::map<std::string, std::unordered_map<std::uint64_t, long long>> sameName;
  long long total = 0;
  long long within = 0;
  for (const auto& [text, records] : score.groups) {
    std::unordered_map<std::uint64_t, long long> same;
    for (const FileRecord* record : records) {
      ++same[record->hash], ++all[record->hash];
      std::string name;
      for (const std::string& part : parts.at(record->typeNo)) name += part + '\n';
      ++sameName[name][record->hash];
    }
    for (const auto& [hash, n] : same) score.agree += Pairs(n);
    within += Pairs(static_cast<long long>(records.size()));
    total += static_cast<long long>(records.size());
  }
  long long identical = 0;
  for (const auto& [hash, n] : all) identical += Pairs(n);
  for (const auto& [name, contents] : sameName) {
    for (const auto& [hash, n] : contents) score.twins += Pairs(n);
  }
  score.contra = within - score.agree;
  score.coincide = identical - score.agree;
  score.apart = Pairs(total) - within - score.coincide;
  return score;
}

// Identical pairs that speak for this part: types with differing names.
long long Telling(const PartScore& s) { return s.agree - s.twins; }

// Telling pairs, no counter-example, and types of differing parts that hold
// differing files to set them against.
bool Fits(const PartScore& s) { return Telling(s) > 0 && s.contra == 0 && s.apart > 0; }

// Shared with a few differing files: far more agreement than disagreement
// within the groups, and more than between them.
bool LooksShared(const PartScore& s) {
  const long long telling = Telling(s);
  if (telling == 0 || s.apart == 0 || telling < 2 * s.contra) return false;
  const double inside = static_cast<double>(telling) / static_cast<double>(telling + s.contra);
  const long long between = s.coincide + s.apart;
  const double outside = between == 0 ? 0.0 : static_cast<double>(s.coincide) / static_cast<double>(between);
  return inside > outside;
}

std::string Counts(const PartScore& s) {
  const std::string twins = s.twins == 0 ? "" : fmt::format(" ({} of types with the same name)", s.twins);
  return fmt::format("{} pairs identical{}, {} counter-examples", s.agree, twins, s.contra);
}

// Why no part is claimed although identical files with a common part and no
// counter-example would suggest one; "" when nothing suggests one.
std::string WeakEvidence(const ConfigStats& stats, const std::vector<PartScore>& scores) {
  std::unordered_map<std::uint64_t, int> contents;
  for (const FileRecord& record : stats.records) ++contents[record.hash];
  if (stats.records.size() > 1 && contents.size() == 1) {
    return fmt::format(
        "assumed not shared: the files of all {} types are identical, which cannot tell whether or through "
        "which part it is shared",
        stats.records.size());
  }
  for (const PartScore& s : scores) {
    if (s.agree == 0 || s.contra > 0) continue;
    if (Telling(s) == 0) {
      return fmt::format(
          "assumed not shared: the only identical files with a common part are of types with the same name "
          "({} pairs), which agree at every part and cannot tell which",
          s.twins);
    }
    if (s.apart == 0) {
      return fmt::format(
          "assumed not shared: part {}'s identical files ({} pairs) have no types with another part {} "
          "holding other files to set them against",
          s.part, s.agree, s.part);
    }
  }
  return "";
}

// Every file of a group that differs from what most of its group hold.
void ReportDiffering(const PartScore& s, const std::string& prefix, std::vector<Conflict>* conflicts) {
  for (const auto& [text, records] : s.groups) {
    std::unordered_map<std::uint64_t, int> same;
    for (const FileRecord* record : records) ++same[record->hash];
    if (same.size() < 2) continue;
    std::uint64_t common = 0;
    int most = 0;
    for (const FileRecord* record : records) {  // the first of the most held, in type order
      if (same[record->hash] > most) common = record->hash, most = same[record->hash];
    }
    int reference = -1;
    for (const FileRecord* record : records) {
      if (record->hash == common && reference < 0) reference = record->typeNo;
    }
    for (const FileRecord* record : records) {
      if (record->hash == common) continue;
      conflicts->push_back(
          {record->file, 0,
           fmt::format(
               "shared config {} (part {} '{}') differs from type {}'s, which {} of {} types with that "
               "part hold",
               prefix, s.part, text, reference, most, records.size())});
    }
  }
}

}  // namespace

int DecidePart(const ConfigStats& stats, const TypeParts& parts, Evidence* evidence,
               std::vector<Conflict>* conflicts) {
  std::vector<PartScore> scores;
  for (int k = 1; k <= 3; ++k) scores.push_back(Score(stats, parts, k));
  const PartScore* best = nullptr;
  for (const PartScore& s : scores) {
    if (Fits(s) && (!best || Telling(s) > Telling(*best) ||
                    (Telling(s) == Telling(*best) && s.coincide < best->coincide)))
      best = &s;
  }
  if (best) {
    evidence->text = fmt::format("shared through part {}: {}", best->part, Counts(*best));
    for (const PartScore& s : scores) {
      if (&s != best && Fits(s))
        evidence->text += fmt::format("; part {} fits as well ({})", s.part, Counts(s));
    }
    return best->part;
  }
  for (const PartScore& s : scores) {
    if (LooksShared(s) && (!best || Telling(s) - s.contra > Telling(*best) - best->contra)) best = &s;
  }
  if (best) {
    evidence->text = fmt::format("shared through part {}: {}, each reported", best->part, Counts(*best));
    ReportDiffering(*best, stats.prefix, conflicts);
    return best->part;
  }
  if (std::string weak = WeakEvidence(stats, scores); !weak.empty()) {
    evidence->text = std::move(weak);
    evidence->assumed = true;
    return 0;
  }
  const PartScore* closest = nullptr;
  for (const PartScore& s : scores) {
    if (s.agree > 0 && (!closest || s.agree - s.contra > closest->agree - closest->contra)) closest = &s;
  }
  long long differing = 0;
  for (const PartScore& s : scores) differing += s.contra + s.apart;
  if (differing == 0 && stats.records.size() > 1) {
    evidence->text = "not shared, as far as the files tell: no two of them differ";
  } else if (closest) {
    evidence->text =
        fmt::format("not shared: no name part fits (part {}: {})", closest->part, Counts(*closest));
  } else {
    evidence->text = "not shared: no two types with a common name part hold identical files";
  }
  return 0;
}

}  // namespace tool::infer
