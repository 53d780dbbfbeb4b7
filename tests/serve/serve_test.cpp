// typedata serve end to end: the API answers with the tool's documents,
// changes as set makes them, and refuses what it must without changing a file.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "machine/machine.h"
#include "served_tree.h"

namespace {

using td::testing::ReadFileBytes;

class Serve : public td::testing::ServedTree {
 protected:
  nlohmann::json ToolJson(const std::string& args) {
    return nlohmann::json::parse(Tool(args + " --json"), nullptr, /*allow_exceptions=*/false);
  }
  // The status line of a raw request, for what a client library would not send.
  std::string Raw(const std::string& request) const {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
      char buffer[4096];
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got > 0) answer.assign(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return answer.substr(0, answer.find("\r\n"));
  }
};

TEST_F(Serve, ReadsAnswerWithTheToolsOwnDocuments) {
  // A planted problem: an item beyond the config's count.
  const std::string file = workspace_.Path("type/0003/MAT0003.DAT");
  td::testing::WriteFileBytes(file, ReadFileBytes(file) + "[D]\r\n99:1.000000,\r\n");
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(Get("/api/types/1"), ToolJson("show 1"));
  const nlohmann::json check = Get("/api/check");
  EXPECT_EQ(check, ToolJson("check"));
  ASSERT_FALSE(check["problems"].empty());
  EXPECT_EQ(check["problems"][0]["file"], "type/0003/MAT0003.DAT");

  const nlohmann::json all = ToolJson("list");
  EXPECT_EQ(Get("/api/types")["types"], all["types"]);
  // By number as asked (the catalogue holds them newest first), or as it holds them.
  const nlohmann::json byNumber = Get("/api/types?sort=number")["types"];
  ASSERT_EQ(byNumber.size(), 4u);
  for (int n = 0; n < 4; ++n) EXPECT_EQ(byNumber[n]["number"], n) << byNumber;
  EXPECT_EQ(Get("/api/types?sort=catalogue")["types"], ToolJson("list --sort catalogue")["types"]);
  const nlohmann::json filtered = Get("/api/types?filter=t40&sort=name&limit=1");
  EXPECT_EQ(filtered["total"], 4);
  EXPECT_EQ(filtered["matched"], 2);
  ASSERT_EQ(filtered["types"].size(), 1u);
  EXPECT_EQ(filtered["types"][0]["name"], "T40+ALU+SLOW") << "sorted by name";
  EXPECT_EQ(Get("/api/types?filter=t40&sort=name&offset=1")["types"][0]["name"], "T40+STEEL+FAST");
  EXPECT_EQ(Get("/api/types?filter=0003")["types"][0]["number"], 3) << "the number as the list shows it";
  Tool("add T63+CU");
  Tool("use 2 --no-download");
  const nlohmann::json changed = Get("/api/types?filter=t63");
  EXPECT_EQ(changed["total"], 5) << "a type added beside the server is listed";
  EXPECT_EQ(Get("/api/types?filter=0002")["types"][0]["current"], true) << "and a type made current";

  Tool("add T7+CU");
  Tool("add T007+ALU");  // the same number as T7, yet a part of its own
  const nlohmann::json sharing = Get("/api/sharing");
  bool toolSharedByT40 = false;
  std::vector<std::string> toolParts;
  for (const auto& config : sharing["configs"]) {
    for (const auto& group : config["groups"]) {
      if (config["config"] != "TOOL") continue;
      toolParts.push_back(group["part"]);
      if (group["part"] == "T40")
        toolSharedByT40 = group["types"].size() == 2 && group["types"][0]["number"] == 1 &&
                          group["types"][1]["number"] == 2;
    }
  }
  EXPECT_TRUE(toolSharedByT40) << sharing.dump();
  // Parts in natural order, numbers within them compared as numbers.
  EXPECT_EQ(toolParts, (std::vector<std::string>{"T007", "T7", "T40", "T55", "T63"})) << sharing.dump();
}

TEST_F(Serve, CompareMarksTheCellsThatDifferFromTheFirstType) {
  ASSERT_EQ(Tool("set 3 TOOL D:2=12.5 S:1=4").empty(), true);
  ASSERT_NO_FATAL_FAILURE(Start());
  const nlohmann::json only = Get("/api/compare?types=1,2,3");
  ASSERT_EQ(only["rows"].size(), 2u) << only.dump();
  EXPECT_EQ(only["differing"], 2);
  EXPECT_EQ(only["rows"][0]["item"], 2);
  EXPECT_EQ(only["rows"][0]["values"], nlohmann::json({40.0, 40.0, 12.5}));
  EXPECT_EQ(only["rows"][0]["differs"], nlohmann::json({false, false, true}));
  EXPECT_EQ(only["rows"][1]["values"], nlohmann::json({1, 1, 4}));
  const nlohmann::json diff = ToolJson("diff 1 3");
  EXPECT_EQ(diff["differences"].size(), only["rows"].size()) << "the same rule as diff";
  const nlohmann::json all = Get("/api/compare?types=1,3&config=TOOL&all=1");
  EXPECT_GT(all["rows"].size(), 2u);
  for (const auto& row : all["rows"]) EXPECT_EQ(row["config"], "TOOL");
  EXPECT_EQ(Get("/api/compare?types=1,77", 404)["error"], "no type 77");
  Get("/api/compare?types=1", 400);
}

TEST_F(Serve, SetSavesAndPushesToTheTypesSharingTheConfig) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const httplib::Result result = PostJson("/api/types/1/set", R"({"config":"TOOL","changes":["D:1=41.5"]})");
  ASSERT_TRUE(result);
  ASSERT_EQ(result->status, 200) << result->body;
  const nlohmann::json set = nlohmann::json::parse(result->body);
  EXPECT_EQ(set["command"], "set");
  ASSERT_EQ(set["shared"].size(), 1u);
  EXPECT_EQ(set["shared"][0]["file"], "0002/TOOL0002.DAT");
  EXPECT_NE(ReadFileBytes(workspace_.Path("type/0002/TOOL0002.DAT")).find("1:41.500000,"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(workspace_.Path("type/0003/TOOL0003.DAT")).find("1:41.500000,"), std::string::npos);
}

TEST_F(Serve, ASaveOfFilesChangedSinceTheyWereReadIsRefusedSayingWhatChanged) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const nlohmann::json shown = Get("/api/types/1");
  std::string seen;
  for (const auto& file : shown["revisions"])
    if (file["file"] == "0001/TOOL0001.DAT") seen = file["revision"];
  ASSERT_FALSE(seen.empty()) << shown.dump();
  int status = -1;
  Tool("set 1 TOOL D:1=77", &status);  // from a terminal, while the page shows 40
  ASSERT_EQ(status, 0);
  const std::string after = TreeBytes();
  const std::string page = R"({"config":"TOOL","changes":["D:1=55"],"revisions":{"0001/TOOL0001.DAT":")";
  const httplib::Result refused = PostJson("/api/types/1/set", page + seen + R"("}})");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 409) << refused->body;
  EXPECT_EQ(TreeBytes(), after) << "the terminal's 77 is not overwritten";
  const nlohmann::json conflict = nlohmann::json::parse(refused->body, nullptr, false);
  EXPECT_EQ(conflict["changed"],
            nlohmann::json::parse(R"([{"config":"TOOL","kind":"D","item":1,"seen":40.0,"now":77.0}])"))
      << "value by value, as the page read it and as it is now";
  std::string now;
  for (const auto& file : conflict["revisions"])
    if (file["file"] == "0001/TOOL0001.DAT") now = file["revision"];
  // The engineer decides to save over it: with the revision the refusal gave.
  const httplib::Result over = PostJson("/api/types/1/set", page + now + R"("}})");
  EXPECT_EQ(over->status, 200) << over->body;
  EXPECT_NE(ReadFileBytes(workspace_.Path("type/0001/TOOL0001.DAT")).find("1:55.000000,"), std::string::npos);

  // A script: set --expect with the revision show gave, refused the same way.
  const std::string revision = ToolJson("show 1")["revision"];
  Tool("set 1 MAIN D:1=60", &status);
  const std::string before = TreeBytes();
  const nlohmann::json script = ToolJson("set 1 TOOL D:1=66 --expect " + revision);
  EXPECT_EQ(script["changed"][0]["now"], 55.0) << script.dump();
  EXPECT_EQ(TreeBytes(), before);
  Tool("set 1 TOOL D:1=66 --expect " + revision, &status);
  EXPECT_EQ(status, 1);
  Tool("set 1 TOOL D:1=66 --expect " + ToolJson("show 1 --config TOOL")["revision"].get<std::string>(),
       &status);
  EXPECT_EQ(status, 0) << "the revision as it is now";

  // A type with a file missing: its other configs shown, compared and
  // saved, the missing one named with check's reason.
  std::filesystem::remove(workspace_.Path("type/0002/MAT0002.DAT"));
  const nlohmann::json partial = Get("/api/types/2");
  ASSERT_EQ(partial["broken"].size(), 1u) << partial.dump();
  EXPECT_EQ(partial["broken"][0]["file"], "0002/MAT0002.DAT");
  EXPECT_EQ(partial["broken"][0]["problem"], ToolJson("check")["problems"][0]["problem"]);
  bool toolShown = false;
  for (const auto& item : partial["items"]) toolShown = toolShown || item["config"] == "TOOL";
  EXPECT_TRUE(toolShown) << partial.dump();
  const nlohmann::json compared = Get("/api/compare?types=1,2&config=MAT&all=1");
  ASSERT_FALSE(compared["rows"].empty()) << compared.dump();
  EXPECT_TRUE(compared["rows"][0]["values"][1].is_null()) << compared.dump();
  EXPECT_EQ(compared["types"][1]["broken"][0]["config"], "MAT");
}

