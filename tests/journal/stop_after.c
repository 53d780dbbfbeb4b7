/* For tests only (Linux, LD_PRELOAD): counts the calls that change files
 * and kills the process with SIGKILL right after the Nth, N taken from
 * TD_STOP_AFTER. Counted: making, writing, renaming, linking, removing and
 * flushing files and folders; writes to stdout and stderr and to anything
 * that is not a regular file are not. The calls of the program and of the
 * libraries it loads go through here; glibc's own internal calls (fopen's
 * open, fwrite's write) do not, so fopen for writing counts once. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static long stop_at = -1; /* 0: never */
static long done;

static void count(void) {
  if (stop_at < 0) {
    const char* text = getenv("TD_STOP_AFTER");
    stop_at = text ? atol(text) : 0;
  }
  if (stop_at > 0 && ++done == stop_at) kill(getpid(), SIGKILL);
}

static int regular(int fd) {
  struct stat st;
  return fd > 2 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

/* A call that changes something when it succeeds. */
#define COUNTED(result)         \
  do {                          \
    if ((result) >= 0) count(); \
  } while (0)

static int creates(int flags) { return (flags & (O_CREAT | O_TRUNC)) != 0; }

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  const int fd = NEXT(open)(path, flags, mode);
  if (creates(flags)) COUNTED(fd);
  return fd;
}

int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  const int fd = NEXT(open64)(path, flags, mode);
  if (creates(flags)) COUNTED(fd);
  return fd;
}

int openat(int dir, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  const int fd = NEXT(openat)(dir, path, flags, mode);
  if (creates(flags)) COUNTED(fd);
  return fd;
}

int creat(const char* path, mode_t mode) {
  const int fd = NEXT(creat)(path, mode);
  COUNTED(fd);
  return fd;
}

static int writes(const char* mode) { return mode && (strchr(mode, 'w') || strchr(mode, 'a')); }

FILE* fopen(const char* path, const char* mode) {
  FILE* file = NEXT(fopen)(path, mode);
  if (file && writes(mode)) count();
  return file;
}

FILE* fopen64(const char* path, const char* mode) {
  FILE* file = NEXT(fopen64)(path, mode);
  if (file && writes(mode)) count();
  return file;
}

ssize_t write(int fd, const void* bytes, size_t size) {
  const int counted = regular(fd);
  const ssize_t n = NEXT(write)(fd, bytes, size);
  if (counted) COUNTED(n);
  return n;
}

ssize_t pwrite(int fd, const void* bytes, size_t size, off_t at) {
  const int counted = regular(fd);
  const ssize_t n = NEXT(pwrite)(fd, bytes, size, at);
  if (counted) COUNTED(n);
  return n;
}

ssize_t pwrite64(int fd, const void* bytes, size_t size, off64_t at) {
  const int counted = regular(fd);
  const ssize_t n = NEXT(pwrite64)(fd, bytes, size, at);
  if (counted) COUNTED(n);
  return n;
}

ssize_t writev(int fd, const struct iovec* parts, int count_) {
  const int counted = regular(fd);
  const ssize_t n = NEXT(writev)(fd, parts, count_);
  if (counted) COUNTED(n);
  return n;
}

int ftruncate(int fd, off_t size) {
  const int result = NEXT(ftruncate)(fd, size);
  COUNTED(result);
  return result;
}

int truncate(const char* path, off_t size) {
  const int result = NEXT(truncate)(path, size);
  COUNTED(result);
  return result;
}

ssize_t copy_file_range(int in, off64_t* inAt, int out, off64_t* outAt, size_t size, unsigned flags) {
  const ssize_t n = NEXT(copy_file_range)(in, inAt, out, outAt, size, flags);
  COUNTED(n);
  return n;
}

ssize_t sendfile(int out, int in, off_t* at, size_t size) {
  const int counted = regular(out);
  const ssize_t n = NEXT(sendfile)(out, in, at, size);
  if (counted) COUNTED(n);
  return n;
}

int fsync(int fd) {
  const int result = NEXT(fsync)(fd);
  COUNTED(result);
  return result;
}

int fdatasync(int fd) {
  const int result = NEXT(fdatasync)(fd);
  COUNTED(result);
  return result;
}

int syncfs(int fd) {
  const int result = NEXT(syncfs)(fd);
  COUNTED(result);
  return result;
}

int rename(const char* from, const char* to) {
  const int result = NEXT(rename)(from, to);
  COUNTED(result);
  return result;
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  const int result = NEXT(renameat)(fromDir, from, toDir, to);
  COUNTED(result);
  return result;
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  const int result = NEXT(renameat2)(fromDir, from, toDir, to, flags);
  COUNTED(result);
  return result;
}

int link(const char* from, const char* to) {
  const int result = NEXT(link)(from, to);
  COUNTED(result);
  return result;
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  const int result = NEXT(linkat)(fromDir, from, toDir, to, flags);
  COUNTED(result);
  return result;
}

int symlink(const char* target, const char* path) {
  const int result = NEXT(symlink)(target, path);
  COUNTED(result);
  return result;
}

int unlink(const char* path) {
  const int result = NEXT(unlink)(path);
  COUNTED(result);
  return result;
}

int unlinkat(int dir, const char* path, int flags) {
  const int result = NEXT(unlinkat)(dir, path, flags);
  COUNTED(result);
  return result;
}

int remove(const char* path) {
  const int result = NEXT(remove)(path);
  COUNTED(result);
  return result;
}

int mkdir(const char* path, mode_t mode) {
  const int result = NEXT(mkdir)(path, mode);
  COUNTED(result);
  return result;
}

int mkdirat(int dir, const char* path, mode_t mode) {
  const int result = NEXT(mkdirat)(dir, path, mode);
  COUNTED(result);
  return result;
}

int rmdir(const char* path) {
  const int result = NEXT(rmdir)(path);
  COUNTED(result);
  return result;
}
