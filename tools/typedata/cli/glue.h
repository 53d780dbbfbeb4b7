// What the commands' glue shares beyond commands.h: the tree opened with
// or without a catalogue, what the opening found said, a failed save said.
#ifndef TOOLS_TYPEDATA_CLI_GLUE_H
#define TOOLS_TYPEDATA_CLI_GLUE_H

#include "cli/commands.h"
#include "ops/save_values.h"
#include "render/documents.h"

namespace tool {

// Says what opening the tree found of an interrupted command (put back, or
// left for a command that changes the tree), on stderr as lines of their own.
void SayRolledBack(const Session& session, Output& out);

// Opens a session whether or not the tree has a catalogue (root and its type
// folder made first when makeTypeFolder): kDone, or after saying why not
// the status to exit with.
int OpenSession(const GlobalOptions& options, Access access, Session* session, Output& out,
                bool makeTypeFolder = false);

// Says what a save that failed says (with --json the command's document
// with what became of the files), and gives the status to exit with.
int SayFailure(const GlobalOptions& options, const ops::SaveFailure& failure, const Document& document,
               Output& out);

// A save's outcome said (set, import, restore): its notes, then the failure
// or the model; the exit status.
template <typename Outcome>
int PresentSaved(const GlobalOptions& options, const Outcome& outcome, Output& out) {
  for (const std::string& note : outcome.notes) out.Note(note);
  if (outcome.failure) return SayFailure(options, *outcome.failure, ToDocument(outcome.model), out);
  Present(options, outcome.model, out);
  return kDone;
}

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CLI_GLUE_H
