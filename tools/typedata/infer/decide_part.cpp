// The name part through which a config is shared: the position k at which
// types with equal parts hold byte-identical files of the config, and types
// with differing parts do not. Counted in pairs of types, from the number of
// files with each content in each group, so the count is linear.
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
  long long total = 0;
  long long within = 0;
  for (const auto& [text, records] : score.groups) {
    std::unordered_map<std::uint64_t, long long> same;
    for (const FileRecord* record : records) ++same[record->hash], ++all[record->hash];
    for (const auto& [hash, n] : same) score.agree += Pairs(n);
    within += Pairs(static_cast<long long>(records.size()));
    total += static_cast<long long>(records.size());
  }
  long long identical = 0;
  for (const auto& [hash, n] : all) identical += Pairs(n);
  score.contra = within - score.agree;
  score.coincide = identical - score.agree;
  score.apart = Pairs(total) - within - score.coincide;
  return score;
}

bool Fits(const PartScore& s) { return s.agree > 0 && s.contra == 0 && s.apart > 0; }

// Shared with a few differing files: far more agreement than disagreement
// within the groups, and more than between them.
bool LooksShared(const PartScore& s) {
  if (s.agree == 0 || s.agree < 2 * s.contra) return false;
  const double inside = static_cast<double>(s.agree) / static_cast<double>(s.agree + s.contra);
  const long long between = s.coincide + s.apart;
  const double outside = between == 0 ? 0.0 : static_cast<double>(s.coincide) / static_cast<double>(between);
  return inside > outside;
}

std::string Counts(const PartScore& s) {
  return fmt::format("{} pairs identical, {} counter-examples", s.agree, s.contra);
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
    if (Fits(s) &&
        (!best || s.agree > best->agree || (s.agree == best->agree && s.coincide < best->coincide)))
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
    if (LooksShared(s) && (!best || s.agree - s.contra > best->agree - best->contra)) best = &s;
  }
  if (best) {
    evidence->text = fmt::format("shared through part {}: {}, each reported", best->part, Counts(*best));
    ReportDiffering(*best, stats.prefix, conflicts);
    return best->part;
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
