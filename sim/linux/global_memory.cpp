// Global memory where Windows is absent: MMI_GlobalAlloc's blocks, and the
// GlobalHandle, GlobalUnlock and GlobalFree that release them. A block is
// its own handle; it is locked once when allocated, as the shell library
// hands it out locked.
#include <cstdlib>
#include <unordered_map>

#include "../state.h"

namespace mmisim {
namespace {

struct GlobalBlock {
  int locks = 1;
};

std::unordered_map<const void*, GlobalBlock>& Blocks() {
  static std::unordered_map<const void*, GlobalBlock> blocks;
  return blocks;
}

}  // namespace

void* AllocateGlobal(std::uint32_t size) {
  void* memory = std::calloc(1, size ? size : 1);
  if (memory) Blocks()[memory] = GlobalBlock{};
  return memory;
}

void ReleaseAllGlobal() {
  for (auto& [memory, block] : Blocks()) std::free(const_cast<void*>(memory));
  Blocks().clear();
}

long LiveGlobal() { return static_cast<long>(Blocks().size()); }

}  // namespace mmisim

extern "C" {

HGLOBAL GlobalHandle(LPCVOID memory) {
  const auto& blocks = mmisim::Blocks();
  return blocks.count(memory) ? const_cast<void*>(memory) : nullptr;
}

BOOL GlobalUnlock(HGLOBAL memory) {
  auto& blocks = mmisim::Blocks();
  const auto found = blocks.find(memory);
  if (found == blocks.end() || found->second.locks == 0) return 0;
  return --found->second.locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  auto& blocks = mmisim::Blocks();
  const auto found = blocks.find(memory);
  if (found == blocks.end()) return memory;  // not a block: the handle comes back
  blocks.erase(found);
  std::free(memory);
  return nullptr;
}

}  // extern "C"
