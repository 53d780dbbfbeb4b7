#include "connections.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace tool::serve {

using Clock = std::chrono::steady_clock;

namespace {

// Waits are cut into slices this long, so that a stop or an eviction is
// seen soon by a thread that waits on a silent client.
constexpr std::chrono::milliseconds kSlice{100};

struct Connection {
  std::atomic<bool> admitted{false};
  std::atomic<bool> evicted{false};
  Clock::time_point since;  // when it began to wait for its present request (under the registry's lock)
};

thread_local Connection* current = nullptr;

}  // namespace

// The connections being served, and whether the server is stopping.
class Registry {
 public:
  void Add(Connection* connection) {
    const std::lock_guard<std::mutex> hold(mutex_);
    connection->since = Clock::now();
    live_.push_back(connection);
  }
  void Remove(Connection* connection) {
    const std::lock_guard<std::mutex> hold(mutex_);
    live_.remove(connection);
  }
  // A new request is awaited: the connection is again a stranger.
  void Restart(Connection* connection) {
    const std::lock_guard<std::mutex> hold(mutex_);
    connection->since = Clock::now();
    connection->admitted = false;
  }
  // Makes sure that `wanted` threads will soon be free, evicting the
  // strangers that have waited longest (those the gate let in stay).
  void MakeRoom(std::size_t wanted) {
    const std::lock_guard<std::mutex> hold(mutex_);
    std::size_t leaving = 0;
    for (const Connection* connection : live_) leaving += connection->evicted ? 1 : 0;
    while (leaving < wanted) {
      Connection* oldest = nullptr;
      for (Connection* connection : live_) {
        if (!connection->admitted && !connection->evicted && (!oldest || connection->since < oldest->since))
          oldest = connection;
      }
      if (!oldest) return;
      oldest->evicted = true;
      ++leaving;
    }
  }
  void Stop() {
    const Clock::rep now = Clock::now().time_since_epoch().count();
    Clock::rep never = 0;
    stoppedAt_.compare_exchange_strong(never, now);
  }
  bool stopping() const { return stoppedAt_.load() != 0; }
  Clock::time_point stoppedAt() const { return Clock::time_point(Clock::duration(stoppedAt_.load())); }

 private:
  std::mutex mutex_;
  std::list<Connection*> live_;
  std::atomic<Clock::rep> stoppedAt_{0};
};

namespace {

// A fixed number of threads; a connection that finds them all taken has a
// stranger evicted to make room for it.
class Queue : public httplib::TaskQueue {
 public:
  Queue(std::size_t threads, Registry& registry) : registry_(registry) {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~Queue() override = default;
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  void enqueue(std::function<void()> job) override {
    std::size_t waiting = 0;
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      jobs_.push_back(std::move(job));
      waiting = jobs_.size() > idle_ ? jobs_.size() - idle_ : 0;
    }
    registry_.MakeRoom(waiting);
    ready_.notify_one();
  }

  void shutdown() override {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      closing_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> job;
      std::size_t waiting = 0;
      {
        std::unique_lock<std::mutex> hold(mutex_);
        ++idle_;
        ready_.wait(hold, [this] { return !jobs_.empty() || closing_; });
        --idle_;
        if (jobs_.empty())
          return;  // closing, and every accepted connection served (a stop ends them at once)
        job = std::move(jobs_.back());
        jobs_.pop_back();
        waiting = jobs_.size() > idle_ ? jobs_.size() - idle_ : 0;
      }
      if (waiting > 0) registry_.MakeRoom(waiting);
      job();
    }
  }

  Registry& registry_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  std::size_t idle_ = 0;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

std::string Address(const sockaddr_storage& address, int* port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    *port = ntohs(in.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& in = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &in.sin6_addr, text, sizeof text);
    *port = ntohs(in.sin6_port);
  }
  return text;
}

// One client's socket as httplib reads and writes it: every wait bounded,
// a request's arrival bounded as a whole, and cut short by a stop.
class Link : public httplib::Stream {
 public:
  Link(socket_t sock, Connection& connection, const Registry& registry, const ConnectionLimits& limits)
      : sock_(sock), connection_(connection), registry_(registry), limits_(limits) {}