TEST_F(Serve, BadRequestsGetAClearStatusAndChangeNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string before = TreeBytes();
  const std::string change = R"({"config":"TOOL","changes":["D:1=41.5"]})";
  struct Case {
    const char* what;
    httplib::Headers headers;  // besides the token and the Origin, which each case takes as given
    bool token;
    std::string origin;
    std::string path;
    std::string body;
    std::string type;
    int status;
  } cases[] = {
      {"no token", {}, false, origin_, "/api/types/1/set", change, "application/json", 401},
      {"a wrong token",
       {{"X-Typedata-Token", std::string(32, '0')}},
       false,
       origin_,
       "/api/types/1/set",
       change,
       "application/json",
       401},
      {"the token as a cookie only",
       {{"Cookie", "typedata-token=" + token_}},
       false,
       origin_,
       "/api/types/1/set",
       change,
       "application/json",
       401},
      {"another site's page",
       {},
       true,
       "http://example.com",
       "/api/types/1/set",
       change,
       "application/json",
       403},
      {"no Origin", {}, true, "", "/api/types/1/set", change, "application/json", 403},
      {"an unknown type", {}, true, origin_, "/api/types/77/set", change, "application/json", 404},
      {"a value the controller cannot hold",
       {},
       true,
       origin_,
       "/api/types/1/set",
       R"({"config":"TOOL","changes":["D:1=41.5","D:2=99999999999"]})",
       "application/json",
       422},
      {"a text that would not read back",
       {},
       true,
       origin_,
       "/api/types/1/set",
       R"({"config":"TOOL","changes":["V:1=a;b"]})",
       "application/json",
       422},
      {"no such config",
       {},
       true,
       origin_,
       "/api/types/1/set",
       R"({"config":"NOPE","changes":["D:1=1"]})",
       "application/json",
       422},
      {"not JSON", {}, true, origin_, "/api/types/1/set", "D:1=41.5", "application/json", 400},
      {"a revision of a file the type does not have",
       {},
       true,
       origin_,
       "/api/types/1/set",
       R"({"config":"TOOL","changes":["D:1=41.5"],"revisions":{"0002/TOOL0002.DAT":"0"}})",
       "application/json",
       400},
      {"not a change",
       {},
       true,
       origin_,
       "/api/types/1/set",
       R"({"config":"TOOL","changes":["D1=4"]})",
       "application/json",
       400},
      {"a form",
       {},
       true,
       origin_,
       "/api/types/1/set",
       "config=TOOL",
       "application/x-www-form-urlencoded",
       415},
  };
  for (const Case& c : cases) {
    httplib::Client client("127.0.0.1", port_);
    httplib::Headers headers = c.headers;
    if (c.token) headers.emplace("X-Typedata-Token", token_);
    if (!c.origin.empty()) headers.emplace("Origin", c.origin);
    const httplib::Result result = client.Post(c.path.c_str(), headers, c.body, c.type.c_str());
    ASSERT_TRUE(result) << c.what;
    EXPECT_EQ(result->status, c.status) << c.what << ": " << result->body;
    const nlohmann::json error = nlohmann::json::parse(result->body, nullptr, false);
    EXPECT_TRUE(error.is_object() && error["error"].is_string() && !error["error"].get<std::string>().empty())
        << c.what << ": " << result->body;
  }
  EXPECT_EQ(Client(false)->Get("/api/types")->status, 401) << "reads need the token too";
  EXPECT_EQ(Client(false)->Get("/api/types", {{"Cookie", "typedata-token=" + token_}})->status, 401)
      << "a cookie, which every server on 127.0.0.1 receives, is not the token";
  EXPECT_EQ(Client(false)->Get(("/api/types?token=" + token_).c_str())->status, 401)
      << "nor is a token in the address, which history and Referer keep";
  EXPECT_EQ(Get("/api/types/77", 404)["error"], "no type 77");
  EXPECT_EQ(Raw("GET /api/types HTTP/1.1\r\nHost: evil.example:" + std::to_string(port_) +
                "\r\nX-Typedata-Token: " + token_ + "\r\n\r\n"),
            "HTTP/1.1 403 Forbidden")
      << "a foreign host name (DNS rebinding)";
  EXPECT_EQ(Raw("POST /api/types/1/set HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port_) +
                "\r\nOrigin: " + origin_ + "\r\nX-Typedata-Token: " + token_ +
                "\r\nContent-Type: application/json\r\nContent-Length: 104857600\r\n\r\n{\"config\":"),
            "HTTP/1.1 413 Payload Too Large")
      << "a body of 100 MB is refused before it is read";
  EXPECT_EQ(TreeBytes(), before) << "no refused request changed a file";
}

