#include "datafile/type_data_paths.h"

#include <cstdio>
#include <cstring>

namespace td::datafile {
namespace {

std::string FourDigits(int typeNo) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", typeNo);
  return digits;
}

}  // namespace

std::string TypeRoot() { return "..\\type"; }

std::string TypeFolder(int typeNo) { return TypeRoot() + "\\" + FourDigits(typeNo); }

std::string TypeDataPath(int typeNo, const std::string& fileName) {
  return TypeFolder(typeNo) + "\\" + fileName;
}


std::string NewTypeDataFileName(const std::string& prefix, int typeNo) {
  return prefix + FourDigits(typeNo) + ".DAT";
}

std::size_t FieldLength(const char* field, std::size_t size) {
  const void* zero = std::memchr(field, '\0', size);
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
}

}  // namespace td::datafile