  // Waits for the first byte of the next request; false when none comes in time.
  bool AwaitRequest() {
    if (begin_ == end_ && !Wait(POLLIN, Clock::now() + limits_.silence)) return false;
    requestEnds_ = Clock::now() + limits_.request;
    return true;
  }

  bool is_readable() const override {
    return begin_ != end_ || Wait(POLLIN, std::min(Clock::now() + limits_.silence, requestEnds_));
  }
  bool is_writable() const override { return Wait(POLLOUT, Clock::now() + limits_.write); }

  ssize_t read(char* bytes, std::size_t size) override {
    while (begin_ == end_) {
      if (!Wait(POLLIN, std::min(Clock::now() + limits_.silence, requestEnds_))) return -1;
      const ssize_t got = recv(sock_, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
      if (got == 0) return 0;
      if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
      if (got > 0) {
        begin_ = 0;
        end_ = static_cast<std::size_t>(got);
      }
    }
    const std::size_t taken = std::min(size, end_ - begin_);
    std::memcpy(bytes, buffer_.data() + begin_, taken);
    begin_ += taken;
    return static_cast<ssize_t>(taken);
  }

  // Sends it all, as a blocking send would: httplib writes headers with one call.
  ssize_t write(const char* bytes, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      if (!Wait(POLLOUT, Clock::now() + limits_.write)) return -1;
      const ssize_t sent = send(sock_, bytes + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent > 0) done += static_cast<std::size_t>(sent);
      if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
    }
    return static_cast<ssize_t>(done);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) ip = Address(address, &port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) ip = Address(address, &port);
  }
  socket_t socket() const override { return sock_; }

 private:
  // Whether the socket is ready for events before until. Reading gives up
  // at a stop or an eviction; writing keeps the grace after a stop.
  bool Wait(short events, Clock::time_point until) const {
    for (;;) {
      if (registry_.stopping()) {
        if (events == POLLIN) return false;
        until = std::min(until, registry_.stoppedAt() + limits_.grace);
      }
      if (events == POLLIN && connection_.evicted) return false;
      const Clock::time_point now = Clock::now();
      if (now >= until) return false;
      const auto slice = std::min<Clock::duration>(until - now, kSlice);
      pollfd watched{sock_, events, 0};
      const int ready =
          poll(&watched, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
      if (ready > 0) return true;  // an error or a hang-up too: the next recv or send tells
      if (ready < 0 && errno != EINTR) return false;
    }
  }

  socket_t sock_;
  Connection& connection_;
  const Registry& registry_;
  const ConnectionLimits& limits_;
  std::array<char, 4096> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  Clock::time_point requestEnds_ = Clock::now();
};

}  // namespace

GuardedServer::GuardedServer(ConnectionLimits limits)
    : limits_(limits), registry_(std::make_shared<Registry>()) {
  new_task_queue = [threads = limits_.threads, registry = registry_] {
    return new Queue(threads, *registry);
  };
}

GuardedServer::~GuardedServer() = default;

bool GuardedServer::Stop() {
  registry_->Stop();
  // httplib's stop does nothing before listening has begun, and may close
  // the listening socket only once.
  if (!is_running()) return false;
  if (!stopped_.exchange(true)) httplib::Server::stop();
  return true;
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
  Connection connection;
  registry_->Add(&connection);
  current = &connection;
  Link link(sock, connection, *registry_, limits_);
  bool served = true;
  for (std::size_t left = limits_.requestsPerConnection; left > 0 && !registry_->stopping(); --left) {
    registry_->Restart(&connection);
    if (!link.AwaitRequest()) break;
    bool closed = false;
    served = process_request(link, left == 1 || registry_->stopping(), closed, nullptr);
    if (!served || closed) break;
  }
  current = nullptr;
  registry_->Remove(&connection);
  shutdown(sock, SHUT_RDWR);
  close(sock);
  return served;
}

void AdmitCurrentConnection() {
  if (current) current->admitted = true;
}

}  // namespace tool::serve
