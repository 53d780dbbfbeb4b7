// A file's revision: a hash of its bytes, so that a page or a script that
// read values a while ago can tell whether the files changed since and a
// save can refuse to overwrite what someone else saved meanwhile.
#ifndef TOOLS_TYPEDATA_CORE_REVISION_H
#define TOOLS_TYPEDATA_CORE_REVISION_H

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"
#include "core/values.h"

namespace tool {

// 16 hex digits (a 64-bit FNV-1a of the bytes): enough to tell a change,
// not meant to stand against someone forging one.
std::string RevisionOf(std::string_view bytes);

// A config's data file of a type and its revision; "" when the file is
// missing or cannot be read (a file put back later is a change too).
struct FileRevision {
  std::string config;    // the config's prefix
  std::string file;      // relative to the type folder: "0001/TOOL0001.DAT"
  std::string revision;  // "" for none
};

// Every config's file of the type, in the machine's order of configs.
std::vector<FileRevision> TypeRevisions(const Session& session, int typeNo);

// The revision of them all together: any file changed, added or gone
// changes it.
std::string CombinedRevision(const std::vector<FileRevision>& files);

// The values a config's file held at a revision, kept by whoever showed
// them (the server, for its pages) so that a refused save can say what
// changed value by value. Holds the last few hundred.
class RevisionMemory {
 public:
  void Keep(const std::string& file, const std::string& revision, const ConfigValues& values);
  const ConfigValues* Find(const std::string& file, const std::string& revision) const;

 private:
  struct Kept {
    std::string file;
    std::string revision;
    ConfigValues values;
  };
  static constexpr std::size_t kMost = 512;
  std::deque<Kept> kept_;
};

// A save refused because a file changed since its values were read: each
// file (the revision read, the one now), and each value that differs
// (seen: as read, when known; now: as the file holds it).
struct ChangedFile {
  std::string config;
  std::string file;
  std::string seen;
  std::string now;
};

struct ChangedValue {
  std::string config;
  char kind = 0;
  int item = 0;
  std::optional<ItemValue> seen;  // none when the values read are not known here
  ItemValue now;
};

struct RevisionConflict {
  std::vector<ChangedFile> files;
  std::vector<ChangedValue> values;
  std::vector<FileRevision> revisions;  // every file's revision now, to save over it
};

// Every item of the config whose value differs between seen and now.
std::vector<ChangedValue> ChangedValues(const ConfigValues& seen, const ConfigValues& now);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_REVISION_H
