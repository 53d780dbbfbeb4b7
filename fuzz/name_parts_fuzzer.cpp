// SeparateTypeName and the searches by name part (FirstSearchTypeNamePart,
// NextSearchTypeNamePart, CheckAlreadyExistTypeNamePart) on arbitrary names,
// under every language setting, against a reference that splits a name
// character by character:
//
//   byte 0      the language (ENU, JPN, KOR, CHS, CHT, ZHH) and namePartCount
//   byte 1      the part position
//   then        the name (or part text) up to '\n', and one type name a line
//               for the catalogue's list, in list order
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

struct Language {
  const char* localeText;
  unsigned char first, second;  // the full-width plus; 0 0 for none
  int codePage;
};
constexpr Language kLanguages[] = {
    {"ENU", 0, 0, 1252},      {"JPN", 0x81, 0x7B, 932}, {"KOR", 0xA3, 0xAB, 949},
    {"CHS", 0xA3, 0xAB, 936}, {"CHT", 0xA1, 0xCF, 950}, {"ZHH", 0xA1, 0xCF, 950},
};
constexpr int kPositions[] = {0, 1, 2, 3, 4, 0x10002, -1, 0x7FFF};

bool IsLeadByte(const Language& language, unsigned char byte) {
  switch (language.codePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

// A name split as the operator reads it: character by character, a
// separator being a character of its own ("+" or the full-width plus).
struct Split {
  int result = 0;  // -1 malformed, 0 empty, else the number of parts
  std::vector<std::string> parts;
};

Split Reference(const std::string& name, const Language& language) {
  Split split;
  if (name.size() > TD_TYPE_NAME_MAX) {
    split.result = -1;
    return split;
  }
  if (name.empty()) return split;
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t width =
        IsLeadByte(language, static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
    characters.push_back(name.substr(i, width));
    i += width;
  }
  const std::string wide =
      language.first ? std::string{static_cast<char>(language.first), static_cast<char>(language.second)}
                     : std::string();
  std::string part;
  for (const std::string& character : characters) {
    if (character == "+" || (!wide.empty() && character == wide)) {
      split.parts.push_back(part);
      part.clear();
    } else {
      part += character;
    }
  }
  split.parts.push_back(part);
  for (const std::string& each : split.parts) {
    if (each.empty()) split.result = -1;
  }
  if (split.parts.size() > TD_NAME_PART_MAX) split.result = -1;
  if (split.result == 0) split.result = static_cast<int>(split.parts.size());
  return split;
}

// What SeparateTypeName gives for a position, by the reference.
int Expected(const Split& split, int position, std::string* part) {
  if (split.result <= 0) return split.result;
  const int wanted = position & 0xFFFF;
  if (wanted == 0 || wanted > split.result) return 0;
  *part = split.parts[static_cast<std::size_t>(wanted - 1)];
  return split.result;
}

void CheckSplit(const std::string& name, const Language& language) {
  const Split split = Reference(name, language);
  // Both buffers exactly as large as the contract says, so that an access
  // beyond them is caught.
  std::vector<char> given(name.c_str(), name.c_str() + name.size() + 1);
  for (int position : kPositions) {
    std::vector<char> part(TD_TYPE_NAME_SIZE, '\x5A');
    std::string wanted;
    const int result = SeparateTypeName(given.data(), position, part.data());
    Require(result == Expected(split, position, &wanted), "SeparateTypeName's result");
    if (result > 0) {
      Require(std::string(part.data()) == wanted, "the part copied");
    } else {
      Require(std::vector<char>(TD_TYPE_NAME_SIZE, '\x5A') == part, "no part copied");
    }
    Require(std::string(given.data()) == name, "the name is left as it was");
    Require(SeparateTypeName(given.data(), position, nullptr) == result, "the count without a buffer");
  }
}

// The searches walk the list with one cursor, which rests on the record
// where a search stopped (a match or a malformed name).
void CheckSearches(const std::vector<const TypeRecord*>& list, const std::string& text, int position,
                   const Language& language, unsigned namePartCount) {
  std::vector<char> given(text.c_str(), text.c_str() + text.size() + 1);
  // From index `from` on: the index where the search stops, list.size()
  // when it runs off the end; *result the number or -1.
  const auto scan = [&](std::size_t from, int at, int* result) {
    for (std::size_t i = from; i < list.size(); ++i) {
      std::string part;
      const std::string name(list[i]->name, ::strnlen(list[i]->name, TD_TYPE_NAME_SIZE));
      const int parts = Expected(Reference(name, language), at, &part);
      if (parts < 0) {
        *result = -1;
        return i;
      }
      if (parts > 0 && part == text) {
        *result = list[i]->typeNo;
        return i;
      }
    }
    *result = -1;
    return list.size();
  };
  int expected = 0;
  std::size_t cursor = scan(0, position, &expected);
  Require(FirstSearchTypeNamePart(given.data(), position) == expected, "FirstSearchTypeNamePart");
  for (std::size_t step = 0; step <= list.size(); ++step) {
    expected = -1;
    if (cursor < list.size()) cursor = scan(cursor + 1, position, &expected);
    Require(NextSearchTypeNamePart(given.data(), position) == expected, "NextSearchTypeNamePart");
  }

  int check = 0;
  for (unsigned k = 1; k <= namePartCount && k <= TD_NAME_PART_MAX; ++k) {
    int found = -1;
    scan(0, static_cast<int>(k), &found);
    if (found == -1) continue;
    if (k != (static_cast<unsigned>(position) & 0xFFFF)) {
      check = -1;
      break;
    }
    check = 1;
  }
  Require(CheckAlreadyExistTypeNamePart(given.data(), position) == check, "CheckAlreadyExistTypeNamePart");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const mmisim::Machine machine = mmisim::SampleMachine();
  mmisim::Start(machine);
  mmisim::SetRecording(false);
  const Language& language = kLanguages[data[0] % 6];
  const unsigned namePartCount = (data[0] / 6) % 5;
  const int position = kPositions[data[1] % 8];
  // The language is asked afresh on every split: changing the record is
  // enough.
  SystemRecord* system = GetMMISystemStruc();
  std::snprintf(system->localeText, sizeof system->localeText, "%s", language.localeText);
  system->namePartCount = static_cast<std::uint16_t>(namePartCount);

  const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= input.size();) {
    std::size_t lf = input.find('\n', start);
    if (lf == std::string::npos) lf = input.size();
    lines.push_back(input.substr(start, lf - start).c_str());
    start = lf + 1;
  }
  // The catalogue's list in the order given (AddType appends); names too
  // long for a record are left out.
  for (std::size_t i = 1; i < lines.size() && i <= 12; ++i)
    mmisim::AddType(static_cast<int>(i), lines[i].c_str());
  std::vector<const TypeRecord*> list;
  for (const TypeRecord* type = GetMMITypeInfo()->typeList; type; type = type->next) {
    list.push_back(type);
    CheckSplit(std::string(type->name, ::strnlen(type->name, TD_TYPE_NAME_SIZE)), language);
  }
  CheckSplit(lines[0], language);
  CheckSearches(list, lines[0], position, language, namePartCount);
  return 0;
}
