#include "core/system_error.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace tool {

#ifdef _WIN32

std::string SystemReason() {
  const DWORD code = GetLastError();
  if (code == 0) return "";
  char text[512] = "";
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      code, 0, text, sizeof text, nullptr);
  std::string reason(text, length);
  // Windows ends its messages with a full stop and a line break.
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
    reason.pop_back();
  return reason.empty() ? "system error " + std::to_string(code) : reason;
}

#else

std::string SystemReason() {
  const int code = errno;
  return code == 0 ? "" : std::strerror(code);
}

#endif

}  // namespace tool
