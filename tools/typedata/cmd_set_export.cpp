// typedata set, typedata export, typedata import.
#include <fmt/core.h>
#include <fmt/format.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.h"
#include "core/open_file.h"
#include "display_width.h"
#include "documents.h"
#include "edit.h"
#include "import.h"
#include "push_check.h"
#include "save_failure.h"
#include "system_error.h"
#include "tree.h"
#include "typedata.h"
#include "value_review.h"

namespace tool {
namespace {

// Saves the type under a journal and collects the files written: the
// type's own and the shared ones that went to other types. A save that
// fails, or whose push misses a type sharing a changed config, is put back
// whole; *failed says what became of the files. A failed save is an
// input/output error: its message names the file and the system's reason.
int SaveAndCollect(Session& session, int number, const char* command, SavedFiles* saved, FailedSave* failed,
                   Output& out) {
  Journal journal(session.TypeFolder(), command);
  std::string error;
  if (!journal.Begin(FilesASaveWrites(session, number), &error)) {
    out.Error(error);
    failed->error = error;
    return kUsageError;
  }
  std::vector<std::string> written;
  const bool ok = SaveType(session, number, journal, &written, &error);
  std::vector<std::string> errors;
  if (!ok) errors.push_back(error);
  // A type that shares a changed config must hold it now, or be named.
  for (const MissedPush& push : MissedPushes(session, number, written)) {
    errors.push_back(fmt::format("type {:04d} '{}' shares a changed config but did not receive it: {}: {}",
                                 push.type, push.name, push.file, push.reason));
  }
  if (errors.empty() && !journal.Finish(&error))
    errors.push_back("the save's journal could not be removed, so the next command puts the files back: " +
                     error);
  const auto collect = [&](const std::vector<std::string>& files) {
    const std::string own = fmt::format("{:04d}/", number);
    for (const std::string& file : files) {
      if (file.rfind(own, 0) == 0) {
        saved->own.push_back(file);
      } else {
        const int to = std::atoi(file.substr(0, 4).c_str());
        saved->shared.push_back({to, session.TypeName(to), file});
      }
    }
  };
  if (errors.empty()) {
    collect(written);
    return kDone;
  }
  for (const std::string& message : errors) out.Error(message);
  failed->error = fmt::format("{}", fmt::join(errors, "; "));
  std::string why;
  if (!journal.PutBack(&failed->putBack, &why)) {
    out.Error(why);
    failed->kept = journal.ChangedFiles();
    collect(failed->kept);
  }
  out.Error(WhatWasSaved(*failed));
  return ok ? kRefused : kUsageError;
}

// Reviews the changes (the files' number forms, rounding) and applies them
// to the loaded type; says so when a value is rounded. applied gets every
// change, or with onlyChanged those that change a value. Gives the status
// to stop with, kDone to go on; where prefixes the messages.
int ReviewAndApply(const GlobalOptions& options, const TypeValues& loaded, std::vector<Change>& changes,
                   const std::string& where, bool onlyChanged, std::vector<ReviewedChange>* applied,
                   Output& out) {
  std::string error;
  for (Change& change : changes) {
    ReviewedChange reviewed;
    bool changed = false;
    if (!ReviewChange(loaded, options.strict, &change, &reviewed, &error) ||
        !ApplyChange(loaded, change, &changed, &error)) {
      out.Error(where + error + "; nothing was saved");
      return kRefused;
    }
    if (reviewed.rounded) out.Note(RoundingNote(reviewed));
    if (changed || !onlyChanged) applied->push_back(reviewed);
  }
  return kDone;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Exact(double value) {
  return PlainNumber(value);  // shortest text in the files' form that reads back to the same double
}

}  // namespace

int RunSet(const GlobalOptions& options, int number, const std::string& prefix,
           const std::vector<std::string>& assignments, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  std::vector<Change> changes;
  std::string error;
  for (const std::string& text : assignments) {
    Change change;
    if (!ParseAssignment(prefix, text, &change, &error)) {
      out.Error(error);
      return kUsageError;
    }
    changes.push_back(change);
  }
  std::vector<std::string> places;
  for (const std::string& text : assignments) places.push_back("'" + text + "'");
  if (const std::string repeated = RepeatedItem(changes, places); !repeated.empty()) {
    out.Error(repeated + "; nothing was saved");
    return kUsageError;
  }
  TypeValues loaded;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  SetModel model{number, loaded.name, {}, {}};
  if (const int status = ReviewAndApply(options, loaded, changes, "", false, &model.changes, out);
      status != kDone)
    return status;
  FailedSave failed;
  if (const int status = SaveAndCollect(session, number, "set", &model.saved, &failed, out);
      status != kDone) {
    if (options.json) out.Document(FailedSaveDocument(ToDocument(model), failed));
    return status;
  }
  Present(options, model, out);
  return kDone;
}

int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  if (format != "json" && format != "csv") {
    out.Error("--format is json or csv");
    return kUsageError;
  }
  if (options.json && format == "csv") {
    out.Error("--json gives the JSON document; leave it out for --format csv");
    return kUsageError;
  }
  TypeValues loaded;
  std::string error;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  if (format == "csv") {
    out.Line("config,kind,item,value");
    for (const ConfigValues& config : loaded.configs) {
      for (const KindValues& kind : config.kinds) {
        for (const ItemValue& item : kind.items) {
          if (!item.described || !(item.dataType != 0 && item.dataType != ' ')) continue;
          const std::string line = fmt::format("{},{},{},{}", CsvField(config.prefix), kind.kind, item.number,
                                               kind.kind == 'V' ? CsvField(item.text) : Exact(item.value));
          // Exact into a file; a text's control bytes never reach a terminal.
          out.Line(out.dataOnTerminal() ? Printable(line) : line);
        }
      }
    }
    return kDone;
  }
  if (const std::string refusal = ExportRefusal(loaded); !refusal.empty()) {
    out.Error(fmt::format("type {}: {}", number, refusal));
    return kRefused;
  }
  out.Document(ExportDocument(loaded));
  return kDone;
}

int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out) {
  std::string text;
  if (FileError failure; !ReadWholeFile(file, kImportFile, &text, &failure)) {
    out.Error(file + ": cannot be read: " + failure.reason);
    return kUsageError;
  }
  std::vector<Change> changes;
  std::string refusal;
  if (!ReadImport(text, file, &changes, &refusal)) {
    out.Error(refusal + "; nothing was changed");
    return kUsageError;
  }

  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  TypeValues loaded;
  std::string error;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  ImportModel model{number, loaded.name, file, static_cast<int>(changes.size()), {}, {}};
  if (const int status = ReviewAndApply(options, loaded, changes, file + ": ", true, &model.changed, out);
      status != kDone)
    return status;
  if (!model.changed.empty()) {
    FailedSave failed;
    if (const int status = SaveAndCollect(session, number, "import", &model.saved, &failed, out);
        status != kDone) {
      if (options.json) out.Document(FailedSaveDocument(ToDocument(model), failed));
      return status;
    }
  }
  Present(options, model, out);
  return kDone;
}

}  // namespace tool
