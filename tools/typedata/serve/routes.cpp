#include "routes.h"

#include <fmt/core.h>

#include <map>
#include <mutex>

#include "assets.h"
#include "connections.h"
#include "replies.h"

namespace tool::serve {
namespace {

// The service and the simulated host hold one tree per process: one
// request at a time works on it.
std::mutex treeMutex;

constexpr std::size_t kMaxCompared = 50;
constexpr std::size_t kMaxPage = 1000;

void SendJson(httplib::Response& response, int status, const Document& document) {
  response.status = status;
  response.set_content(document.dump(-1, ' ', false, Document::error_handler_t::replace), "application/json");
}

void SendError(httplib::Response& response, int status, const std::string& error,
               const std::vector<std::string>& messages = {}) {
  Document document = NewDocument("error");
  document["error"] = error;
  document["messages"] = messages;
  SendJson(response, status, document);
}

// What went wrong, from what the command said last.
std::string Why(const Reply& reply, const char* otherwise) {
  if (reply.messages.empty()) return otherwise;
  const std::string& last = reply.messages.back();
  const std::string prefix = "typedata: ";
  return last.rfind(prefix, 0) == 0 ? last.substr(prefix.size()) : last;
}

// A reply without a document as an error: refused means the request
// cannot be carried out as it stands.
void SendFailure(httplib::Response& response, const Reply& reply, const char* otherwise) {
  int status = reply.http;
  if (status == 0) status = reply.status == kReplied ? 500 : reply.status == kNotDone ? 422 : 400;
  SendError(response, status, reply.error.empty() ? Why(reply, otherwise) : reply.error, reply.messages);
}

void SendReply(httplib::Response& response, const Reply& reply) {
  if (reply.document.is_null()) return SendFailure(response, reply, "the command gave no document");
  SendJson(response, reply.http != 0 ? reply.http : 200, reply.document);
}

// A type number as the tool takes it: 0 to 9999, digits only.
bool TypeNumber(const std::string& text, int* number) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *number = std::stoi(text);
  return true;
}

std::size_t SizeParam(const httplib::Request& request, const char* name, std::size_t fallback,
                      std::size_t most) {
  const std::string text = request.get_param_value(name);
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return fallback;
  return std::min<std::size_t>(std::stoul(text), most);
}

const char* ContentType(const std::string& path) {
  const auto endsWith = [&](const char* end) {
    const std::string tail(end);
    return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (endsWith(".html")) return "text/html; charset=utf-8";
  if (endsWith(".js")) return "text/javascript; charset=utf-8";
  if (endsWith(".css")) return "text/css; charset=utf-8";
  return "application/octet-stream";
}

void SendAsset(httplib::Response& response, const std::string& path) {
  const Asset* asset = FindAsset(path);
  if (!asset) return SendError(response, 404, "no page " + path);
  response.set_content(asset->bytes, asset->size, ContentType(path));
}

void AddPages(httplib::Server& server) {
  // The first visit (/?token=...) gets the types page itself: its script
  // keeps the token for the tab and takes it out of the address.
  server.Get(
      "/", [](const httplib::Request&, httplib::Response& response) { SendAsset(response, "/types.html"); });
  server.Get("/favicon.ico",
             [](const httplib::Request&, httplib::Response& response) { response.status = 204; });
  server.Get(R"(/[a-z]+\.(?:html|js|css))", [](const httplib::Request& request, httplib::Response& response) {
    SendAsset(response, request.path);
  });
}

void AddReads(httplib::Server& server, const GlobalOptions& options) {
  server.Get("/api/types", [&](const httplib::Request& request, httplib::Response& response) {
    ListQuery query;
    query.filter = request.get_param_value("filter");
    const std::string sort = request.get_param_value("sort");
    const std::optional<ListOrder> order = ListOrderNamed(sort.empty() ? "number" : sort);
    if (!order) return SendError(response, 400, "sort is number, name or catalogue");
    query.order = *order;
    query.offset = SizeParam(request, "offset", 0, 1000000);
    query.limit = SizeParam(request, "limit", 100, kMaxPage);
    const std::lock_guard<std::mutex> one(treeMutex);
    SendReply(response, TypesPage(options, query));
  });
  server.Get(R"(/api/types/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
    int number = 0;
    if (!TypeNumber(request.matches[1], &number))
      return SendError(response, 404, fmt::format("no type {}", request.matches[1].str()));
    const std::lock_guard<std::mutex> one(treeMutex);
    SendReply(response, TypeDocument(options, number));
  });
  server.Get("/api/compare", [&](const httplib::Request& request, httplib::Response& response) {
    std::vector<int> numbers;
    std::string list = request.get_param_value("types");
    for (std::size_t at = 0; at <= list.size();) {
      const std::size_t end = std::min(list.find(',', at), list.size());
      int number = 0;
      if (!TypeNumber(list.substr(at, end - at), &number))
        return SendError(response, 400, "types is a list of type numbers, e.g. types=1,2,5");
      numbers.push_back(number);
      at = end + 1;
    }
    if (numbers.size() < 2 || numbers.size() > kMaxCompared)
      return SendError(response, 400, fmt::format("compare 2 to {} types", kMaxCompared));
    const std::lock_guard<std::mutex> one(treeMutex);
    SendReply(response, CompareDocument(options, numbers, request.get_param_value("config"),
                                        request.get_param_value("all") != "1"));
  });
  server.Get("/api/sharing", [&](const httplib::Request&, httplib::Response& response) {
    const std::lock_guard<std::mutex> one(treeMutex);
    SendReply(response, SharingDocument(options));
  });
  server.Get("/api/check", [&](const httplib::Request&, httplib::Response& response) {
    const std::lock_guard<std::mutex> one(treeMutex);
    SendReply(response, CheckDocument(options));
  });
}

void AddChanges(httplib::Server& server, const GlobalOptions& options) {
  server.Post(R"(/api/types/(\d+)/set)", [&](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Content-Type").rfind("application/json", 0) != 0)
      return SendError(response, 415, "send the changes as application/json");
    const Document body = Document::parse(request.body, nullptr, /*allow_exceptions=*/false);
    if (!body.is_object() || !body.contains("config") || !body["config"].is_string() ||
        !body.contains("changes") || !body["changes"].is_array() || body["changes"].empty())
      return SendError(response, 400,
                       R"(expected {"config": "PREFIX", "changes": ["KIND:ITEM=VALUE", ...]})");
    std::vector<std::string> changes;
    for (const Document& change : body["changes"]) {
      if (!change.is_string()) return SendError(response, 400, "each change is a text KIND:ITEM=VALUE");
      changes.push_back(change.get<std::string>());
    }
    // The revision of each file the page read: a file changed since is not
    // overwritten (409).
    std::map<std::string, std::string> seen;
    if (body.contains("revisions")) {
      const Document& revisions = body["revisions"];
      if (!revisions.is_object())
        return SendError(response, 400, R"(revisions is {"0001/TOOL0001.DAT": "REVISION", ...})");
      for (const auto& [file, revision] : revisions.items()) {
        if (!revision.is_string() && !revision.is_null())
          return SendError(response, 400, "each revision is a text, or null for a file that was missing");
        seen[file] = revision.is_string() ? revision.get<std::string>() : "";
      }
    }
    int number = 0;
    if (!TypeNumber(request.matches[1], &number))
      return SendError(response, 404, fmt::format("no type {}", request.matches[1].str()));
    const std::lock_guard<std::mutex> one(treeMutex);
    GlobalOptions strict = options;
    strict.strict = body.contains("strict") && body["strict"].is_boolean() && body["strict"].get<bool>();
    // Why, for the tree's history (required where the tree says so).
    if (body.contains("reason") && body["reason"].is_string())
      strict.reason = body["reason"].get<std::string>();
    const Reply reply = SetValues(strict, number, body["config"].get<std::string>(), changes, seen);
    // A save that failed answers with the set document, which says what
    // became of each file it had written ("putBack", "error").
    if (reply.document.is_null()) return SendFailure(response, reply, "nothing was saved");
    Document answer = reply.document;
    answer["messages"] = reply.messages;
    SendJson(response, reply.http != 0 ? reply.http : 200, answer);
  });
}

}  // namespace

void AddRoutes(httplib::Server& server, const GlobalOptions& options, const Gate& gate) {
  server.set_payload_max_length(kMaxBody);
  server.set_default_headers({{"Cache-Control", "no-store"},
                              {"X-Content-Type-Options", "nosniff"},
                              {"X-Frame-Options", "DENY"},
                              {"Referrer-Policy", "no-referrer"},
                              {"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"}});
  server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response& response) {
    int status = 0;
    std::string why;
    if (gate.Allowed(request, &status, &why)) {
      if (gate.Authenticated(request)) AdmitCurrentConnection();
      return httplib::Server::HandlerResponse::Unhandled;
    }
    SendError(response, status, why);
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
    if (!response.body.empty()) return;
    if (response.status == 413)
      return SendError(response, 413, fmt::format("a request body holds at most {} bytes", kMaxBody));
    SendError(response, response.status,
              fmt::format("{} {}: no such page or operation", request.method, request.path));
  });
  AddPages(server);
  AddReads(server, options);
  AddChanges(server, options);
}

}  // namespace tool::serve
