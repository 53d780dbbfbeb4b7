// The dispatcher's one way to run a command: prepared, the tree opened and
// locked as the command's row says, then the command's glue.
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/glue.h"
#include "ops/record_change.h"

namespace tool {

int Dispatch(const CommandRow& row, Command& command, const GlobalOptions& options, Output& out) {
  if (const int status = command.Prepare(options, out); status != kDone) return status;
  if (row.tree == TreeNeed::kNone) return command.Run(options, nullptr, out);
  const Access access = Changes(row.tree) ? Access::kChange : Access::kRead;
  Session session;
  const int opened = row.tree == TreeNeed::kRead || row.tree == TreeNeed::kChange
                         ? OpenTree(options, access, &session, out)
                         : OpenSession(options, access, &session, out, row.tree == TreeNeed::kMakeAndChange);
  if (opened != kDone) return opened;
  if (!Changes(row.tree)) return command.Run(options, &session, out);

  // A change: recorded in the tree's history as one entry, after what
  // changed outside the tool since its last entry.
  const ops::Recorder recorder{options.user, options.words.empty() ? row.name : options.words, options.reason,
                               options.checkedBy};
  Result<std::unique_ptr<ops::ChangeRecording>> recording =
      ops::ChangeRecording::Begin(session, recorder, command.KeepsHistory());
  if (!recording.ok()) return Refuse(recording.refusal(), out);
  for (const std::string& note : recording.model()->notes()) out.Note(note);
  const std::size_t said = recording.model()->notes().size();
  const int status = command.Run(options, &session, out);
  const std::optional<Refusal> unrecorded = recording.model()->Finish();
  const std::vector<std::string>& notes = recording.model()->notes();
  for (std::size_t i = said; i < notes.size(); ++i) out.Note(notes[i]);
  if (unrecorded) {
    const int failed = Refuse(*unrecorded, out);
    return status == kDone ? failed : status;
  }
  return status;
}

int RunWords(const GlobalOptions& options, const std::vector<std::string>& words, Output& out) {
  const CommandRow* row = words.empty() ? nullptr : FindCommand(words.front());
  if (!row) {
    out.Error("no such command: " + (words.empty() ? std::string() : words.front()));
    return kUsageError;
  }
  CLI::App parser{row->summary, row->name};
  const std::unique_ptr<Command> command = row->make();
  command->Define(parser);
  // CLI11 takes the words after the name last first.
  std::vector<std::string> arguments(words.rbegin(), words.rend() - 1);
  try {
    parser.parse(arguments);
  } catch (const CLI::ParseError& mistake) {
    out.Error(std::string(row->name) + ": " + mistake.what());
    return kUsageError;
  }
  return Dispatch(*row, *command, options, out);
}

}  // namespace tool
