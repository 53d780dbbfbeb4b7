// The header lines of a type data file: every line before its first section
// header. The writer never makes them but keeps an old file's, whole and
// unchanged, when it rewrites the file.
#ifndef TYPEDATA_DATAFILE_HEADER_LINES_H
#define TYPEDATA_DATAFILE_HEADER_LINES_H

#include <memory>
#include <string_view>

#include "platform/text_file.h"

namespace td::datafile {

// True when line, after its leading white space, starts with "[D]", "[S]",
// "[A]", "[L]" or "[V]": the first section of the old file begins there.
bool StartsSection(std::string_view line);

// Copies the lines of file up to (not including) the first that starts a
// section to out, each whole and unchanged, and closes file; what follows
// them is not read. False on a read error.
bool CopyHeaderLines(std::unique_ptr<platform::ReadableFile> file, platform::TextWriter& out);

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_HEADER_LINES_H
