// FileCopy: one type data file onto another type's file of the same or
// another config; each file's folder is the type folder named by the four
// digits in front of ".DAT".
#include <cstring>
#include <string>

#include "catalogue/catalogue_file.h"
#include "catalogue/replace_by_copy.h"
#include "model/records.h"
#include "typedata_catalogue.h"

namespace {

// The four folder digits of a type data file name: they begin eight
// characters before its end. False for a name that is too short, holds a
// folder part, would not fit a path, or has no digits there.
bool FolderDigits(const char* name, std::string* digits) {
  if (name == nullptr) return false;
  const std::size_t length = std::strlen(name);
  // "..\type\" + digits + "\" + name must fit a path buffer.
  const std::size_t around = sizeof td::catalogue::kTypeFolder - 1 + 4 + 1;
  if (length < 8 || length + around >= TD_PATH_SIZE) return false;
  if (std::strpbrk(name, "\\/:") != nullptr) return false;
  digits->assign(name + length - 8, 4);
  for (char c : *digits) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

namespace td::catalogue {

int CopyTypeDataFile(const char* source, const char* target, int makeFolder, platform::ReplaceGroup* group) {
  std::string sourceDigits;
  std::string targetDigits;
  if (!FolderDigits(source, &sourceDigits) || !FolderDigits(target, &targetDigits)) return -1;
  const std::string sourcePath = std::string(kTypeFolder) + sourceDigits + "\\" + source;
  auto in = platform::Fs().OpenRead(sourcePath);
  if (!in) return -1;  // no folder is made for a missing source
  const std::string folder = std::string(kTypeFolder) + targetDigits;
  // An existing folder is no failure; a folder that cannot be made shows
  // when the copy cannot be written.
  if (makeFolder != 0) platform::Fs().MakeDir(folder);
  const std::string targetPath = folder + "\\" + target;
  if (sourcePath == targetPath) return 0;
  if (group) return AddCopy(*group, std::move(in), targetPath) ? 0 : -1;
  return ReplaceByCopy(std::move(in), targetPath) ? 0 : -1;
}

}  // namespace td::catalogue

int FileCopy(const char* source, const char* target, int makeFolder) {
  return td::catalogue::CopyTypeDataFile(source, target, makeFolder, nullptr);
}
