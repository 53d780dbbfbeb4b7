#include "ops/save_values.h"

#include <fmt/core.h>
#include <fmt/format.h>

#include <cstdlib>

#include "core/item_limits.h"
#include "core/journal.h"
#include "core/push_check.h"

namespace tool::ops {
namespace {

// A value that a change gives is kept within its item's limits, as it will
// be stored (after the controller's rounding). A change that leaves a value
// as it is changes nothing, even where a later description put it outside.
bool WithinLimits(const Change& change, const ReviewedChange& reviewed, bool changed, std::string* error) {
  double stored = 0.0;
  if (!changed || change.kind == 'V' || !ParseFileNumber(reviewed.stored, &stored)) return true;
  const std::string outside = LimitRefusal(change.prefix, change.kind, change.item, stored);
  if (outside.empty()) return true;
  *error = (change.where.empty() ? "" : change.where + ": ") + outside;
  return false;
}

}  // namespace

std::optional<Refusal> ReviewAndApply(bool strict, const TypeValues& loaded, std::vector<Change>& changes,
                                      const std::string& where, bool onlyChanged,
                                      std::vector<ReviewedChange>* applied, std::vector<std::string>* notes) {
  std::string error;
  for (Change& change : changes) {
    ReviewedChange reviewed;
    bool changed = false;
    if (!ReviewChange(loaded, strict, &change, &reviewed, &error) ||
        !ApplyChange(loaded, change, &changed, &error) || !WithinLimits(change, reviewed, changed, &error)) {
      Refusal refusal = Refusal::Of(RefusalKind::kRefused, where + error + "; nothing was saved");
      refusal.notes = *notes;
      return refusal;
    }
    if (reviewed.rounded) notes->push_back(RoundingNote(reviewed));
    if (changed || !onlyChanged) applied->push_back(reviewed);
  }
  return std::nullopt;
}

std::optional<SaveFailure> SaveAndCollect(Session& session, int number, const char* command,
                                          SavedFiles* saved) {
  Journal journal(session.TypeFolder(), command);
  std::string error;
  SaveFailure failure;
  if (!journal.Begin(FilesASaveWrites(session, number), &error)) {
    failure.errors.push_back(error);
    failure.save.error = error;
    return failure;
  }
  std::vector<std::string> written;
  const bool ok = SaveType(session, number, journal, &written, &error);
  std::vector<std::string> errors;
  if (!ok) errors.push_back(error);
  // A type that shares a changed config must hold it now, or be named.
  for (const MissedPush& push : MissedPushes(session, number, written)) {
    errors.push_back(fmt::format("type {:04d} '{}' shares a changed config but did not receive it: {}: {}",
                                 push.type, push.name, push.file, push.reason));
  }
  if (errors.empty() && !journal.Finish(&error))
    errors.push_back("the save's journal could not be removed, so the next command puts the files back: " +
                     error);
  const auto collect = [&](const std::vector<std::string>& files) {
    const std::string own = fmt::format("{:04d}/", number);
    for (const std::string& file : files) {
      if (file.rfind(own, 0) == 0) {
        saved->own.push_back(file);
      } else {
        const int to = std::atoi(file.substr(0, 4).c_str());
        saved->shared.push_back({to, session.TypeName(to), file});
      }
    }
  };
  if (errors.empty()) {
    collect(written);
    return std::nullopt;
  }
  failure.errors = errors;
  failure.save.error = fmt::format("{}", fmt::join(errors, "; "));
  std::string why;
  if (!journal.PutBack(&failure.save.putBack, &why)) {
    failure.errors.push_back(why);
    failure.save.kept = journal.ChangedFiles();
    collect(failure.save.kept);
  }
  failure.errors.push_back(WhatWasSaved(failure.save));
  failure.kind = ok ? RefusalKind::kRefused : RefusalKind::kInputOutput;
  return failure;
}

}  // namespace tool::ops
