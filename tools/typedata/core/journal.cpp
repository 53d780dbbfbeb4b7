// The journal is a folder of names, which needs no byte written (a tree
// whose files cannot grow still gets one), made whole under another name
// and renamed into place, so that it is there whole or not at all:
//
//   command rename               the command, for the message
//   keep 0003%2FTOOL0003.DAT     a second name of the file as it was
//   absent 0004%2FMAIN0004.DAT   there was no such file
//   leave 0005%2FMAT0005.DAT     a folder stands there: nothing to keep
//   folder 0004                  a folder the command may make
//   temp 0003%2F~td0badf00d.tmp  a temporary file that was there before
//
// (all but the kept files empty; '/' and '%' in a path written %2F, %25).
// Putting back is repeatable: a file already as it was is passed over, a
// file is put back by a rename, and the journal goes only when all is back.
#include "core/journal.h"

#include <fmt/core.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "core/atomic_file.h"
#include "core/folded.h"
#include "core/journal_files.h"
#include "core/lock.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

using journal::Entry;
using journal::EntryAt;

std::string NewPath(const std::string& typeFolder) { return JournalPath(typeFolder) + ".new"; }
std::string OldPath(const std::string& typeFolder) { return JournalPath(typeFolder) + ".old"; }
std::string In(const std::string& typeFolder, const std::string& relative) {
  return relative.empty() ? typeFolder : typeFolder + "/" + relative;
}

// A name in a folder given relative to the type folder ("" for itself).
std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::string path = folder;
  path += '/';
  path += name;
  return path;
}

std::string Encoded(const std::string& path) {
  std::string name;
  for (char c : path)
    name += c == '/' ? std::string("%2F") : c == '%' ? std::string("%25") : std::string(1, c);
  return name;
}

std::string Decoded(const std::string& name) {
  std::string path;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name.compare(i, 3, "%2F") == 0) {
      path += '/';
      i += 2;
    } else if (name.compare(i, 3, "%25") == 0) {
      path += '%';
      i += 2;
    } else {
      path += name[i];
    }
  }
  return path;
}

enum class Kind { kKeep, kAbsent, kLeave };

struct Record {
  std::string command;
  std::vector<std::pair<std::string, Kind>> files;
  std::vector<std::string> folders;  // folders the command may make
  std::set<std::string> temps;       // temporary files there before
};

std::string KeptPath(const std::string& journal, const std::string& path) {
  return journal + "/keep " + Encoded(path);
}

// An empty file whose name says it all.
bool Mark(const std::string& journal, const std::string& tag, const std::string& text, std::string* error) {
  const std::string path = journal + "/" + tag + " " + Encoded(text);
  std::ofstream mark(path, std::ios::binary);
  if (mark) return true;
  *error = path + ": cannot be made";
  return false;
}

// A path the journal may name: what a command of the tool changes, below
// the type folder ("mmi.typ", "0003", "0003/TOOL0003.DAT"). A journal found
// in a tree may come from anywhere (an unpacked archive): a name that would
// lead out of the type folder, or to the tool's own files, is never acted on.
bool IsTreePath(const std::string& path) {
  if (path.empty() || path.size() > 200 || path.find('\\') != std::string::npos) return false;
  const std::string folder = journal::FolderOf(path);
  const std::string name = folder.empty() ? path : path.substr(folder.size() + 1);
  if (folder.find('/') != std::string::npos) return false;  // one folder deep at most
  for (const std::string& part : {folder, name}) {
    if (part == "." || part == ".." || part.rfind(".typedata-", 0) == 0) return false;
    if (part.find_first_of(std::string("\0:", 2)) != std::string::npos) return false;
  }
  return !name.empty() && (folder.empty() || (folder.size() == 4 &&
                                              folder.find_first_not_of("0123456789") == std::string::npos));
}

