// The reader's short way for the lines that the writer writes for number
// items, one item a line.
#ifndef TYPEDATA_DATAFILE_WRITTEN_LINES_H
#define TYPEDATA_DATAFILE_WRITTEN_LINES_H

#include "records.h"

namespace td::datafile {

// Reads the lines from at on that hold one number item exactly as the
// writer writes it: one to six digits, ':', the value (ScanWrittenNumber),
// ',' or ';', and the line end, CR LF or LF. Each is read in one pass,
// storing what the general steps would store (such a line holds no
// comment, no white space and no zero byte). Gives the first line that is
// not of this form, or end; *beyond is set when an item number lies beyond
// the block's spare place (that line is not read). [at, end) holds whole
// lines, and the 32 bytes after end may be read.
char* ReadWrittenNumberLines(char* at, const char* end, ValueBlock* block, bool* beyond);

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_WRITTEN_LINES_H
