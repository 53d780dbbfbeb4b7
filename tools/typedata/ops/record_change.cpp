#include "ops/record_change.h"

#include <fmt/core.h>

#ifdef TD_HAVE_HISTORY
#include "history/history.h"
#include "history/who.h"
#endif

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

struct ChangeRecording::State {
  std::shared_ptr<history::History> history;  // null: the tree keeps none
  history::ChangeInfo change;
};

namespace {

std::string Short(const std::string& revision) { return revision.substr(0, 12); }

}  // namespace

Result<std::unique_ptr<ChangeRecording>> ChangeRecording::Begin(const Session& session,
                                                                const Recorder& recorder, bool makeHistory) {
  auto state = std::make_unique<State>();
  const Result<history::Settings> settings = history::ReadSettings(session.root());
  if (!settings.ok()) return settings.refusal();
  if (settings.model().requireReason && recorder.reason.empty())
    return Refusal::Of(
        RefusalKind::kRefused,
        "this tree requires a reason for every change: give --reason WHY; nothing was changed");
  state->change = {history::CurrentUser(recorder.user), history::StationName(), recorder.command,
                   recorder.reason, recorder.checkedBy};
  std::unique_ptr<ChangeRecording> recording(new ChangeRecording(std::move(state)));
  if (!settings.model().enabled || !makeHistory) return recording;

  Result<std::shared_ptr<history::History>> opened = history::History::Open(session.root());
  if (!opened.ok()) return opened.refusal();
  recording->state_->history = opened.model();
  history::ChangeInfo noticer = recording->state_->change;
  const Result<history::Recorded> outside = recording->state_->history->RecordOutside(noticer);
  if (!outside.ok()) return outside.refusal();
  const history::Recorded& found = outside.model();
  if (found.made && !found.first)
    recording->notes_.push_back(fmt::format(
        "{} recorded in the history first, as entry {}",
        found.interrupted ? "what an interrupted command left was" : "a change made outside the tool was",
        Short(found.revision)));
  if (!found.note.empty()) recording->notes_.push_back(found.note);
  const Result<history::Recorded> begun = recording->state_->history->BeginChange(recording->state_->change);
  if (!begun.ok()) return begun.refusal();
  return recording;
}

std::optional<Refusal> ChangeRecording::Finish() {
  if (!state_->history) return std::nullopt;
  const Result<history::Recorded> recorded = state_->history->Record(state_->change);
  state_->history.reset();
  if (!recorded.ok()) {
    Refusal refusal = recorded.refusal();
    refusal.message = "the change was saved, but not recorded in the history (the next change records it): " +
                      refusal.message;
    return refusal;
  }
  if (!recorded.model().note.empty()) notes_.push_back(recorded.model().note);
  return std::nullopt;
}

bool HistoryInThisBuild() { return true; }

std::optional<Refusal> KeepHistorySettings(const Session& session, bool keepHistory, bool requireReason) {
  const Result<history::Settings> kept = history::WriteSettings(session.root(), {keepHistory, requireReason});
  if (!kept.ok()) return kept.refusal();
  return std::nullopt;
}

#else  // a build without history: changes are made, nothing is recorded

struct ChangeRecording::State {};

Result<std::unique_ptr<ChangeRecording>> ChangeRecording::Begin(const Session& /*session*/,
                                                                const Recorder& /*recorder*/,
                                                                bool /*makeHistory*/) {
  return std::unique_ptr<ChangeRecording>(new ChangeRecording(std::make_unique<State>()));
}

std::optional<Refusal> ChangeRecording::Finish() { return std::nullopt; }

bool HistoryInThisBuild() { return false; }

std::optional<Refusal> KeepHistorySettings(const Session& /*session*/, bool /*keepHistory*/,
                                           bool /*requireReason*/) {
  return std::nullopt;
}

#endif

ChangeRecording::ChangeRecording(std::unique_ptr<State> state) : state_(std::move(state)) {}
ChangeRecording::~ChangeRecording() = default;

}  // namespace tool::ops
