// typedata check on trees made of fuzzed files: the sample tree with files
// put in place or taken away as the input says. check never crashes and
// never changes a byte; when it finds nothing, every listed type loads.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "tool_tree.h"

namespace {

using td::fuzz::Require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const td::fuzz::ToolTree& tree = td::fuzz::SampleTree();
  td::fuzz::LayRecords(tree.root, std::string(reinterpret_cast<const char*>(data), size));
  const td::fuzz::Files before = td::fuzz::Snapshot(tree.root);
  const int status = tool::RunCheck(tree.options, td::fuzz::Quiet());
  Require(status >= 0 && status <= 2, "check exits 0, 1 or 2");
  Require(td::fuzz::Snapshot(tree.root) == before, "check changes no byte");
  if (status == 0) {
    int listed = 0;
    tool::GlobalOptions json = tree.options;
    json.json = true;
    const nlohmann::json list = td::fuzz::DataJson(
        [&](tool::Output& out) { return tool::RunList(json, tool::ListOrder::kCatalogue, out); }, &listed);
    Require(listed == 0 && list.contains("types"), "a tree that check finds clean lists its types");
    for (const nlohmann::json& type : list["types"]) {
      int exported = 0;
      td::fuzz::DataJson(
          [&](tool::Output& out) {
            return tool::RunExport(tree.options, type["number"].get<int>(), "json", out);
          },
          &exported);
      Require(exported == 0, "every type of a tree that check finds clean loads");
    }
  }
  td::fuzz::Restore(tree.root, tree.pristine);
  return 0;
}
