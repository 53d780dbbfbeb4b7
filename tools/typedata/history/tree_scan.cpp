#include "history/tree_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "core/atomic_file.h"
#include "history/git_util.h"

namespace history {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

tool::Refusal SystemRefusal(const std::string& what, const std::string& path, int error) {
  const std::string reason = std::strerror(error);
  return tool::Refusal::InputOutput(what + " " + path + ": " + reason, path, reason);
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

bool SameStat(const git_index_entry& entry, const struct stat& st, const struct timespec& stamp) {
  // An entry as new as the index itself may have changed within the same
  // tick: read again.
  if (st.st_mtim.tv_sec > stamp.tv_sec ||
      (st.st_mtim.tv_sec == stamp.tv_sec && st.st_mtim.tv_nsec >= stamp.tv_nsec))
    return false;
  return entry.mtime.seconds == static_cast<int32_t>(st.st_mtim.tv_sec) &&
         entry.mtime.nanoseconds == static_cast<uint32_t>(st.st_mtim.tv_nsec) &&
         entry.ctime.seconds == static_cast<int32_t>(st.st_ctim.tv_sec) &&
         entry.ctime.nanoseconds == static_cast<uint32_t>(st.st_ctim.tv_nsec) &&
         entry.file_size == static_cast<uint32_t>(st.st_size) &&
         entry.ino == static_cast<uint32_t>(st.st_ino);
}

class Scanner {
 public:
  Scanner(git_repository* repo, const git_index* cache, const struct timespec& stamp, bool write)
      : repo_(repo), cache_(cache), stamp_(stamp), write_(write) {}

  tool::Result<Scan> Run(const std::string& root) {
    if (write_ && git_repository_odb(&odb_, repo_) < 0)
      return GitRefusal("the history cannot be written", root);
    Scan scan;
    // The two names at the top are followed when they are links: the tree
    // is reached through them as the tool reaches it.
    const std::string machine = root + "/" + kMachineFile;
    struct stat st {};
    if (stat(machine.c_str(), &st) == 0) {
      if (S_ISREG(st.st_mode)) {
        ScannedFile file{kMachineFile, GIT_FILEMODE_BLOB, {}, st};
        if (auto refused = Blob(machine, /*follow=*/true, &file)) return *refused;
        scan.files.push_back(file);
      } else {
        scan.passedOver.push_back(kMachineFile);
      }
    } else if (errno != ENOENT && errno != ENOTDIR) {
      return SystemRefusal("cannot read", machine, errno);
    }
    const std::string type = root + "/" + kTypeFolder;
    if (stat(type.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return SystemRefusal("cannot read", type, ENOTDIR);
      if (auto refused = Folder(type, kTypeFolder, &scan)) return *refused;
    } else if (errno != ENOENT && errno != ENOTDIR) {
      return SystemRefusal("cannot read", type, errno);
    }
    return scan;
  }
  ~Scanner() { git_odb_free(odb_); }

 private:
  std::optional<tool::Refusal> Folder(const std::string& path, const std::string& rel, Scan* scan) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return SystemRefusal("cannot read the folder", path, errno);
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != ".." && IsRecordedName(name)) names.push_back(name);
    }
    const int readError = errno;
    closedir(dir);
    if (readError != 0) return SystemRefusal("cannot read the folder", path, readError);
    for (const std::string& name : names) {
      std::string child = path;
      child.append("/").append(name);
      ScannedFile file;
      file.path = rel;
      file.path.append("/").append(name);
      if (lstat(child.c_str(), &file.st) != 0) {
        if (errno == ENOENT) continue;  // gone meanwhile: not in the tree
        return SystemRefusal("cannot read", child, errno);
      }
      if (S_ISDIR(file.st.st_mode)) {
        if (auto refused = Folder(child, file.path, scan)) return refused;
      } else if (S_ISREG(file.st.st_mode)) {
        if (auto refused = Blob(child, /*follow=*/false, &file)) return refused;
        scan->files.push_back(file);
      } else if (S_ISLNK(file.st.st_mode)) {
        file.mode = GIT_FILEMODE_LINK;
        if (auto refused = Link(child, &file)) return refused;
        scan->files.push_back(file);
      } else {
        scan->passedOver.push_back(file.path);
      }
    }
    return std::nullopt;
  }

  bool FromCache(ScannedFile* file) const {
    if (cache_ == nullptr) return false;
    const git_index_entry* entry =
        git_index_get_bypath(const_cast<git_index*>(cache_), file->path.c_str(), 0);
    if (entry == nullptr || entry->mode != static_cast<uint32_t>(file->mode)) return false;
    if (!SameStat(*entry, file->st, stamp_)) return false;
    file->id = entry->id;
    file->cached = true;
    return true;
  }

