// What each command found or did, as data: the command line prints it as
// text or as its JSON document (documents.h), and the browser interface
// sends the same documents. Decisions are made before a model is printed.
#ifndef TOOLS_TYPEDATA_OPS_MODELS_H
#define TOOLS_TYPEDATA_OPS_MODELS_H

#include <string>
#include <vector>

#include "core/list_order.h"
#include "core/revision.h"
#include "core/session.h"
#include "core/switch.h"
#include "core/value_review.h"
#include "core/values.h"

namespace tool {

struct InitModel {
  std::string typeFolder;
  int configCount = 0;
  std::vector<std::string> written;  // relative to the type folder
};

struct ListModel {
  ListOrder order = ListOrder::kNumber;
  std::vector<TypeInfo> types;
};

// A shared config that a type took from another type with the same part.
struct SharedPull {
  std::string config;
  int part = 0;
  std::string partText;
  int fromType = 0;
  std::string fromName;
};

struct AddModel {
  int number = 0;
  std::string name;
  int from = 0;
  std::vector<SharedPull> pulls;
  std::vector<std::string> warnings;
  std::vector<std::string> passedOver;  // numbers passed over for files the catalogue does not list
};

struct RenameModel {
  int number = 0;
  std::string oldName;
  std::string name;
  std::vector<SharedPull> pulls;
  std::vector<std::string> warnings;
};

struct UseModel {
  int number = 0;
  std::string name;
  bool download = false;
  SwitchReport report;
};

struct ShownItem {
  std::string config;
  char kind = 0;
  ItemValue item;
};

// A config whose file could not be read, and why, in check's words.
struct BrokenConfig {
  std::string config;
  std::string file;  // relative to the type folder
  std::string problem;
};

struct ShowModel {
  int number = 0;
  std::string name;
  std::string config;  // the selection given, "" for all
  std::string kind;
  std::vector<ShownItem> items;
  std::vector<FileRevision> revisions;  // every config's file as read, for a save to expect
  std::vector<BrokenConfig> broken;     // shown partially: the configs left out
};

// A file that a save sent to another type sharing the config.
struct SharedFile {
  int type = 0;
  std::string name;
  std::string file;
};

struct SavedFiles {
  std::vector<std::string> own;  // relative to the type folder
  std::vector<SharedFile> shared;
};

struct SetModel {
  int number = 0;
  std::string name;
  std::vector<ReviewedChange> changes;
  SavedFiles saved;
};

struct Difference {
  std::string config;
  char kind = 0;
  int item = 0;
  ItemValue first;
  ItemValue second;
};

struct DiffModel {
  int first = 0;
  int second = 0;
  std::vector<Difference> differences;
};

struct CheckProblem {
  std::string file;  // relative to the root
  int line = 0;      // 0: the file as a whole
  std::string what;
};

struct CheckModel {
  std::vector<CheckProblem> problems;
};

struct ImportModel {
  int number = 0;
  std::string name;
  std::string file;
  int values = 0;  // in the export
  std::vector<ReviewedChange> changed;
  SavedFiles saved;
};

// A type's values as export gives them (as JSON or CSV).
struct ExportModel {
  int number = 0;
  TypeValues values;
};

struct RecoveredType {
  int number = 0;
  std::string name;  // "" when no names file gave one
};

struct RecoverModel {
  std::string catalogue;  // the catalogue file written
  std::vector<RecoveredType> types;
};

// Several types side by side: every item their configs describe in one
// row, each cell marked when its value differs from the first type's.
struct CompareRow {
  std::string config;
  char kind = 0;
  int item = 0;
  char dataType = 0;  // the first type's; 0 for none
  std::vector<ItemValue> values;
  std::vector<bool> differs;
};

struct ComparedType {
  int number = 0;
  std::string name;
  std::vector<BrokenConfig> broken;  // configs left out (their cells empty)
};

struct CompareModel {
  std::vector<ComparedType> types;
  std::string config;  // the one config compared, "" for all
  bool onlyDifferences = false;
  std::size_t differing = 0;  // rows that differ, kept or not
  std::vector<CompareRow> rows;
};

// Which types share which config: for each config that follows a name
// part, the types grouped by their part at that position.
struct SharingMember {
  int number = 0;
  std::string name;
};

struct SharingGroup {
  std::string part;
  std::vector<SharingMember> types;  // by number
};

struct SharingConfig {
  std::string config;
  int part = 0;                      // 0: the config is each type's own
  std::vector<SharingGroup> groups;  // by part text
};

struct SharingModel {
  int partCount = 0;
  std::size_t typeCount = 0;
  std::vector<SharingConfig> configs;
};

// A named point of the history: the release's name, its tag and the entry
// it names (both in hex), and who pinned it, where and why.
struct ReleaseModel {
  std::string name;
  std::string tag;
  std::string revision;
  std::string user;
  std::string station;
  std::string reason;
};

// What history verify found: the chain (problems: objects missing or
// damaged) and every file where the tree differs from the last entry.
struct VerifiedFile {
  std::string path;  // from the root: "type/0001/MAIN0001.DAT"
  std::string kind;  // "added", "modified" or "deleted", as the tree stands
};

struct VerifyModel {
  std::size_t entries = 0;
  bool chainOk = true;
  std::vector<std::string> problems;
  std::vector<VerifiedFile> differences;
  bool ok() const { return chainOk && problems.empty() && differences.empty(); }
};

// What restore put back: a type's values (or one config's, or one item's)
// as an entry kept them, saved as set saves them; changed holds only the
// values that differed.
struct RestoreModel {
  int number = 0;
  std::string name;
  std::string at;        // the WHEN given
  std::string revision;  // the entry it named
  std::string config;    // "" for every config
  std::string item;      // "" for every item, else "D:3"
  std::vector<ReviewedChange> changed;
  SavedFiles saved;
};

// An entry that watch recorded: what changed outside the tool (or what an
// interrupted command left), as one entry of the history.
struct WatchedEntry {
  std::string revision;
  std::string time;  // UTC, ISO 8601
  bool outside = false;
  bool interrupted = false;
  bool first = false;
};

struct WatchModel {
  std::vector<WatchedEntry> entries;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_OPS_MODELS_H
