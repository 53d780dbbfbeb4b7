// The tool's own files (the current type, the remembered machine, restored
// type data files) replaced as the service replaces its files: a temporary
// file under a unique name in the target's folder, made exclusively and
// never through a link, flushed, then renamed over the target.
#ifndef TOOLS_TYPEDATA_CORE_ATOMIC_FILE_H
#define TOOLS_TYPEDATA_CORE_ATOMIC_FILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace tool {

// False with "path: reason" in *error; the old file is then as it was.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

struct CopyJob {
  std::string source;
  std::string target;
};

// Copies every source onto its target, each target replaced atomically and
// all of them durable on return, with the disk's flushes paid once for the
// group (one syncfs on Linux) rather than once a file. False with the
// reason in *reason and the index of the copy that failed in *failed
// (copies.size() when a flush failed); the temporary files are removed, and
// the targets before a failed rename are new, the others as they were.
bool CopyFilesTogether(const std::vector<CopyJob>& copies, std::size_t* failed, std::string* reason);

// True for the names of temporary files that an update leaves when it does
// not finish: "~td" and 8 hex digits ".tmp", and the fixed names that
// earlier versions used (temp.dat, temp.typ, copy.tmp, *.copy-tmp).
bool IsTemporaryFileName(const std::string& name);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_ATOMIC_FILE_H
