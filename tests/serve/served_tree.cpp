#include "served_tree.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace td::testing {

void ServedTree::SetUp() {
  for (const char* args : {"init", "add T40+STEEL+FAST", "add T40+ALU+SLOW", "add T55+STEEL"}) {
    int status = -1;
    Tool(args, &status);
    ASSERT_EQ(status, 0) << args;
  }
}

void ServedTree::TearDown() {
  if (server_ > 0) Stop(SIGKILL);
}

std::string ServedTree::Tool(const std::string& args, int* status) {
  const std::string out = workspace_.Path("tool.out");
  const std::string command =
      std::string(TD_TOOL_PATH) + " --root " + workspace_.root() + " " + args + " >" + out + " 2>/dev/null";
  const int raw = std::system(command.c_str());
  if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return ReadFileBytes(out);
}

void ServedTree::Start(const std::string& env, const std::string& arguments) {
  const std::string out = workspace_.Path("serve.out");
  errors_ = workspace_.Path("serve.err");
  const std::string command = "exec env " + env + " " + TD_TOOL_PATH + " --root " + workspace_.root() +
                              " serve " + arguments + " >" + out + " 2>" + errors_ + " </dev/null";
  server_ = fork();
  ASSERT_GE(server_, 0);
  if (server_ == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // The first line on stdout is the address with its token.
  std::string line;
  for (int tries = 0; tries < 500 && line.find('\n') == std::string::npos; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    line = FileExists(out) ? ReadFileBytes(out) : "";
  }
  const std::string prefix = "http://127.0.0.1:";
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << "the server printed: " << line << ReadFileBytes(errors_);
  port_ = std::stoi(line.substr(prefix.size()));
  origin_ = prefix + std::to_string(port_);
  const std::size_t token = line.find("?token=");
  ASSERT_NE(token, std::string::npos) << line;
  token_ = line.substr(token + 7, line.find('\n') - token - 7);
}

int ServedTree::Stop(int signal, std::chrono::milliseconds patience) {
  kill(server_, signal);
  int raw = 0;
  for (auto tries = patience / std::chrono::milliseconds(20); tries > 0; --tries) {
    if (waitpid(server_, &raw, WNOHANG) == server_) {
      server_ = -1;
      return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(server_, SIGKILL);
  waitpid(server_, &raw, 0);
  server_ = -1;
  return -1;
}

std::unique_ptr<httplib::Client> ServedTree::Client(bool withToken) const {
  auto client = std::make_unique<httplib::Client>("127.0.0.1", port_);
  client->set_read_timeout(30);
  httplib::Headers headers = {{"Origin", origin_}};
  if (withToken) headers.emplace("X-Typedata-Token", token_);
  client->set_default_headers(headers);
  return client;
}

nlohmann::json ServedTree::Get(const std::string& path, int expectedStatus) const {
  const httplib::Result result = Client()->Get(path.c_str());
  if (!result) {
    ADD_FAILURE() << path << ": no answer";
    return nullptr;
  }
  EXPECT_EQ(result->status, expectedStatus) << path << ": " << result->body;
  return nlohmann::json::parse(result->body, nullptr, /*allow_exceptions=*/false);
}

httplib::Result ServedTree::PostJson(const std::string& path, const std::string& body) const {
  return Client()->Post(path.c_str(), body, "application/json");
}

std::string ServedTree::TreeBytes() const {
  std::string all;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(workspace_.Path("type"))) {
    // The tool's own files (its lock, its journal) are not the tree's.
    if (entry.is_regular_file() && entry.path().filename().string().rfind(".typedata-", 0) != 0)
      all += entry.path().string() + "\n" + ReadFileBytes(entry.path().string());
  }
  return all;
}

Tricklers::Tricklers(int port, int count) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  for (int i = 0; i < count; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ADD_FAILURE() << "cannot connect to port " << port;
      close(fd);
      continue;
    }
    sockets_.push_back(fd);
  }
  thread_ = std::thread([this, port] {
    const std::string request = "GET /api/types HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nX-Padding: " + std::string(200, 'x') + "\r\n\r\n";
    std::vector<bool> open(sockets_.size(), true);
    std::unique_lock<std::mutex> hold(mutex_);
    for (std::size_t sent = 0; !done_; ++sent) {
      for (std::size_t i = 0; i < sockets_.size(); ++i) {
        if (open[i]) open[i] = send(sockets_[i], &request[sent % request.size()], 1, MSG_NOSIGNAL) == 1;
      }
      wake_.wait_for(hold, std::chrono::seconds(1), [this] { return done_; });
    }
  });
}

Tricklers::~Tricklers() {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    done_ = true;
  }
  wake_.notify_all();
  thread_.join();
  for (const int fd : sockets_) close(fd);
}

}  // namespace td::testing
