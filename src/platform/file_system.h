// The file system as the service sees it.
//
// Every file the service touches goes through the FileSystem in use, which
// takes the service's own paths ("..\type\0012\CF0012.DAT") and maps them
// onto the platform. Tests put a fault-injecting file system in its place.
#ifndef TYPEDATA_PLATFORM_FILE_SYSTEM_H
#define TYPEDATA_PLATFORM_FILE_SYSTEM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace td::platform {

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Bytes read into buffer, 0 at the end of the file, -1 on a read error.
  virtual std::int64_t Read(char* buffer, std::size_t size) = 0;
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual bool Append(const char* data, std::size_t size) = 0;
  // Flushes what was appended to the disk.
  virtual bool Sync() = 0;
  // Closing twice is harmless; the destructor closes an open file.
  virtual bool Close() = 0;
};

enum class WriteMode {
  kTruncate,
  kAppend,
  // Makes a new file; fails when the name exists in any form (a symbolic
  // link included), so that no file of anybody else is ever written.
  kCreateNew
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Null when the file cannot be opened.
  virtual std::unique_ptr<ReadableFile> OpenRead(const std::string& path) = 0;
  // Creates the file when missing. Null when it cannot be opened.
  virtual std::unique_ptr<WritableFile> OpenWrite(const std::string& path, WriteMode mode) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Puts from in the place of to, replacing to when it exists, atomically.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // True when the folder was made or exists already.
  virtual bool MakeDir(const std::string& path) = 0;
  // Flushes a folder's entries (names made, renamed, removed) to disk.
  virtual bool SyncDir(const std::string& path) = 0;
  // Flushes the data of every file named (closed, written by this process)
  // to disk, and the entries of every folder named: together where the
  // platform can, so that the disk takes them in one commit rather than
  // one after another. These defaults flush each in turn.
  virtual bool SyncFiles(const std::vector<std::string>& paths);
  virtual bool SyncDirs(const std::vector<std::string>& folders);
  virtual bool Exists(const std::string& path) = 0;
  // True when path names no file, or a file that may be written: a rename
  // would replace a file protected against writing, which the service must
  // not do. This default asks Exists and opens the file to append.
  virtual bool Replaceable(const std::string& path);
  // Names in a folder, without "." and "..".
  virtual bool ListDir(const std::string& path, std::vector<std::string>* names) = 0;
  // Gives to the access and modification times (and where the platform
  // keeps one, the creation time) of from.
  virtual bool CopyTimes(const std::string& from, const std::string& to) = 0;
};

// The path that the platform's own calls take for a service path: "\"
// becomes "/" on POSIX, and a name that does not exist with its exact letter
// case is matched without regard to case. False (errno set) when a name
// matches more than one entry of its folder that way: the service never
// picks one of two files. Windows resolves names itself.
bool ResolvePath(const std::string& servicePath, std::string* nativePath);

// The platform's own file system.
FileSystem& DefaultFileSystem();

// The file system in use: the platform's own unless a test set another.
FileSystem& Fs();

// Puts fs in use (null: the platform's own again); gives the one before.
FileSystem* SetFileSystem(FileSystem* fs);

// The folder part of a service path ("..\type\0012" of
// "..\type\0012\CF0012.DAT"); "." when there is none.
std::string ParentOf(const std::string& path);

}  // namespace td::platform

#endif  // TYPEDATA_PLATFORM_FILE_SYSTEM_H
