// The one way the tool opens a file. A file read must be a regular file
// (a FIFO, a device or a folder is refused without waiting on it), no
// bigger than a file of its kind can be, and is read up to the size it had
// when opened, never more. A file written in place must be a regular file
// with one name, never reached through a symbolic link; an output never
// replaces a file of a tree, a special file or a link.
#ifndef TOOLS_TYPEDATA_CORE_OPEN_FILE_H
#define TOOLS_TYPEDATA_CORE_OPEN_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tool {

// What a file is taken for, and the most such a file can sensibly hold.
struct FileKind {
  const char* what;     // "a type data file": for messages
  std::uint64_t limit;  // bytes
};

// A type data file holds one config: five kinds of at most 65,535 items,
// a line each (about 30 bytes for a value, a few hundred for a text), so
// even every kind full stays well below this.
inline constexpr FileKind kTypeDataFile{"a type data file", 64u << 20};
inline constexpr FileKind kCatalogueFile{"the catalogue", 4u << 20};  // 10,000 records of a line each
inline constexpr FileKind kMachineFile{"a machine description", 4u << 20};
inline constexpr FileKind kStateFile{"the tool's state file", 64u << 10};
inline constexpr FileKind kNamesFile{"a names file", 4u << 20};
inline constexpr FileKind kImportFile{"an import file", 256u << 20};

// Why a file could not be opened or read: the file and the system's reason.
struct FileError {
  std::string path;
  std::string reason;    // the system's words, or what the file is instead
  bool missing = false;  // no such file (nor folder on the way)
  bool refused = false;  // there, but not a file of the kind wanted (or too big)
  std::string Message() const { return path + ": " + reason; }
};

// The test every read passes: path (links followed) is a regular file no
// bigger than kind allows. Opens it without blocking and closes it again;
// for paths handed to the service, which opens them itself.
bool CheckReadable(const std::string& path, const FileKind& kind, FileError* error);

// Reads the whole of path. False with the reason; the bytes are then empty.
bool ReadWholeFile(const std::string& path, const FileKind& kind, std::string* bytes, FileError* error);
// The same into bytes[0, *size) with room for one byte more; bytes keeps its
// memory from one file to the next.
bool ReadWholeFile(const std::string& path, const FileKind& kind, std::vector<char>* bytes, std::size_t* size,
                   FileError* error);

// A file opened to be read and written where it is (the tree's lock): a
// descriptor, or a Windows HANDLE, as an integer.
struct InPlaceFile {
  std::intptr_t handle = -1;
  bool writable = false;
};
enum class InPlaceMode {
  kCreate,    // read and write; made when missing
  kReadOnly,  // read only; never made
};
// Opens path never through a symbolic link, refusing anything but a regular
// file with one link (a second name would let a write land in another file).
bool OpenInPlace(const std::string& path, InPlaceMode mode, InPlaceFile* file, FileError* error);
void CloseInPlace(const InPlaceFile& file);

// Whether an output may be put at path: refused when path is a symbolic
// link, a folder, a FIFO, a device or a file with a second name, or a file
// of the tree at treeRoot (anything below its type folder, and its own dot
// files). treeRoot "" checks the kind of file only.
bool CheckOutputPath(const std::string& path, const std::string& treeRoot, FileError* error);

// Whether the file at path may be replaced by a rename: absent, or a regular
// file that is not a symbolic link.
bool CheckReplaceable(const std::string& path, FileError* error);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_OPEN_FILE_H
