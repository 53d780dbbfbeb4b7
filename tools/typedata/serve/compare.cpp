// Several types side by side, from a session of the server's own.
#include <optional>

#include "core/open_tree.h"
#include "ops/compare.h"
#include "replies.h"

namespace tool::serve {

Reply CompareDocument(const GlobalOptions& options, const std::vector<int>& numbers,
                      const std::string& config, bool onlyDifferences) {
  Reply reply;
  Session session;
  if (const std::optional<Refusal> refusal = OpenSession(options, Access::kRead, &session)) {
    reply.status = kReplyError;
    reply.http = HttpStatus(*refusal);
    reply.messages.push_back(refusal->message);
    return reply;
  }
  ops::CompareRequest request{numbers, config, onlyDifferences};
  request.partial = true;  // a type with a file that cannot be read: its other configs compared
  const Result<CompareModel> compared = ops::Compare(session, request);
  if (!compared.ok()) {
    const Refusal& refusal = compared.refusal();
    reply.status = kNotDone;
    reply.http = HttpStatus(refusal);
    reply.messages.push_back(refusal.message);
    return reply;
  }
  reply.document = ToDocument(compared.model());
  return reply;
}

}  // namespace tool::serve
