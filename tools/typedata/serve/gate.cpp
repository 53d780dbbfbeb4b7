#include "gate.h"

#include <fmt/core.h>

#include <random>

#include "assets.h"

namespace tool::serve {

std::string NewToken() {
  std::random_device device;  // the system's entropy source
  std::string token;
  for (int i = 0; i < 4; ++i) token += fmt::format("{:08x}", device());
  return token;
}

Gate::Gate(std::string token, int port) : token_(std::move(token)), port_(std::to_string(port)) {}

bool Gate::Matches(const std::string& given) const {
  // Compared in full whatever differs, so timing tells nothing.
  if (given.size() != token_.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < given.size(); ++i)
    difference |= static_cast<unsigned char>(given[i] ^ token_[i]);
  return difference == 0;
}

bool Gate::OurHost(const std::string& host) const {
  return host == "127.0.0.1:" + port_ || host == "localhost:" + port_;
}

bool Gate::Authenticated(const httplib::Request& request) const {
  return Matches(request.get_header_value(kTokenHeader));
}

bool Gate::Allowed(const httplib::Request& request, int* status, std::string* why) const {
  // A page of another site that has its name resolve to 127.0.0.1 still
  // sends its own name as Host.
  if (!OurHost(request.get_header_value("Host"))) {
    *status = 403;
    *why = "this server answers only at 127.0.0.1 or localhost";
    return false;
  }
  if (request.method == "POST") {
    const std::string origin = request.get_header_value("Origin");
    if (origin != "http://127.0.0.1:" + port_ && origin != "http://localhost:" + port_) {
      *status = 403;
      *why = "a change must come from the server's own pages (Origin)";
      return false;
    }
    if (!Authenticated(request)) {
      *status = 401;
      *why = "a change needs the access token in the X-Typedata-Token header";
      return false;
    }
    return true;
  }
  if (request.method != "GET" && request.method != "HEAD") {
    *status = 405;
    *why = "only GET, HEAD and POST";
    return false;
  }
  // The pages and their scripts hold no data and no token: only they are open.
  if (request.path == "/" || request.path == "/favicon.ico" || FindAsset(request.path) ||
      Authenticated(request))
    return true;
  *status = 401;
  *why = "open the address that 'typedata serve' printed: it carries the access token";
  return false;
}

}  // namespace tool::serve
