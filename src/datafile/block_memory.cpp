#include "datafile/block_memory.h"

#include "host.h"

namespace td::datafile {

void ReleaseBlock(void* block) {
  if (!block) return;
  HGLOBAL handle = GlobalHandle(block);
  if (!handle) return;
  GlobalUnlock(handle);
  GlobalFree(handle);
}

}  // namespace td::datafile
