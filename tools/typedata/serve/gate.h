// Who may use the server: requests from this machine's browser that carry
// the access token printed at start. Changes come only by POST, with the
// token in a header and an Origin of the server itself, so another web
// site open in the same browser can neither read nor change the tree.
#ifndef TOOLS_TYPEDATA_SERVE_GATE_H
#define TOOLS_TYPEDATA_SERVE_GATE_H

#include <httplib.h>

#include <string>

namespace tool::serve {

constexpr const char* kTokenHeader = "X-Typedata-Token";
constexpr const char* kTokenCookie = "typedata-token";

// 128 random bits as 32 hexadecimal digits.
std::string NewToken();

class Gate {
 public:
  Gate(std::string token, int port);

  // Whether the request may go on; if not, the status and a message.
  bool Allowed(const httplib::Request& request, int* status, std::string* why) const;
  // Whether the request brought the token in its query (a first visit).
  bool TokenInQuery(const httplib::Request& request) const;
  // The cookie that lets the pages' later requests in.
  std::string Cookie() const;
  const std::string& token() const { return token_; }

 private:
  bool Matches(const std::string& given) const;
  bool OurHost(const std::string& host) const;

  std::string token_;
  std::string port_;
};

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_GATE_H
