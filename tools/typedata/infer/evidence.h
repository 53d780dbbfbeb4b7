// What the files of one config say together: gathered file by file, so
// that each file is read once and kept no longer than its scan.
#ifndef TOOLS_TYPEDATA_INFER_EVIDENCE_H
#define TOOLS_TYPEDATA_INFER_EVIDENCE_H

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "infer/file_scan.h"

namespace tool::infer {

struct Place {
  std::string file;  // relative to the root
  int line = 0;
};

struct ItemStats {
  int files = 0;         // files that hold the item
  int pointed = 0;       // of them, files that write it with decimals
  Place whole, decimal;  // a file of each way of writing it
  int decimals = 0;      // the most decimals a value needs
  double largest = 0.0;  // the largest magnitude
  Place largestAt;
  bool fromType0 = false;
  double type0 = 0.0;
  std::unordered_map<double, int> counts;  // value -> files, for the most common value
};

// The files that hold the same item numbers and end a section at the same
// item: nearly always one shape per kind, so few of these.
struct Shape {
  int files = 0;
  std::vector<int> numbers;  // held, ascending
  int terminal = 0;          // the item that ';' follows, 0 none
  std::vector<Place> examples;
};

struct KindStats {
  int files = 0;                 // files with the section
  std::vector<ItemStats> items;  // by item number - 1
  std::map<std::string, Shape> shapes;
};

struct FileRecord {
  int typeNo = 0;
  std::uint64_t hash = 0;     // of the file's bytes: byte-identical files, same hash
  std::uint8_t sections = 0;  // bit k: the section of kind k is present
  std::string file;
};

struct ConfigStats {
  std::string prefix;                    // as most files spell it
  std::map<std::string, int> spellings;  // letter cases -> files
  KindStats kinds[5];
  std::vector<FileRecord> records;
};

// Folds one file's facts into its config's evidence. Counting the values of
// an item for the most common one stops taking new values after a few
// hundred distinct ones, which keeps the memory bounded however many types
// there are.
void AddFile(const FileFacts& facts, const FileRecord& record, ConfigStats* stats);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_INFER_EVIDENCE_H
