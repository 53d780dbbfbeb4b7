// Which bytes separate the parts of a type name in the operator
// interface's language.
#ifndef TYPEDATA_NAMEPARTS_NAME_PART_SEPARATOR_H
#define TYPEDATA_NAMEPARTS_NAME_PART_SEPARATOR_H

namespace td::nameparts {

struct NamePartSeparator {
  // The full-width plus of the language's double-byte code page; both 0
  // where "+" alone separates.
  unsigned char first = 0;
  unsigned char second = 0;
  // Whether a byte begins a double-byte character; null for a single-byte
  // code page.
  bool (*isLeadByte)(unsigned char byte) = nullptr;
};

// Asks the shell library for the language of the system record's locale
// text, afresh on every call.
NamePartSeparator SeparatorOfLanguage();

}  // namespace td::nameparts

#endif  // TYPEDATA_NAMEPARTS_NAME_PART_SEPARATOR_H
