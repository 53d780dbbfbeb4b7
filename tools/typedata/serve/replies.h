// What the server answers with: the tool's own --json documents (list,
// show, check, set), and the ones only the pages need (a page of the type
// list, a comparison of several types, the sharing map), all described in
// docs/json.md.
#ifndef TOOLS_TYPEDATA_SERVE_REPLIES_H
#define TOOLS_TYPEDATA_SERVE_REPLIES_H

#include <map>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/session.h"
#include "render/documents.h"

namespace tool::serve {

// Reply::status, as the tool's exit status.
constexpr int kReplied = 0;
constexpr int kNotDone = 1;     // refused
constexpr int kReplyError = 2;  // a usage or input/output error

// A document, or why there is none.
struct Reply {  // NOLINT(bugprone-exception-escape): nlohmann::json moves throw only on a broken invariant
  int status = 0;
  Document document;                  // null when the command gave none
  std::vector<std::string> messages;  // what the command line says on stderr
  int http = 0;                       // an HTTP status that says more than status
  std::string error;                  // the answer's error when not the last message
};

// The HTTP status that answers a refusal.
int HttpStatus(const Refusal& refusal);
// A refusal as a reply: no document, its message as the command line says it.
Reply Refused(const Refusal& refusal);

struct ListQuery {
  std::string filter;  // matched against "NNNN NAME", letter case ignored
  ListOrder order = ListOrder::kNumber;
  std::size_t offset = 0;
  std::size_t limit = 100;
};

// The list document with only the page's types in "types", and "total",
// "matched" and "offset".
Reply TypesPage(const GlobalOptions& options, const ListQuery& query);
// The show document of a type, shown in part when a file cannot be read
// ("broken"); the values of each file are kept by revision so that a save
// refused for a file changed since can say what changed.
Reply TypeDocument(const GlobalOptions& options, int number);
// The check document.
Reply CheckDocument(const GlobalOptions& options);
// Changes as set makes them: "KIND:ITEM=VALUE" in the config prefix;
// options.strict refuses values that would be stored rounded.
// seen: the revision of each file the page read, by file (those changed
// since: refused, HTTP 409, with what changed value by value).
Reply SetValues(const GlobalOptions& options, int number, const std::string& prefix,
                const std::vector<std::string>& assignments, const std::map<std::string, std::string>& seen);
// Several types side by side; rows whose values differ marked.
Reply CompareDocument(const GlobalOptions& options, const std::vector<int>& numbers,
                      const std::string& config, bool onlyDifferences);
// Which types share which config through which name part.
Reply SharingDocument(const GlobalOptions& options);

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_REPLIES_H
