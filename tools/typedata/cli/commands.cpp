// What every command's glue shares: a refusal said and mapped to the exit
// status, the tree opened with what the opening found said.
#include "cli/glue.h"

#include "core/open_tree.h"

namespace tool {

int ExitStatus(RefusalKind kind) {
  switch (kind) {
    case RefusalKind::kNotFound:
    case RefusalKind::kRefused:
    case RefusalKind::kBusy:
      return kRefused;
    case RefusalKind::kNoTree:
    case RefusalKind::kInputOutput:
    case RefusalKind::kUsage:
      return kUsageError;
  }
  return kUsageError;
}

int ExitStatus(const Refusal& refusal) { return ExitStatus(refusal.kind); }

int Refuse(const Refusal& refusal, Output& out) {
  for (const std::string& note : refusal.notes) out.Note(note);
  out.Error(refusal.message);
  return ExitStatus(refusal);
}

void SayRolledBack(const Session& session, Output& out) {
  // Said as lines of their own: not the command's error (--json's error
  // document names the first error).
  for (const std::string& line : session.rolledBack()) out.Note(line);
}

int OpenSession(const GlobalOptions& options, Access access, Session* session, Output& out,
                bool makeTypeFolder) {
  const std::optional<Refusal> refusal = OpenSession(options, access, session, makeTypeFolder);
  SayRolledBack(*session, out);
  return refusal ? Refuse(*refusal, out) : kDone;
}

int OpenTree(const GlobalOptions& options, Access access, Session* session, Output& out) {
  const std::optional<Refusal> refusal = OpenTree(options, access, session);
  SayRolledBack(*session, out);
  return refusal ? Refuse(*refusal, out) : kDone;
}

bool OpenTree(const GlobalOptions& options, Session* session, Output& out) {
  return OpenTree(options, Access::kRead, session, out) == kDone;
}

bool RefuseTypeNumber(const Session& session, int number, Output& out) {
  if (const std::optional<Refusal> refusal = RefuseTypeNumber(session, number)) {
    out.Error(refusal->message);
    return true;
  }
  return false;
}

}  // namespace tool
