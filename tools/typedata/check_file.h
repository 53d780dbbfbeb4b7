// One type data file checked: read by the service's reader into a scratch
// type record (so only one type's values are held at a time), and scanned
// with the service's line utilities for what the reader passes over.
#ifndef TOOLS_TYPEDATA_CHECK_FILE_H
#define TOOLS_TYPEDATA_CHECK_FILE_H

#include <string>
#include <vector>

#include "check.h"
#include "typedata.h"

namespace tool {

class ScratchType {
 public:
  ScratchType();
  ~ScratchType();
  ScratchType(const ScratchType&) = delete;
  ScratchType& operator=(const ScratchType&) = delete;

  // Reads config position's file of typeNo with DAT_fread into fresh
  // blocks. False when the reader refuses it.
  bool Read(int typeNo, int position);
  // The blocks the last Read left, by slot; null where the file had no
  // section of that kind.
  const BlockTable* blocks(int position) const;

 private:
  void Release(int position);
  std::vector<unsigned char> bytes_;
  TypeRecord* record_;
};

// Adds the problems of config's file of typeNo (the file at path, shown as
// file) to problems.
void CheckDataFile(ScratchType& scratch, int typeNo, const ConfigRecord& config, int position,
                   int configIndex, const std::string& path, const std::string& file,
                   std::vector<Problem>* problems);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_FILE_H
