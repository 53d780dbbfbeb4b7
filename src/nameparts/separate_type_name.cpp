// SeparateTypeName: a type name split into its one to three parts.
#include <cstring>

#include "model/records.h"
#include "nameparts/name_part_separator.h"
#include "typedata_nameparts.h"

int SeparateTypeName(const char* name, int position, char* part) {
  if (name == nullptr) return -1;
  // Type names live in 24-byte fields; a longer one is no type name.
  const std::size_t length = ::strnlen(name, TD_TYPE_NAME_SIZE);
  if (length > TD_TYPE_NAME_MAX) return -1;
  char copy[TD_TYPE_NAME_SIZE];
  std::memcpy(copy, name, length + 1);
  const td::nameparts::NamePartSeparator separator = td::nameparts::SeparatorOfLanguage();
  if (length == 0) return 0;

  const char* starts[TD_NAME_PART_MAX] = {copy};
  int separators = 0;
  bool afterSeparator = false;
  for (std::size_t i = 0; i < length;) {
    const auto byte = static_cast<unsigned char>(copy[i]);
    std::size_t width = 1;
    bool isSeparator = false;
    if (separator.isLeadByte != nullptr && separator.isLeadByte(byte) && i + 1 < length) {
      width = 2;
      isSeparator = byte == separator.first && static_cast<unsigned char>(copy[i + 1]) == separator.second;
    } else {
      isSeparator = byte == '+';
    }
    if (isSeparator) {
      if (i == 0 || afterSeparator) return -1;  // an empty part
      copy[i] = '\0';
      if (++separators < TD_NAME_PART_MAX) starts[separators] = copy + i + width;
    }
    afterSeparator = isSeparator;
    i += width;
  }
  if (afterSeparator) return -1;  // an empty last part
  const int parts = separators + 1;
  if (parts > TD_NAME_PART_MAX) return -1;

  const int wanted = position & 0xFFFF;
  if (wanted == 0 || wanted > parts) return 0;
  if (part != nullptr) std::memcpy(part, starts[wanted - 1], std::strlen(starts[wanted - 1]) + 1);
  return parts;
}