TEST_F(Serve, TheTokenTravelsOnlyInAHeader) {
  ASSERT_NO_FATAL_FAILURE(Start());
  httplib::Client browser("127.0.0.1", port_);
  // Pages and scripts hold no data and no token, so they need none; the
  // first visit gets the types page, whose script keeps the token.
  for (const std::string& path :
       {"/?token=" + token_, std::string("/types.html"), std::string("/common.js")}) {
    const httplib::Result page = browser.Get(path.c_str());
    ASSERT_TRUE(page) << path;
    EXPECT_EQ(page->status, 200) << path;
    EXPECT_FALSE(page->has_header("Set-Cookie")) << path << ": a cookie reaches every port of 127.0.0.1";
    EXPECT_EQ(page->body.find(token_), std::string::npos) << path;
    EXPECT_EQ(page->get_header_value("Referrer-Policy"), "no-referrer") << path;
  }
  EXPECT_EQ(browser.Get("/nothing.html")->status, 401) << "only the pages are open";
  EXPECT_EQ(Client()->Get("/nothing.html")->status, 404);
}

TEST_F(Serve, StopsWithinTwoSecondsOfSigintAndSigtermWhateverItsClientsDo) {
  for (const bool trickling : {false, true}) {
    for (const int signal : {SIGINT, SIGTERM}) {
      ASSERT_NO_FATAL_FAILURE(Start());
      const auto idle = Client();
      EXPECT_EQ(idle->Get("/api/types")->status, 200);  // a kept-alive connection stays open
      std::unique_ptr<td::testing::Tricklers> slow;
      if (trickling) slow = std::make_unique<td::testing::Tricklers>(port_, 3);
      EXPECT_EQ(Stop(signal, std::chrono::seconds(2)), 0)
          << strsignal(signal) << (trickling ? ", trickled" : "");
      EXPECT_NE(ReadFileBytes(errors_).find("Stopped."), std::string::npos) << ReadFileBytes(errors_);
    }
  }
}

