// A small type tree made with the tool, and `typedata serve` running on it.
#ifndef TESTS_SERVE_SERVED_TREE_H
#define TESTS_SERVE_SERVED_TREE_H

#include <httplib.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/workspace.h"

namespace td::testing {

class ServedTree : public WorkspaceTest {
 protected:
  // Types 1 T40+STEEL+FAST, 2 T40+ALU+SLOW, 3 T55+STEEL: 1 and 2 share TOOL.
  void SetUp() override;
  void TearDown() override;

  // Runs the tool on the tree; its stdout.
  std::string Tool(const std::string& args, int* status = nullptr);
  // Starts the server (once SetUp made the tree); env is put before the
  // command, arguments after serve.
  void Start(const std::string& env = "", const std::string& arguments = "");
  // Sends a signal and gives the exit status, -1 when it did not exit by
  // itself within patience.
  int Stop(int signal, std::chrono::milliseconds patience = std::chrono::seconds(10));

  // A client that sends what the pages send: the token, and for POST the Origin.
  std::unique_ptr<httplib::Client> Client(bool withToken = true) const;
  nlohmann::json Get(const std::string& path, int expectedStatus = 200) const;
  httplib::Result PostJson(const std::string& path, const std::string& body) const;

  // Every file of the type folder, for "nothing changed".
  std::string TreeBytes() const;

  std::string token_;
  std::string origin_;  // http://127.0.0.1:PORT
  int port_ = 0;
  pid_t server_ = -1;
  std::string errors_;  // the server's stderr file
};

// Clients that open connections without the token and send a request one
// byte a second (never silent long enough for a read to time out) until
// they are destroyed.
class Tricklers {
 public:
  Tricklers(int port, int count);
  ~Tricklers();
  Tricklers(const Tricklers&) = delete;
  Tricklers& operator=(const Tricklers&) = delete;

 private:
  std::vector<int> sockets_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace td::testing

#endif  // TESTS_SERVE_SERVED_TREE_H