// False with the entry that is not one this tool writes.
bool ReadRecordIn(const std::string& journal, Record* record, std::string* stranger) {
  std::error_code error;
  for (fs::directory_iterator it(journal, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::size_t space = name.find(' ');
    if (space == std::string::npos) continue;
    const std::string tag = name.substr(0, space);
    const std::string text = Decoded(name.substr(space + 1));
    const bool names = tag == "keep" || tag == "absent" || tag == "leave" || tag == "folder" || tag == "temp";
    // A kept file is a file of the journal's own; anything else there is no
    // old content of the tree's (a link could lead anywhere).
    if ((names && !IsTreePath(text)) ||
        (tag == "keep" && !fs::is_regular_file(fs::symlink_status(it->path(), error)))) {
      *stranger = name;
      return false;
    }
    if (tag == "command") record->command = text;
    if (tag == "keep") record->files.emplace_back(text, Kind::kKeep);
    if (tag == "absent") record->files.emplace_back(text, Kind::kAbsent);
    if (tag == "leave") record->files.emplace_back(text, Kind::kLeave);
    if (tag == "folder") record->folders.push_back(text);
    if (tag == "temp") record->temps.insert(text);
  }
  return !error && !record->command.empty();
}

// The name under which the service finds a file: the exact one, or the one
// entry of its folder that differs only in letter case.
std::string AsFound(const std::string& typeFolder, const std::string& relative) {
  if (EntryAt(In(typeFolder, relative)) != Entry::kAbsent) return relative;
  const std::string folder = journal::FolderOf(relative);
  const std::string name = folder.empty() ? relative : relative.substr(folder.size() + 1);
  std::string found;
  int matches = 0;
  std::error_code error;
  for (fs::directory_iterator it(In(typeFolder, folder), error), end; !error && it != end;
       it.increment(error)) {
    const std::string other = it->path().filename().string();
    if (Folded(other) == Folded(name)) {
      found = other;
      ++matches;
    }
  }
  if (matches != 1) return relative;
  return folder.empty() ? found : folder + "/" + found;
}

// Removes the journal: renamed away first (from then on the journal is
// over), then its files.
bool RemoveJournal(const std::string& typeFolder, std::string* error) {
  std::error_code failure;
  fs::remove_all(OldPath(typeFolder), failure);
  fs::rename(JournalPath(typeFolder), OldPath(typeFolder), failure);
  if (failure) {
    *error = JournalPath(typeFolder) + ": " + failure.message();
    return false;
  }
  journal::FlushFolder(typeFolder);
  fs::remove_all(OldPath(typeFolder), failure);
  return true;
}

// Puts every file of the record back. *putBack: the files that had changed.
bool PutRecordBack(const std::string& typeFolder, const Record& record, std::vector<std::string>* putBack,
                   std::string* error) {
  std::vector<std::string> failures;
  std::set<std::string> folders;
  for (const auto& [path, kind] : record.files) {
    const std::string target = In(typeFolder, path);
    folders.insert(journal::FolderOf(path));
    if (kind == Kind::kLeave) continue;
    std::string reason;
    if (kind == Kind::kAbsent) {
      if (EntryAt(target) != Entry::kOther) continue;
      std::error_code failure;
      fs::remove(target, failure);
      if (failure)
        failures.push_back(path + ": " + failure.message());
      else
        putBack->push_back(path);
      continue;
    }
    const std::string old = KeptPath(JournalPath(typeFolder), path);
    if (journal::SameFile(target, old) || journal::SameBytes(target, old)) continue;
    if (EntryAt(target) == Entry::kFolder) {
      failures.push_back(path + ": a folder stands where the file belongs");
    } else if (!journal::PutInPlace(old, target, &reason)) {
      failures.push_back(reason);
    } else {
      putBack->push_back(path);
    }
  }
  // What the command left half made: temporary files, then its new folders.
  for (const std::string& folder : folders) {
    for (const std::string& name : journal::TemporaryFilesIn(In(typeFolder, folder))) {
      const std::string relative = InFolder(folder, name);
      if (record.temps.count(relative)) continue;
      std::error_code failure;
      fs::remove(In(typeFolder, relative), failure);
      if (failure) failures.push_back(relative + ": " + failure.message());
    }
  }
  for (const std::string& folder : record.folders) {
    std::error_code failure;
    if (EntryAt(In(typeFolder, folder)) == Entry::kFolder && !fs::remove(In(typeFolder, folder), failure))
      failures.push_back(folder + ": " + failure.message());
  }
  for (const std::string& folder : folders) journal::FlushFolder(In(typeFolder, folder));
  journal::FlushFolder(typeFolder);
  std::sort(putBack->begin(), putBack->end());
  if (!failures.empty()) {
    *error = fmt::format("{} could not be put back as it was", fmt::join(failures, "; "));
    return false;
  }
  return RemoveJournal(typeFolder, error);
}

// "0003/TOOL0003.DAT, mmi.typ", the first few of many.
std::string Listed(const std::vector<std::string>& files) {
  constexpr std::size_t kShown = 8;
  const std::vector<std::string> shown(
      files.begin(), files.begin() + static_cast<std::ptrdiff_t>(std::min(files.size(), kShown)));
  std::string text = fmt::format("{}", fmt::join(shown, ", "));
  if (files.size() > kShown) text += fmt::format(" and {} more", files.size() - kShown);
  return text;
}

// A journal being made or being removed began or ended no change.
void RemoveLeftovers(const std::string& typeFolder) {
  std::error_code ignored;
  for (const std::string& path : {NewPath(typeFolder), OldPath(typeFolder)}) {
    if (EntryAt(path) != Entry::kAbsent) fs::remove_all(path, ignored);
  }
}

// Rolls back under the exclusive lock; said gets what the command says of it.
bool RollBack(const std::string& typeFolder, std::vector<std::string>* said, std::string* error) {
  RemoveLeftovers(typeFolder);
  if (EntryAt(JournalPath(typeFolder)) == Entry::kAbsent) return true;
  Record record;
  std::string stranger;
  if (!ReadRecordIn(JournalPath(typeFolder), &record, &stranger)) {
    *error =
        JournalPath(typeFolder) + (stranger.empty() ? ": an interrupted command's journal cannot be read"
                                                    : ": not a journal this tool wrote ('" + stranger +
                                                          "' names nothing a command changes); nothing was "
                                                          "put back: remove it when no command is running");
    return false;
  }
  std::vector<std::string> putBack;
  if (!PutRecordBack(typeFolder, record, &putBack, error)) {
    *error = fmt::format("the tree holds an interrupted '{}' that could not be undone: {}", record.command,
                         *error);
    return false;
  }
  said->push_back(
      fmt::format("typedata: an interrupted '{}' was undone: {}", record.command,
                  putBack.empty() ? "it had changed nothing yet" : "put back as it was: " + Listed(putBack)));
  return true;
}

// Whether there is a journal, or one being made or removed.
bool AnyJournal(const std::string& typeFolder) {
  return EntryAt(JournalPath(typeFolder)) != Entry::kAbsent ||
         EntryAt(NewPath(typeFolder)) != Entry::kAbsent || EntryAt(OldPath(typeFolder)) != Entry::kAbsent;
}

}  // namespace

