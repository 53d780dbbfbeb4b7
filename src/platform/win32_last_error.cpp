#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "last_error.h"

namespace td::platform {

unsigned long LastError() { return GetLastError(); }
void SetLastErrorCode(unsigned long code) { SetLastError(static_cast<DWORD>(code)); }
bool LastErrorIsExists() {
  const DWORD code = GetLastError();
  return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

}  // namespace td::platform
