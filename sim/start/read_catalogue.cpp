#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_system.h"
#include "start.h"
#include "typedata.h"

namespace mmisim {
namespace {

// The catalogue as the service finds it: one lookup for reader and writer,
// so that "mmi.typ" beside "MMI.TYP" is read by neither rather than by one
// while the service writes the other.
bool CataloguePath(std::string* path) { return td::platform::ResolvePath("..\\type\\mmi.typ", path); }

// One record: a number, a ',', then the name in quotation marks (the first
// record has none: "0, ").
bool ParseRecord(char* record, int* typeNo, char* name) {
  char* text = leading(record);
  if (*text == '[' || *text == '/' || *text == '\0') return false;
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (end == text || number < 0 || number > TD_TYPE_NO_MAX) return false;
  text = leading(end);
  if (*text != ',') return false;
  text = leading(text + 1);
  char quoted[1024] = "";
  if (*text == '"') {
    quote(text, quoted);
  } else if (*trim(text) != '\0') {
    return false;
  }
  if (std::strlen(quoted) > TD_TYPE_NAME_MAX) return false;
  *typeNo = static_cast<int>(number);
  std::memcpy(name, quoted, std::strlen(quoted) + 1);  // at most 23 characters, checked above
  return true;
}

// The next line that holds anything but a comment, trimmed, into buffer
// (cut to its size). False at the end of the file.
bool NextRecordLine(FILE* file, char* buffer, std::size_t size) {
  std::string line;
  for (;;) {
    line.clear();
    char piece[1024];
    bool got = false;
    while (std::fgets(piece, sizeof piece, file)) {
      got = true;
      line += piece;
      if (!line.empty() && line.back() == '\n') break;
    }
    if (!got) return false;
    CutComment(&line[0]);
    char* text = trim(&line[0]);
    if (*text == '\0') continue;
    std::snprintf(buffer, size, "%s", text);
    return true;
  }
}

// True when a quotation mark was opened and not closed.
bool OpenQuote(const char* text) {
  int marks = 0;
  for (; *text; ++text) marks += *text == '"';
  return marks % 2 == 1;
}

}  // namespace

bool ReadCatalogueFile(CatalogueReading* reading) {
  CatalogueReading local;
  CatalogueReading& result = reading ? *reading : local;
  result = CatalogueReading();
  std::string path;
  if (!CataloguePath(&path)) return false;
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  TypeRecord** end = nullptr;  // where the list ends: each type appended in turn
  for (int record = 1;; ++record) {
    char buffer[1024] = "";
    if (!NextRecordLine(file, buffer, sizeof buffer)) break;
    // A name in quotation marks may go on in the next lines after a ','.
    while (OpenQuote(buffer) && buffer[std::strlen(buffer) - 1] == ',' &&
           std::strlen(buffer) + 1 < sizeof buffer) {
      const std::size_t before = std::strlen(buffer);
      append(file, buffer, sizeof buffer);
      if (std::strlen(buffer) == before) break;
    }
    int typeNo = 0;
    char name[TD_TYPE_NAME_SIZE] = "";
    if (ParseRecord(buffer, &typeNo, name) && AddType(typeNo, name, &end)) {
      ++result.types;
    } else if (*buffer != '[' && *buffer != '/') {
      result.skippedRecords.push_back(record);
    }
  }
  std::fclose(file);
  return true;
}

void StartHost(const Machine& machine) {
  Start(machine);
  ReadCatalogueFile();
}

}  // namespace mmisim
