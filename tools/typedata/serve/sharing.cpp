// The sharing map, from a session of the server's own.
#include <optional>

#include "core/open_tree.h"
#include "ops/sharing.h"
#include "replies.h"

namespace tool::serve {

Reply SharingDocument(const GlobalOptions& options) {
  Reply reply;
  Session session;
  if (const std::optional<Refusal> refusal = OpenSession(options, Access::kRead, &session)) {
    reply.status = kReplyError;
    reply.http = HttpStatus(*refusal);
    reply.messages.push_back(refusal->message);
    return reply;
  }
  reply.document = ToDocument(ops::Sharing(session, {}));
  return reply;
}

}  // namespace tool::serve
