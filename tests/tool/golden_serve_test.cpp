// The server's answers (status, type and body) as they were when last
// accepted: every read route on the served tree, and the set route, compared
// byte for byte with tests/data/golden/serve.txt (TD_GOLDEN_UPDATE=1 writes
// it anew).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../serve/served_tree.h"
#include "golden.h"

namespace {

class GoldenServe : public td::testing::ServedTree {
 protected:
  std::string Normal(std::string text) const {
    text = td::testing::WithoutRunDetails(text, workspace_.root());
    // The port alone is left: it could be any number in a document.
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{token_, "<TOKEN>"}, {origin_, "<ORIGIN>"}}) {
      for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
           at += to.size())
        text.replace(at, from.size(), to);
    }
    return text;
  }
  void Add(const std::string& asked, const httplib::Result& result) {
    if (!result) {
      ADD_FAILURE() << asked << ": no answer";
      return;
    }
    transcript_ += td::testing::TranscriptStep(
        asked, std::to_string(result->status) + " " + result->get_header_value("Content-Type"),
        Normal(result->body));
  }
  void Get(const std::string& path) { Add("GET " + path, Client()->Get(path.c_str())); }
  void Post(const std::string& path, const std::string& body) {
    Add("POST " + path + " " + body, PostJson(path, body));
  }
  std::string transcript_;
};

TEST_F(GoldenServe, EveryReadRoutesAnswerIsAsBefore) {
  // Values that differ between the types, and a current type.
  for (const char* args :
       {"set 1 TOOL D:1=41.5 L:1=4.25", "set 3 MAT D:1=9.5 V:1=steel-plate", "use 2 --no-download"}) {
    int status = -1;
    Tool(args, &status);
    ASSERT_EQ(status, 0) << args;
  }
  ASSERT_NO_FATAL_FAILURE(Start());
  for (const char* query :
       {"", "?sort=number", "?sort=name", "?sort=catalogue", "?sort=size", "?filter=t40&sort=name&limit=1",
        "?filter=t40&sort=name&offset=1", "?filter=0003", "?filter=nothing", "?limit=0", "?offset=x"})
    Get(std::string("/api/types") + query);
  for (const char* type : {"1", "0", "42", "99999999999"}) Get(std::string("/api/types/") + type);
  for (const char* query : {"?types=1,2", "?types=1,2,3&all=1", "?types=1,3&config=TOOL",
                            "?types=1,2&config=NOPE", "?types=1", "?types=1,x", "?types=1,42", ""})
    Get(std::string("/api/compare") + query);
  Get("/api/sharing");
  Get("/api/check");
  Get("/api/nothing");

  // Changes through the set route: saved and pushed, rounded, refused.
  Post("/api/types/1/set", R"({"config": "TOOL", "changes": ["D:2=1.25"]})");
  Post("/api/types/3/set", R"({"config": "MAT", "changes": ["D:1=8.123456789"]})");
  Post("/api/types/3/set", R"({"config": "MAT", "changes": ["D:1=8.123456789"], "strict": true})");
  Post("/api/types/1/set", R"({"config": "MAIN", "changes": ["D:1=abc"]})");
  Post("/api/types/1/set", R"({"config": "MAIN", "changes": ["D1=2"]})");
  Post("/api/types/42/set", R"({"config": "MAIN", "changes": ["D:1=1"]})");
  Post("/api/types/1/set", R"({"changes": []})");

  // A problem seeded in one file, then a lost catalogue.
  const std::string mat = workspace_.Path("type/0003/MAT0003.DAT");
  td::testing::WriteFileBytes(mat, td::testing::ReadFileBytes(mat) + "[D]\r\n99:1.000000,\r\n");
  Get("/api/check");
  Get("/api/types/3");
  std::filesystem::remove(workspace_.Path("type/mmi.typ"));
  for (const char* path :
       {"/api/types", "/api/types/1", "/api/compare?types=1,2", "/api/sharing", "/api/check"})
    Get(path);

  td::testing::ExpectGolden("serve.txt", transcript_);
}

}  // namespace
