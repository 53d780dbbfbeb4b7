// How the server meets its clients. Every client on this machine comes from
// 127.0.0.1, so none can be told apart by its address: a client that has not
// been let in (no token yet, a request still arriving) can hold a thread only
// for a bounded time, and makes way for a newcomer when every thread is taken.
// A stop ends every connection within about a second, whatever the clients do.
#ifndef TOOLS_TYPEDATA_SERVE_CONNECTIONS_H
#define TOOLS_TYPEDATA_SERVE_CONNECTIONS_H

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>

namespace tool::serve {

struct ConnectionLimits {
  std::size_t threads = 16;
  std::chrono::milliseconds silence{2000};   // the longest pause inside a request, or between requests
  std::chrono::milliseconds request{10000};  // the longest a whole request may take to arrive
  std::chrono::milliseconds write{5000};     // the longest an answer may wait to be taken
  std::chrono::milliseconds grace{1000};     // what an answer being written still gets after a stop
  std::size_t requestsPerConnection = 100;
};

class Registry;

class GuardedServer : public httplib::Server {
 public:
  explicit GuardedServer(ConnectionLimits limits = {});
  ~GuardedServer() override;
  GuardedServer(const GuardedServer&) = delete;
  GuardedServer& operator=(const GuardedServer&) = delete;

  // Ends every connection: those waiting for a request at once, an answer
  // being written once it is sent or the grace is over. Safe from any
  // thread; false while the server has not begun to listen (try again).
  bool Stop();

 private:
  bool process_and_close_socket(socket_t sock) override;

  ConnectionLimits limits_;
  std::shared_ptr<Registry> registry_;
  std::atomic<bool> stopped_{false};
};

// The gate let the request being handled on this thread in: its connection
// no longer makes way for newcomers until its next request.
void AdmitCurrentConnection();

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_CONNECTIONS_H
