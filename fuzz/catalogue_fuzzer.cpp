// The catalogue operations on arbitrary catalogue files: Add_FileRec,
// Update_FileRec and UpdateTypeFile (adding and renaming), with SearchRec
// on every line. The catalogue lives in memory, so what the operations
// write can be checked against what they must write:
//
//   byte 0      the operation (low 2 bits); bit 7 keeps the type number
//               among the listed types 0 to 7; bit 6 sets bits above the
//               low 16, which must count for nothing
//   bytes 1-2   the type number, little-endian, all 16 bits
//   up to '\n'  the record (Add_FileRec, Update_FileRec) or the type name
//   the rest    the catalogue file "..\type\mmi.typ"
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "mmisim.h"
#include "typedata.h"

namespace {

using td::fuzz::Require;

constexpr char kCatalogue[] = "..\\type\\mmi.typ";

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The lines of a file as the service reads them: split at LF, one CR before
// it dropped, a last line without line end kept.
std::vector<std::string> LinesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t lf = bytes.find('\n', start);
    const bool ended = lf != std::string::npos;
    if (!ended) lf = bytes.size();
    std::size_t end = lf;
    if (ended && end > start && bytes[end - 1] == '\r') --end;
    lines.push_back(bytes.substr(start, end - start));
    start = lf + 1;
  }
  return lines;
}

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// A heading comment line: its first character that is not white space is
// '/' (the line read as a C string, as the service sees it).
bool IsHeading(const std::string& line) {
  const char* c = line.c_str();
  while (*c != '\0' && IsBlank(*c)) ++c;
  return *c == '/';
}

// Whether a line is the record of number: what is left of it after the
// comment is cut and the blanks skipped is not empty, does not begin with
// '[', and its leading decimal number (0 without digits) is the number.
bool IsRecordOf(const std::string& line, unsigned number) {
  std::string text = line.c_str();
  const std::size_t comment = text.find("//");
  if (comment != std::string::npos) text.resize(comment);
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size() || text[i] == '[') return false;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  unsigned long long value = 0;
  bool huge = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > 100000) huge = true;
  }
  if (huge) return false;
  return negative ? value == 0 && number == 0 : value == number;
}

std::vector<std::string> Added(const std::vector<std::string>& lines, const std::string& record) {
  std::vector<std::string> out;
  bool added = false;
  for (const std::string& line : lines) {
    if (!added && !IsHeading(line)) {
      out.push_back(record);
      added = true;
    }
    out.push_back(line);
  }
  if (!added) out.push_back(record);
  return out;
}

std::vector<std::string> Updated(const std::vector<std::string>& lines, const std::string& record,
                                 unsigned number) {
  std::vector<std::string> out;
  for (const std::string& line : lines) out.push_back(IsRecordOf(line, number) ? record : line);
  return out;
}

// A name that UpdateTypeFile takes: at most 23 characters, none of them a
// quotation mark or a line end, no "//".
bool Storable(const std::string& name) {
  return name.size() <= TD_TYPE_NAME_MAX && name.find_first_of("\"\r\n") == std::string::npos &&
         name.find("//") == std::string::npos;
}

struct ListEntry {
  unsigned typeNo;
  std::string name;
  bool operator==(const ListEntry& other) const { return typeNo == other.typeNo && name == other.name; }
};

std::vector<ListEntry> TypeList() {
  std::vector<ListEntry> list;
  for (const TypeRecord* type = GetMMITypeInfo()->typeList; type; type = type->next) {
    list.push_back({type->typeNo, std::string(type->name, ::strnlen(type->name, sizeof type->name))});
  }
  return list;
}

void StartHost() {
  static const mmisim::Machine machine = mmisim::SampleMachine();
  mmisim::Start(machine);
  mmisim::SetRecording(false);
  const char* const names[] = {"", "T40+STEEL+FAST", "T40+ALU", "A+B+C", "X", "T50", "Y+Z", "Q"};
  for (int typeNo = 7; typeNo >= 0; --typeNo) mmisim::AddType(typeNo, names[typeNo]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  StartHost();
  static td::fuzz::MemoryFileSystem files;
  files.Clear();
  const std::string input(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::size_t lf = input.find('\n');
  const std::string first = input.substr(0, lf);
  const std::string catalogue = lf == std::string::npos ? std::string() : input.substr(lf + 1);
  files.Put(kCatalogue, catalogue);

  const int operation = data[0] & 3;
  int typeNo = data[1] | (data[2] << 8);
  if (data[0] & 0x80) typeNo &= 7;
  if (data[0] & 0x40) typeNo |= 0x30000;
  const unsigned number = static_cast<unsigned>(typeNo) & 0xFFFF;

  td::platform::FileSystem* before = td::platform::SetFileSystem(&files);
  const std::vector<std::string> lines = LinesOf(catalogue);
  for (const std::string& line : lines) {
    Require(SearchRec(line.c_str(), typeNo) == (IsRecordOf(line, number) ? 1 : 0), "SearchRec");
  }
  const std::vector<ListEntry> listBefore = TypeList();
  const std::string record = first.c_str();  // the record as a C string
  std::vector<std::string> expected;
  bool takes = false;
  int result = 0;
  switch (operation) {
    case 0:  // a record line added
      result = Add_FileRec("MMI.TYP", record.c_str());
      takes = !record.empty();
      if (takes) expected = Added(lines, record);
      break;
    case 1:  // the records of a type replaced
      result = Update_FileRec("MMI.TYP", record.c_str(), typeNo);
      takes = !record.empty();
      if (takes) expected = Updated(lines, record, number);
      break;
    default: {  // a type added (2) or renamed (3)
      const bool adding = operation == 2;
      char line[64];
      std::snprintf(line, sizeof line, "%u,\"%s\"", number, record.substr(0, 32).c_str());
      bool listed = false;
      for (const ListEntry& entry : listBefore) listed = listed || entry.typeNo == number;
      result = UpdateTypeFile(record.c_str(), typeNo, adding ? 1 : 0);
      takes = Storable(record) && number <= TD_TYPE_NO_MAX && (adding || listed);
      if (takes) expected = adding ? Added(lines, line) : Updated(lines, line, number);
      std::vector<ListEntry> list = listBefore;
      if (takes && adding) list.insert(list.begin(), ListEntry{number, record});
      if (takes && !adding) {
        for (ListEntry& entry : list) {
          if (entry.typeNo == number) {
            entry.name = record;
            break;  // the first record of the number takes the name
          }
        }
      }
      Require(TypeList() == list, "the type list");
      break;
    }
  }
  td::platform::SetFileSystem(before);

  std::string after;
  Require(files.Get(kCatalogue, &after), "the catalogue is still there");
  Require(files.FileCount() == 1, "no temporary file is left");
  Require(result == (takes ? 0 : -1), "the result");
  Require(after == (takes ? FileOf(expected) : catalogue), "the catalogue's lines");
  return 0;
}
