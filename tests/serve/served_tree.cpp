#include "served_tree.h"

#include <signal.h>
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

void ServedTree::Start(const std::string& env) {
  const std::string out = workspace_.Path("serve.out");
  errors_ = workspace_.Path("serve.err");
  const std::string command = "exec env " + env + " " + TD_TOOL_PATH + " --root " + workspace_.root() +
                              " serve >" + out + " 2>" + errors_ + " </dev/null";
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

int ServedTree::Stop(int signal) {
  kill(server_, signal);
  int raw = 0;
  for (int tries = 0; tries < 500; ++tries) {
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
    if (entry.is_regular_file()) all += entry.path().string() + "\n" + ReadFileBytes(entry.path().string());
  }
  return all;
}

}  // namespace td::testing
