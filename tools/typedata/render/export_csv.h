// The export as CSV: "config,kind,item,value" and a line for every in-use
// item, each value exact (a text byte for byte, a number as the files
// write it) so that import reads back the same.
#ifndef TOOLS_TYPEDATA_RENDER_EXPORT_CSV_H
#define TOOLS_TYPEDATA_RENDER_EXPORT_CSV_H

#include <string>
#include <vector>

#include "core/values.h"
#include "render/output.h"

namespace tool {

// The lines, the header first, without line ends.
std::vector<std::string> ExportCsvLines(const TypeValues& values);

// Prints the lines as data; on a terminal made printable (a text's
// control bytes never reach one).
void PrintExportCsv(const TypeValues& values, Output& out);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_EXPORT_CSV_H