std::string JournalPath(const std::string& typeFolder) { return typeFolder + "/.typedata-journal"; }

Journal::Journal(std::string typeFolder, std::string command)
    : typeFolder_(std::move(typeFolder)), command_(std::move(command)) {}

Journal::~Journal() {
  if (!open_) return;
  std::vector<std::string> putBack;
  std::string ignored;
  PutBack(&putBack, &ignored);
}

bool Journal::Begin(const std::vector<std::string>& files, std::string* error) {
  if (EntryAt(JournalPath(typeFolder_)) != Entry::kAbsent) {
    *error =
        JournalPath(typeFolder_) + ": an interrupted command's journal is still there; nothing was changed";
    return false;
  }
  RemoveLeftovers(typeFolder_);
  const std::string folder = NewPath(typeFolder_);
  std::error_code failure;
  const auto fail = [&](const std::string& why) {
    *error = why + "; nothing was changed";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return false;
  };
  if (!fs::create_directory(folder, failure) || failure)
    return fail(folder + ": " + (failure ? failure.message() : "cannot be made"));
  std::string reason;
  if (!Mark(folder, "command", command_, &reason)) return fail(reason);
  std::set<std::string> parents;
  std::set<std::string> newFolders;
  files_.clear();
  paths_.clear();
  kept_.clear();
  for (const std::string& file : files) {
    if (file.empty() || file.find_first_of("\r\n") != std::string::npos || Encoded(file).size() > 200)
      return fail("the journal cannot name '" + file + "'");
    if (std::find(files_.begin(), files_.end(), file) != files_.end()) continue;
    const std::string path = AsFound(typeFolder_, file);
    const Entry entry = EntryAt(In(typeFolder_, path));
    const bool ok = entry == Entry::kOther
                        ? journal::KeepAs(In(typeFolder_, path), KeptPath(folder, path), &reason)
                    : entry == Entry::kFolder ? Mark(folder, "leave", path, &reason)
                                              : Mark(folder, "absent", path, &reason);
    if (!ok) return fail(reason);
    const std::string parent = journal::FolderOf(path);
    if (!parent.empty() && EntryAt(In(typeFolder_, parent)) == Entry::kAbsent &&
        newFolders.insert(parent).second && !Mark(folder, "folder", parent, &reason))
      return fail(reason);
    parents.insert(parent);
    files_.push_back(file);
    paths_.push_back(path);
    kept_.push_back(entry == Entry::kOther ? 1 : entry == Entry::kFolder ? -2 : -1);
  }
  for (const std::string& parent : parents) {
    for (const std::string& name : journal::TemporaryFilesIn(In(typeFolder_, parent))) {
      if (!Mark(folder, "temp", InFolder(parent, name), &reason)) return fail(reason);
    }
  }
  // Whole, then in place at once, and flushed with the folder that holds it.
  if (!journal::FlushFolder(folder)) return fail(folder + ": cannot be flushed");
  fs::rename(folder, JournalPath(typeFolder_), failure);
  if (failure) return fail(JournalPath(typeFolder_) + ": " + failure.message());
  if (!journal::FlushFolder(typeFolder_)) {
    RemoveJournal(typeFolder_, &reason);
    return fail(typeFolder_ + ": cannot be flushed");
  }
  open_ = true;
  return true;
}

