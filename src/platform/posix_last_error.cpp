#include <cerrno>

#include "last_error.h"

namespace td::platform {

unsigned long LastError() { return static_cast<unsigned long>(errno); }
void SetLastErrorCode(unsigned long code) { errno = static_cast<int>(code); }
bool LastErrorIsExists() { return errno == EEXIST; }

}  // namespace td::platform
