// Update_FileRec: every record line of the type is replaced whole, a
// comment behind it included; all other lines are copied unchanged.
#include "catalogue/catalogue_file.h"
#include "typedata_catalogue.h"

using td::platform::LineReader;
using td::platform::TextWriter;

int Update_FileRec(const char* fileName, const char* record, int typeNo) {
  std::string lines;
  if (!td::catalogue::RecordLines(record, &lines)) return -1;
  const auto replace = [&](LineReader& in, TextWriter& out) {
    for (std::string line; in.Next(&line);) {
      if (SearchRec(line.c_str(), typeNo) == 1) {
        out.Write(lines);
      } else {
        out.WriteLine(line);
      }
    }
    return true;
  };
  return td::catalogue::RewriteCatalogue(fileName, replace);
}
