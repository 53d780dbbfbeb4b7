// The file operations of the journal, durable and atomic where it needs
// them to be, on POSIX and on Windows.
#ifndef TOOLS_TYPEDATA_CORE_JOURNAL_FILES_H
#define TOOLS_TYPEDATA_CORE_JOURNAL_FILES_H

#include <string>
#include <vector>

namespace tool::journal {

// What is at a path, not following a symbolic link.
enum class Entry { kAbsent, kFolder, kOther };
Entry EntryAt(const std::string& path);

// Makes the file at from known also as to (a second name; a durable copy
// where the file system cannot give one). False with the reason.
bool KeepAs(const std::string& from, const std::string& to, std::string* reason);

// Whether two paths name the same file (one file under two names).
bool SameFile(const std::string& a, const std::string& b);
// Whether two paths hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b);

// Puts what kept holds at target, atomically: a second name of kept under
// a temporary name in target's folder, renamed over target. kept stays.
bool PutInPlace(const std::string& kept, const std::string& target, std::string* reason);

// Writes bytes to path, flushed; path replaced atomically.
bool WriteDurably(const std::string& path, const std::string& bytes, std::string* reason);

// Flushes a folder's entries (nothing to do on Windows, whose renames are
// written through).
bool FlushFolder(const std::string& folder);

// The names of the temporary files in folder.
std::vector<std::string> TemporaryFilesIn(const std::string& folder);

// A path's folder, or "" for a name in the type folder itself.
std::string FolderOf(const std::string& relative);

}  // namespace tool::journal

#endif  // TOOLS_TYPEDATA_CORE_JOURNAL_FILES_H
