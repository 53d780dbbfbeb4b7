// Copying the type data files of the configs bound to one name part from
// one type to another: what both propagating operations do per position.
#ifndef TYPEDATA_NAMEPARTS_SHARED_FILES_H
#define TYPEDATA_NAMEPARTS_SHARED_FILES_H

#include "platform/replace_group.h"

namespace td::nameparts {

// For every config bound to position, in config list order, copies the
// file "<prefix><from>.DAT" of type from onto that of type to (into an
// existing type folder) as a replacement of group, which the caller
// commits once for all its copies. Failed copies are passed over.
void CopySharedFiles(int position, unsigned from, unsigned to, platform::ReplaceGroup& group);

}  // namespace td::nameparts

#endif  // TYPEDATA_NAMEPARTS_SHARED_FILES_H
