// Add_FileRec: a new record line goes in front of the first line that is not
// a heading comment line, so the added type comes first among the records
// as its TypeRecord comes first in the type list.
#include "catalogue/catalogue_file.h"
#include "typedata_catalogue.h"

using td::platform::LineReader;
using td::platform::TextWriter;

int Add_FileRec(const char* fileName, const char* record) {
  std::string lines;
  if (!td::catalogue::RecordLines(record, &lines)) return -1;
  const auto insert = [&](LineReader& in, TextWriter& out) {
    bool added = false;
    for (std::string line; in.Next(&line);) {
      if (!added && !td::catalogue::IsHeadingComment(line)) {
        out.Write(lines);
        added = true;
      }
      out.WriteLine(line);
    }
    // An empty catalogue, or one of heading comments only.
    if (!added) out.Write(lines);
    return true;
  };
  return td::catalogue::RewriteCatalogue(fileName, insert);
}
