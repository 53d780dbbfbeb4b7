// One type data file, walked line by line as the service's reader walks it
// (CutComment, leading, trailing, token: the exported line utilities), with
// what the reader does not keep: which item numbers the file holds, whether
// a value is written with decimals, and where a section ends with ';'.
#ifndef TOOLS_TYPEDATA_INFER_FILE_SCAN_H
#define TOOLS_TYPEDATA_INFER_FILE_SCAN_H

#include <string>
#include <vector>

namespace tool::infer {

struct ItemFact {
  int number = 0;
  int line = 0;
  bool terminal = false;  // followed by ';': the writer's mark of the block's last item
  bool numeric = false;   // the value reads as a number (numeric kinds only)
  bool pointed = false;   // written with a decimal point or an exponent
  double value = 0.0;
};

struct SectionFact {
  bool present = false;
  int line = 0;  // of its header
  std::vector<ItemFact> items;
};

struct LineProblem {
  int line = 0;
  std::string problem;
};

struct FileFacts {
  SectionFact sections[5];  // D, S, A, L, V
  std::vector<LineProblem> problems;
  bool readable = true;  // false: the service's reader fails on this file
};

// Scans bytes (the whole file; changed in place) into facts.
void ScanFile(std::string& bytes, FileFacts* facts);

// The number at text as the reader takes it: blanks, a sign, digits with an
// optional '.', an optional exponent ('e', 'E', 'd' or 'D'). False when no
// digit comes; *pointed tells whether a '.' or an exponent was written.
bool ReadNumber(const char* text, double* value, bool* pointed);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_INFER_FILE_SCAN_H
