// Releasing a block that MMI_GlobalAlloc gave: the global memory handle of
// its address is unlocked and freed.
#ifndef TYPEDATA_DATAFILE_BLOCK_MEMORY_H
#define TYPEDATA_DATAFILE_BLOCK_MEMORY_H

namespace td::datafile {

// Does nothing for null or for memory that is not a global block.
void ReleaseBlock(void* block);

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_BLOCK_MEMORY_H
