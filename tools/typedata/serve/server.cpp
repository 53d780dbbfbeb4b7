// typedata serve: binds to 127.0.0.1, prints the address with its access
// token, and serves until SIGINT or SIGTERM. The signals are taken by a
// thread of their own (sigwait), which stops the server: clients waited on
// are let go at once, a request being answered is finished first, so a
// change is never cut short (its answer gets a second to be taken).
#include <fmt/core.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "connections.h"
#include "launch_page.h"
#include "routes.h"
#include "serve.h"

extern char** environ;

namespace tool {
namespace {

// Hands the page that leads to the address to the desktop's browser, if
// the desktop has a way: the address itself would put the token on
// xdg-open's command line.
void OpenInBrowser(const std::string& page, Output& out) {
  pid_t child = 0;
  char* arguments[] = {const_cast<char*>("xdg-open"), const_cast<char*>(page.c_str()), nullptr};
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, arguments, environ) != 0) {
    out.Note("no browser could be opened (xdg-open); open the address by hand");
    return;
  }
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();  // no zombie left behind
}

}  // namespace

bool Serve(const GlobalOptions& given, const ServeOptions& serve, Output& out) {
  GlobalOptions options = given;
  std::error_code failure;
  options.root = std::filesystem::absolute(given.root, failure).lexically_normal().string();

  serve::GuardedServer server;
  int port = serve.port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port <= 0) {
    out.Error(fmt::format("127.0.0.1:{}: cannot listen there (in use?)", serve.port));
    return false;
  }
  const serve::Gate gate(serve::NewToken(), port);
  serve::AddRoutes(server, options, gate);

  // Every thread started from here on leaves SIGINT and SIGTERM to the waiter.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
  signal(SIGPIPE, SIG_IGN);  // a browser that goes away mid-answer is no reason to die
  std::atomic<bool> listening{true};
  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    while (listening && !server.Stop()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  });

  const std::string address = fmt::format("http://127.0.0.1:{}/?token={}", port, gate.token());
  out.Note(fmt::format("Serving the types of {} on this machine only. Ctrl-C stops it.", options.root));
  out.Line(address);
  std::fflush(out.data());
  serve::LaunchPage launch;  // removed when the server stops
  if (serve.open) {
    std::string error;
    if (launch.Write(address, &error))
      OpenInBrowser(launch.path(), out);
    else
      out.Note("no page for the browser could be written (" + error + "); open the address by hand");
  }

  const bool clean = server.listen_after_bind();
  listening = false;
  kill(getpid(), SIGTERM);  // wakes the waiter if it still waits (the signal is blocked)
  waiter.join();
  sigset_t pending;
  sigpending(&pending);
  if (sigismember(&pending, SIGTERM)) {
    int signal = 0;
    sigwait(&stopSignals, &signal);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  out.Note(clean ? "Stopped." : "The server stopped on an error.");
  return clean;
}

}  // namespace tool
