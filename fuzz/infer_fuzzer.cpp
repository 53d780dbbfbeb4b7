// typedata infer on trees made of fuzzed files (the sample tree with files
// put in place or taken away, as for check). It never crashes, never
// changes a byte, and the description it gives is one the machine
// description parser accepts.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "infer/infer.h"
#include "machine/machine.h"
#include "tool_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const td::fuzz::ToolTree& tree = td::fuzz::SampleTree();
  td::fuzz::LayRecords(tree.root, std::string(reinterpret_cast<const char*>(data), size));
  const td::fuzz::Files before = td::fuzz::Snapshot(tree.root);
  tool::infer::Inference inference;
  std::string error;
  if (tool::infer::InferTree(tree.root, &inference, &error)) {
    const std::string description = tool::infer::DescriptionText(inference, tree.root);
    mmisim::Machine machine;
    if (!mmisim::ParseMachine(description, "inferred", &machine, &error)) {
      std::fprintf(stderr, "%s\n%s\n", error.c_str(), description.c_str());
      td::fuzz::Fail("the parser accepts the inferred description");
    }
  }
  td::fuzz::Require(td::fuzz::Snapshot(tree.root) == before, "infer changes no byte");
  td::fuzz::Restore(tree.root, tree.pristine);
  return 0;
}
