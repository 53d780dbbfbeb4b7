// Type data files checked one after another: each file's bytes read once
// and scanned for what the service's reader passes over, the file read by
// the service's reader into a scratch type record (so only one type's
// values are held at a time), and the values it read judged.
#ifndef TOOLS_TYPEDATA_CHECK_FILE_H
#define TOOLS_TYPEDATA_CHECK_FILE_H

#include <string>
#include <vector>

#include "check/check.h"
#include "check/scan.h"
#include "core/open_file.h"
#include "typedata.h"

namespace tool {

class ScratchType {
 public:
  ScratchType();
  ~ScratchType();
  ScratchType(const ScratchType&) = delete;
  ScratchType& operator=(const ScratchType&) = delete;

  // Reads config position's file of typeNo, named datName (as
  // MakeDatFileName names it, TD_DAT_NAME_SIZE bytes), with DAT_fread into
  // fresh blocks. False when the reader refuses it.
  bool Read(int typeNo, int position, const char* datName);
  // The blocks the last Read left, by slot; null where the file had no
  // section of that kind.
  const BlockTable* blocks(int position) const;

 private:
  void Release(int position);
  std::vector<unsigned char> bytes_;
  TypeRecord* record_;
};

// What check asks of an item's description.
struct ItemDescription {
  CfgIdRecord* record = nullptr;  // null where the machine describes none
  bool inUse = false;
  bool real = false;  // converted as a real number
  double unit = 1.0;  // the controller's step
};

class DataFileChecker {
 public:
  // Adds the problems of config's file of typeNo (named datName, the file
  // at path, shown as file) to problems.
  void Check(int typeNo, const ConfigRecord& config, int position, int configIndex, const char* datName,
             const std::string& path, const std::string& file, std::vector<Problem>* problems);

 private:
  // The description of each item of a config by kind, taken once: the
  // same for every type.
  using Descriptions = std::vector<ItemDescription>;
  const Descriptions& DescriptionsOf(int configIndex, int k, unsigned count);

  ScratchType scratch_;
  LineScan scan_;
  std::vector<char> bytes_;
  std::vector<std::vector<Descriptions>> descriptions_;  // config index -> kind -> item
};

// Reads a whole type data file into bytes[0, *size), with room for one byte
// more, through the tool's file opener (a regular file, no bigger than a
// data file can be); bytes keeps its memory for the next file. False with
// the reason in *error when it cannot be read.
bool ReadFileInto(const std::string& path, std::vector<char>* bytes, std::size_t* size,
                  FileError* error = nullptr);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_FILE_H