TEST_F(Serve, SlowClientsWithoutTheTokenDoNotKeepOthersWaiting) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // More than the server has threads, each never silent long enough to be
  // dropped for silence alone.
  const td::testing::Tricklers slow(port_, 40);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let them all be taken in first
  for (int request = 0; request < 4; ++request) {
    auto client = Client();
    client->set_read_timeout(5);
    const httplib::Result answer = client->Get("/api/types");
    ASSERT_TRUE(answer) << "request " << request
                        << " was not answered: " << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 200);
  }
}

TEST_F(Serve, OpenHandsTheBrowserAPrivatePageNotTheToken) {
  // A stand-in for the desktop's opener that keeps what it was given.
  const std::string bin = workspace_.Path("bin");
  const std::string run = workspace_.Path("run");
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(run);
  td::testing::WriteFileBytes(bin + "/xdg-open", "#!/bin/sh\nstat -c %a \"$1\" \"$(dirname \"$1\")\" >" +
                                                     bin + "/modes\ncp \"$1\" " + bin +
                                                     "/page\nprintf '%s\\n' \"$@\" >" + bin + "/arguments\n");
  std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
  ASSERT_NO_FATAL_FAILURE(Start("PATH=" + bin + ":/usr/bin:/bin XDG_RUNTIME_DIR=" + run, "--open"));
  for (int tries = 0; tries < 500 && !td::testing::FileExists(bin + "/arguments"); ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::string arguments =
      td::testing::FileExists(bin + "/arguments") ? ReadFileBytes(bin + "/arguments") : "";
  ASSERT_FALSE(arguments.empty()) << "xdg-open was not run: " << ReadFileBytes(errors_);
  EXPECT_EQ(arguments.find(token_), std::string::npos) << "a command line is every local user's to read";
  EXPECT_EQ(arguments.rfind(run + "/", 0), 0u) << arguments;
  EXPECT_EQ(ReadFileBytes(bin + "/modes"), "600\n700\n") << "the page and its folder are the user's alone";
  EXPECT_NE(ReadFileBytes(bin + "/page").find(origin_ + "/?token=" + token_), std::string::npos)
      << "the page leads to the address with its token";
  EXPECT_EQ(Stop(SIGTERM), 0);
  EXPECT_TRUE(std::filesystem::is_empty(run)) << "the page is removed when the server stops";
}

TEST_F(Serve, TheTypeListFollowsTheCatalogueInAnyLetterCase) {
  std::filesystem::rename(workspace_.Path("type/mmi.typ"), workspace_.Path("type/Mmi.Typ"));
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(Get("/api/types")["total"], 4);
  int status = -1;
  Tool("add T63+CU", &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Get("/api/types")["total"], 5) << "a type added beside the server is listed";
  Tool("rename 3 T80+CU", &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Get("/api/types?filter=0003")["types"][0]["name"], "T80+CU") << "and a renamed type's new name";
}

TEST_F(Serve, AChangeHoldsTheTreesLock) {
  ASSERT_NO_FATAL_FAILURE(Start("TYPEDATA_LOCK_WAIT=0"));
  const std::string before = TreeBytes();
  // Another changing command holds the tree: every byte of its lock file
  // locked, both as open file description locks and with flock.
  const int lock = open(workspace_.Path("type/.typedata-lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(lock, 0);
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;  // and l_len 0: to the end, however far
  ASSERT_EQ(fcntl(lock, F_OFD_SETLK, &whole), 0);
  ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
  const httplib::Result refused = PostJson("/api/types/1/set", R"({"config":"TOOL","changes":["D:1=41.5"]})");
  // Reads wait for no writer either: the tree cannot be opened, as for a change.
  for (const char* read : {"/api/types", "/api/types/1", "/api/check"})
    EXPECT_NE(Get(read, 503).dump().find("busy"), std::string::npos) << read;
  close(lock);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 503) << refused->body;
  EXPECT_NE(refused->body.find("busy"), std::string::npos) << refused->body;
  EXPECT_EQ(TreeBytes(), before);
  const httplib::Result done = PostJson("/api/types/1/set", R"({"config":"TOOL","changes":["D:1=41.5"]})");
  EXPECT_EQ(done->status, 200) << "the tree is free again: " << done->body;
}

// The browser's saves keep to the limits the machine gives, as set does; the
// pages' documents carry the labels and units.
TEST_F(Serve, ASaveOutsideAnItemsLimitsIsRefusedNamingTheLimit) {
  td::testing::WriteFileBytes(workspace_.Path(".typedata-machine"), mmisim::LabelledSampleMachineText());
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(Get("/api/types/1")["items"][2]["label"], "Strokes per minute");
  const std::string before = TreeBytes();
  const httplib::Result result =
      PostJson("/api/types/1/set", R"({"config":"MAIN","changes":["D:1=20","D:3=250"]})");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 422) << result->body;
  EXPECT_NE(result->body.find("MAIN D:3 (Strokes per minute): 250 is above its maximum 200 1/min"),
            std::string::npos)
      << result->body;
  EXPECT_EQ(TreeBytes(), before) << "nothing of the save was written";
}

}  // namespace