  std::optional<tool::Refusal> Link(const std::string& path, ScannedFile* file) {
    if (FromCache(file)) return std::nullopt;
    std::string target(static_cast<std::size_t>(file->st.st_size) + 1, '\0');
    const ssize_t size = readlink(path.c_str(), target.data(), target.size());
    if (size < 0) return SystemRefusal("cannot read the link", path, errno);
    target.resize(static_cast<std::size_t>(size));
    const int rc = write_ ? git_blob_create_from_buffer(&file->id, repo_, target.data(), target.size())
                          : git_odb_hash(&file->id, target.data(), target.size(), GIT_OBJECT_BLOB);
    if (rc < 0) return GitRefusal("cannot keep " + path + " in the history", path);
    return std::nullopt;
  }

  // The file's bytes as they are on disk, streamed (a large file is never
  // held whole); read again when it changes while it is read.
  std::optional<tool::Refusal> Blob(const std::string& path, bool follow, ScannedFile* file) {
    if (FromCache(file)) return std::nullopt;
    for (int attempt = 0; attempt < 3; ++attempt) {
      Fd in;
      in.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow ? 0 : O_NOFOLLOW));
      if (in.fd < 0) return SystemRefusal("cannot read", path, errno);
      if (fstat(in.fd, &file->st) != 0) return SystemRefusal("cannot read", path, errno);
      if (!S_ISREG(file->st.st_mode)) return SystemRefusal("cannot read", path, EINVAL);
      const auto size = static_cast<std::size_t>(file->st.st_size);
      if (!write_) {
        if (git_odb_hashfile(&file->id, path.c_str(), GIT_OBJECT_BLOB) < 0)
          return GitRefusal("cannot read " + path, path);
        return std::nullopt;
      }
      git_odb_stream* stream = nullptr;
      if (git_odb_open_wstream(&stream, odb_, size, GIT_OBJECT_BLOB) < 0)
        return GitRefusal("cannot keep " + path + " in the history", path);
      std::vector<char> buffer(1 << 16);
      std::size_t done = 0;
      bool changed = false;
      int readError = 0;
      while (true) {
        const ssize_t got = read(in.fd, buffer.data(), buffer.size());
        if (got < 0) {
          if (errno == EINTR) continue;
          readError = errno;
          break;
        }
        if (got == 0) break;
        if (done + static_cast<std::size_t>(got) > size) {
          changed = true;
          break;
        }
        if (git_odb_stream_write(stream, buffer.data(), static_cast<std::size_t>(got)) < 0) {
          git_odb_stream_free(stream);
          return GitRefusal("cannot keep " + path + " in the history", path);
        }
        done += static_cast<std::size_t>(got);
      }
      if (readError != 0) {
        git_odb_stream_free(stream);
        return SystemRefusal("cannot read", path, readError);
      }
      if (changed || done != size) {
        git_odb_stream_free(stream);
        continue;
      }
      const int rc = git_odb_stream_finalize_write(&file->id, stream);
      git_odb_stream_free(stream);
      if (rc < 0) return GitRefusal("cannot keep " + path + " in the history", path);
      return std::nullopt;
    }
    return tool::Refusal::InputOutput("cannot read " + path + ": it kept changing while it was read", path,
                                      "it kept changing while it was read");
  }

  git_repository* repo_;
  const git_index* cache_;
  struct timespec stamp_;
  bool write_;
  git_odb* odb_ = nullptr;
};

}  // namespace

bool IsRecordedName(const std::string& name) {
  if (name.rfind(".typedata-", 0) == 0) return false;
  if (Lower(name) == ".git") return false;
  return !tool::IsTemporaryFileName(name);
}

tool::Result<Scan> ScanTree(const std::string& root, git_repository* repo, const git_index* cache,
                            const struct timespec& cacheStamp, bool write) {
  Scanner scanner(repo, cache, cacheStamp, write);
  return scanner.Run(root);
}

git_index_entry IndexEntryFor(const ScannedFile& file) {
  git_index_entry entry{};
  entry.ctime.seconds = static_cast<int32_t>(file.st.st_ctim.tv_sec);
  entry.ctime.nanoseconds = static_cast<uint32_t>(file.st.st_ctim.tv_nsec);
  entry.mtime.seconds = static_cast<int32_t>(file.st.st_mtim.tv_sec);
  entry.mtime.nanoseconds = static_cast<uint32_t>(file.st.st_mtim.tv_nsec);
  entry.dev = static_cast<uint32_t>(file.st.st_dev);
  entry.ino = static_cast<uint32_t>(file.st.st_ino);
  entry.mode = static_cast<uint32_t>(file.mode);
  entry.uid = static_cast<uint32_t>(file.st.st_uid);
  entry.gid = static_cast<uint32_t>(file.st.st_gid);
  entry.file_size = static_cast<uint32_t>(file.st.st_size);
  entry.id = file.id;
  entry.path = file.path.c_str();
  return entry;
}

}  // namespace history
