#include "gate.h"

#include <fmt/core.h>

#include <random>

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

bool Gate::TokenInQuery(const httplib::Request& request) const {
  return request.has_param("token") && Matches(request.get_param_value("token"));
}

std::string Gate::Cookie() const {
  return fmt::format("{}={}; Path=/; HttpOnly; SameSite=Strict", kTokenCookie, token_);
}

namespace {

std::string CookieValue(const std::string& header, const std::string& name) {
  std::size_t at = 0;
  while (at < header.size()) {
    const std::size_t end = std::min(header.find(';', at), header.size());
    std::string pair = header.substr(at, end - at);
    pair.erase(0, pair.find_first_not_of(' '));
    if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 && pair[name.size()] == '=')
      return pair.substr(name.size() + 1);
    at = end + 1;
  }
  return "";
}

}  // namespace

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
    if (!Matches(request.get_header_value(kTokenHeader))) {
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
  if (TokenInQuery(request) || Matches(request.get_header_value(kTokenHeader)) ||
      Matches(CookieValue(request.get_header_value("Cookie"), kTokenCookie)))
    return true;
  *status = 401;
  *why = "open the address that 'typedata serve' printed: it carries the access token";
  return false;
}

}  // namespace tool::serve
