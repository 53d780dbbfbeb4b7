// Who may use the server: requests from this machine's browser that carry
// the access token printed at start in a header. The token never travels in
// a cookie (cookies ignore the port, so every other server on 127.0.0.1
// would receive it): the pages, which hold neither data nor the token, are
// open, and they send the token with each request to the API. Changes come
// only by POST with an Origin of the server itself, so another web site
// open in the same browser can neither read nor change the tree.
#ifndef TOOLS_TYPEDATA_SERVE_GATE_H
#define TOOLS_TYPEDATA_SERVE_GATE_H

#include <httplib.h>

#include <string>

namespace tool::serve {

constexpr const char* kTokenHeader = "X-Typedata-Token";

// 128 random bits as 32 hexadecimal digits.
std::string NewToken();

class Gate {
 public:
  Gate(std::string token, int port);

  // Whether the request may go on; if not, the status and a message.
  bool Allowed(const httplib::Request& request, int* status, std::string* why) const;
  // Whether the request carries the token.
  bool Authenticated(const httplib::Request& request) const;
  const std::string& token() const { return token_; }

 private:
  bool Matches(const std::string& given) const;
  bool OurHost(const std::string& host) const;

  std::string token_;
  std::string port_;
};

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_GATE_H
