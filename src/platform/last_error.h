// The reason of the last failed system call, kept across clean-up.
//
// After an operation gives -1 because a file operation failed, errno (POSIX)
// or GetLastError() (Windows) tells the caller why. Removing a temporary
// file or closing a handle on the way out must not overwrite it.
#ifndef TYPEDATA_PLATFORM_LAST_ERROR_H
#define TYPEDATA_PLATFORM_LAST_ERROR_H

namespace td::platform {

// The platform's error code of the last failed call.
unsigned long LastError();
void SetLastErrorCode(unsigned long code);

// Saves the error code when made, puts it back when destroyed.
class KeepLastError {
 public:
  KeepLastError() : code_(LastError()) {}
  ~KeepLastError() { SetLastErrorCode(code_); }
  KeepLastError(const KeepLastError&) = delete;
  KeepLastError& operator=(const KeepLastError&) = delete;

 private:
  unsigned long code_;
};

// True when the last failure was "the name exists already".
bool LastErrorIsExists();

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_LAST_ERROR_H
