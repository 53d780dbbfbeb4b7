// typedata check on trees made of fuzzed files: the sample tree with files
// put in place or taken away as the input says. check never crashes and
// never changes a byte; when it finds nothing, every listed type loads.
#include <cstdint>
#include <string>

#include "core/open_tree.h"
#include "fuzz_support.h"
#include "ops/check.h"
#include "ops/export.h"
#include "ops/list.h"
#include "render/documents.h"
#include "tool_tree.h"

namespace {

using td::fuzz::Require;

// Whether check finds the tree clean (a tree it cannot open is not).
bool CheckedClean(const tool::GlobalOptions& options) {
  tool::Session session;
  if (tool::OpenSession(options, tool::Access::kRead, &session)) return false;
  const tool::Result<tool::CheckModel> checked = tool::ops::Check(session, {}, nullptr);
  return checked.ok() && checked.model().problems.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const td::fuzz::ToolTree& tree = td::fuzz::SampleTree();
  td::fuzz::LayRecords(tree.root, std::string(reinterpret_cast<const char*>(data), size));
  const td::fuzz::Files before = td::fuzz::Snapshot(tree.root);
  const bool clean = CheckedClean(tree.options);
  Require(td::fuzz::Snapshot(tree.root) == before, "check changes no byte");
  if (clean) {
    tool::Session session;
    Require(!tool::OpenTree(tree.options, tool::Access::kRead, &session),
            "a tree that check finds clean opens");
    const tool::Result<tool::ListModel> list = tool::ops::List(session, {tool::ListOrder::kCatalogue});
    Require(list.ok(), "a tree that check finds clean lists its types");
    for (const tool::TypeInfo& type : list.model().types) {
      const tool::Result<tool::ExportModel> exported = tool::ops::Export(session, {type.number});
      Require(exported.ok() && tool::ExportRefusal(exported.model().values).empty(),
              "every type of a tree that check finds clean loads");
    }
  }
  td::fuzz::Restore(tree.root, tree.pristine);
  return 0;
}
