// A type's values as the service holds them after loading its files.
#ifndef TOOLS_TYPEDATA_CORE_VALUES_H
#define TOOLS_TYPEDATA_CORE_VALUES_H

#include <string>
#include <vector>

#include "typedata.h"

namespace tool {

struct ItemValue {
  int number = 0;          // item number (index + 1)
  bool described = false;  // the structure library knows the item
  char dataType = 0;
  double value = 0.0;  // numeric kinds
  std::string text;    // V
  double defaultValue = 0.0;
};

struct KindValues {
  char kind = 0;
  bool present = false;  // the config has a block of this kind
  std::vector<ItemValue> items;
};

struct ConfigValues {
  int configNo = 0;
  int configIndex = 0;
  std::string prefix;
  int partNo = 0;
  KindValues kinds[5];  // D, S, A, L, V
};

struct TypeValues {
  int typeNo = 0;
  std::string name;
  std::vector<ConfigValues> configs;  // by config number
};

// Loads a type's files into value memory (and comm memory) through the
// service, then reads the blocks. False with a message when a file fails.
bool LoadType(int typeNo, TypeValues* values, std::string* error);
// As LoadType, but a config whose file cannot be read is left out of values
// and its number put in broken, so that the others can still be shown. Not
// for a save: the controller's memory is left as it was.
bool LoadTypePartially(int typeNo, TypeValues* values, std::vector<int>* broken, std::string* error);

// A value as the type data file shows it: "%f" for real items, "%ld" of the
// value truncated toward zero for the others, the text for V.
std::string ShownValue(const ItemValue& item, char kind);
std::string ShownDefault(const ItemValue& item, char kind);
std::string DataTypeName(char dataType);

// Whether an item holds a real number ('P', 'F') and whether it is in use.
bool IsRealItem(char dataType);
bool IsInUse(char dataType);

// A number in the one form that type data files write: an optional '-',
// digits, and optionally a '.' and more digits ("16", "-12.500000"). No
// sign '+', exponent, hexadecimal, blanks, "inf" or "nan".
bool ParseFileNumber(const std::string& text, double* value);
// The shortest text in that form that reads back to exactly value.
std::string PlainNumber(double value);

// Kind index (0 to 4) of a kind letter, -1 for none.
int KindIndex(char kind);
extern const char kKindLetters[5];

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_VALUES_H
