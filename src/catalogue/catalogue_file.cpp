#include "catalogue/catalogue_file.h"

#include <cstring>
#include <memory>

#include "model/records.h"
#include "platform/temp_file.h"
#include "typedata_datafile.h"

namespace td::catalogue {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (FoldCase(*a) != FoldCase(*b)) return false;
  }
  return *a == *b;
}

// "..\type\<fileName>" when the name stays inside the type folder, fits a
// path buffer and is not a temporary file's.
bool CataloguePath(const char* fileName, std::string* path) {
  if (fileName == nullptr || *fileName == '\0') return false;
  if (std::strpbrk(fileName, "\\/:") != nullptr) return false;
  if (SameIgnoringCase(fileName, kFormerCatalogueTemp) || platform::IsTemporaryName(fileName)) return false;
  *path = std::string(kTypeFolder) + fileName;
  return path->size() < TD_PATH_SIZE;
}

}  // namespace

int RewriteCatalogue(const char* fileName, const CatalogueEdit& edit) {
  std::string path;
  if (!CataloguePath(fileName, &path)) return -1;
  // The catalogue is opened first, so that a missing one leaves no
  // temporary file behind.
  auto source = platform::Fs().OpenRead(path);
  if (!source) return -1;
  auto in = std::make_unique<platform::LineReader>(std::move(source));
  const bool replaced = platform::ReplaceFileAtomically(path, [&](platform::TextWriter& out) {
    const bool edited = edit(*in, out);
    const bool read = !in->error();
    // Closed before the rename: Windows will not replace an open file.
    in.reset();
    return edited && read;
  });
  return replaced ? 0 : -1;
}

bool RecordLines(const char* record, std::string* lines) {
  if (record == nullptr || *record == '\0') return false;
  lines->clear();
  // CR LF given by the caller must not become CR CR LF on disk.
  for (const char* c = record; *c != '\0'; ++c) {
    if (*c == '\r' && c[1] == '\n') continue;
    lines->push_back(*c);
  }
  // Without a line end the record would run into the line that follows it.
  if (lines->back() != '\n') lines->push_back('\n');
  return true;
}

bool IsHeadingComment(const std::string& line) {
  std::string copy = line;
  return *leading(copy.data()) == '/';
}

}  // namespace td::catalogue
