// Global memory of Windows: MMI_GlobalAlloc gives a locked, zero-filled,
// moveable block, which the service releases with GlobalHandle,
// GlobalUnlock and GlobalFree.
#include <set>

#include "../state.h"

namespace mmisim {
namespace {

std::set<HGLOBAL>& Handles() {
  static std::set<HGLOBAL> handles;
  return handles;
}

}  // namespace

void* AllocateGlobal(std::uint32_t size) {
  HGLOBAL handle = GlobalAlloc(GHND, size ? size : 1);
  if (!handle) return nullptr;
  void* memory = GlobalLock(handle);
  if (!memory) {
    GlobalFree(handle);
    return nullptr;
  }
  Handles().insert(handle);
  return memory;
}

// Blocks that the service released itself are gone from Windows' tables:
// GlobalFlags tells them apart.
void ReleaseAllGlobal() {
  for (HGLOBAL handle : Handles()) {
    if (GlobalFlags(handle) != GMEM_INVALID_HANDLE) GlobalFree(handle);
  }
  Handles().clear();
}

long LiveGlobal() {
  long live = 0;
  for (HGLOBAL handle : Handles()) {
    if (GlobalFlags(handle) != GMEM_INVALID_HANDLE) ++live;
  }
  return live;
}

}  // namespace mmisim