bool Journal::Changed(const std::string& file) const {
  const auto at = std::find(files_.begin(), files_.end(), file);
  if (at == files_.end()) return false;
  const std::size_t i = static_cast<std::size_t>(at - files_.begin());
  const std::string path = In(typeFolder_, paths_[i]);
  if (kept_[i] == -2) return EntryAt(path) != Entry::kFolder;
  if (kept_[i] == -1) return EntryAt(path) != Entry::kAbsent;
  const std::string old = KeptPath(JournalPath(typeFolder_), paths_[i]);
  return !journal::SameFile(path, old) && !journal::SameBytes(path, old);
}

std::vector<std::string> Journal::ChangedFiles() const {
  std::vector<std::string> changed;
  for (const std::string& file : files_) {
    if (Changed(file)) changed.push_back(file);
  }
  return changed;
}

bool Journal::Finish(std::string* error) {
  if (!open_) return true;
  open_ = false;
  return RemoveJournal(typeFolder_, error);
}

bool Journal::PutBack(std::vector<std::string>* putBack, std::string* error) {
  if (!open_) return true;
  Record record;
  std::string stranger;
  if (!ReadRecordIn(JournalPath(typeFolder_), &record, &stranger)) {
    *error = JournalPath(typeFolder_) + ": the journal cannot be read";
    return false;
  }
  if (!PutRecordBack(typeFolder_, record, putBack, error)) return false;
  open_ = false;
  return true;
}

bool RollBackInterrupted(const std::string& root, const std::string& typeFolder,
                         std::unique_ptr<TreeLock>* lock, std::vector<std::string>* said,
                         std::string* error) {
  if (!AnyJournal(typeFolder)) return true;  // the usual case: three looks
  if (*lock && (*lock)->exclusive()) return RollBack(typeFolder, said, error);
  // A reader cannot put back under a shared lock: it takes the lock alone
  // for the roll-back, as a changing command would, then shares it again.
  lock->reset();
  std::string busy;
  if (std::unique_ptr<TreeLock> alone = TreeLock::Exclusive(root, &busy)) {
    std::string failure;
    if (!RollBack(typeFolder, said, &failure)) said->push_back("typedata: warning: " + failure);
  } else if (Record record; ReadRecordIn(JournalPath(typeFolder), &record, &busy)) {
    said->push_back(fmt::format(
        "typedata: warning: the tree holds an interrupted '{}'; the next command that changes the tree puts "
        "it back ({})",
        record.command, busy));
  }
  *lock = TreeLock::Shared(root, error);
  return *lock != nullptr;
}

}  // namespace tool
