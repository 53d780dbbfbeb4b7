// Splitting type names into parts in the Western and the East-Asian
// settings, searching types by part, and the walk of shared configs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "nameparts/cursors.h"
#include "support/sim_host.h"
#include "typedata.h"

namespace {

using td::testing::MachineFrom;

constexpr char kUntouched[] = "<untouched>";

struct Split {
  int result;
  std::string part;
  bool operator==(const Split& other) const { return result == other.result && part == other.part; }
};

std::ostream& operator<<(std::ostream& out, const Split& split) {
  out << split.result << " '";
  for (unsigned char c : split.part) {
    if (c >= 0x20 && c < 0x7F) {
      out << c;
    } else {
      out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
    }
  }
  return out << "'";
}

Split SplitName(const std::string& name, int position) {
  char part[TD_TYPE_NAME_SIZE];
  std::strcpy(part, kUntouched);
  const std::string before = name;
  const int result = SeparateTypeName(name.c_str(), position, part);
  EXPECT_EQ(name, before) << "the name is not changed";
  return {result, part};
}

class NamePartsTest : public td::testing::WorkspaceTest {
 protected:
  void TearDown() override { mmisim::Stop(); }
  void StartIn(const std::string& locale, int nameParts = 3) {
    mmisim::Start(MachineFrom("locale " + locale + "\nname-parts " + std::to_string(nameParts) +
                              "\nconfig 1 prefix A\n  items D 1\n"));
  }
};

TEST_F(NamePartsTest, WesternNamesSplitAtPlusSigns) {
  StartIn("ENU");
  EXPECT_EQ(SplitName("A+B+C", 2), (Split{3, "B"}));
  EXPECT_EQ(SplitName("A+B+C", 1), (Split{3, "A"}));
  EXPECT_EQ(SplitName("A+B+C", 3), (Split{3, "C"}));
  EXPECT_EQ(SplitName("A+B+C", 0x10002), (Split{3, "B"})) << "low 16 bits";
  EXPECT_EQ(SplitName("A+B+C", 4), (Split{0, kUntouched}));
  EXPECT_EQ(SplitName("A+B+C", 0), (Split{0, kUntouched}));
  EXPECT_EQ(SplitName("A+B+C", 0x10000), (Split{0, kUntouched}));
  EXPECT_EQ(SplitName("ABC", 1), (Split{1, "ABC"}));
  EXPECT_EQ(SplitName("ABC", 2), (Split{0, kUntouched}));
  EXPECT_EQ(SplitName("T40 +STEEL", 1), (Split{2, "T40 "})) << "blanks belong to the part";
  for (int position = 0; position <= 4; ++position) {
    EXPECT_EQ(SplitName("", position), (Split{0, kUntouched}));
    for (const char* malformed : {"+A", "A+", "A++B", "A+B+C+D", "+", "++", "A+B+", "A+B+C+"}) {
      EXPECT_EQ(SplitName(malformed, position), (Split{-1, kUntouched})) << malformed << " at " << position;
    }
  }
  // 23 characters fit a name field; 24 do not.
  EXPECT_EQ(SplitName("ABCDEFGHIJK+LMNOPQRSTUV", 2), (Split{2, "LMNOPQRSTUV"}));
  EXPECT_EQ(SplitName("ABCDEFGHIJK+LMNOPQRSTUVW", 1), (Split{-1, kUntouched}));
  EXPECT_EQ(SeparateTypeName(nullptr, 1, nullptr), -1);
  EXPECT_EQ(SeparateTypeName("A+B", 1, nullptr), 2) << "validating without a buffer";
  // Without a double-byte code page no byte pair separates.
  EXPECT_EQ(SplitName("A\x81\x7B"
                      "B",
                      1),
            (Split{1,
                   "A\x81\x7B"
                   "B"}));
  EXPECT_EQ(SplitName("A\xA3\xAB"
                      "B",
                      1),
            (Split{1,
                   "A\xA3\xAB"
                   "B"}));
  EXPECT_EQ(SplitName("A\xA1\xCF"
                      "B",
                      1),
            (Split{1,
                   "A\xA1\xCF"
                   "B"}));
}

struct Language {
  const char* locale;
  std::string plus;   // the full-width plus of its code page
  std::string other;  // another language's full-width plus: no separator here
};

const Language kLanguages[] = {
    {"JPN", "\x81\x7B", "\xA3\xAB"},  // code page 932
    {"KOR", "\xA3\xAB", "\x81\x7B"},  // code page 949
    {"CHS", "\xA3\xAB", "\xA1\xCF"},  // code page 936 (sublanguage 2)
    {"ZHI", "\xA1\xCF", "\xA3\xAB"},  // Chinese, sublanguage 4: code page 950's plus
    {"CHT", "\xA1\xCF", "\xA3\xAB"},  // code page 950
    {"ZHH", "\xA1\xCF", "\xA3\xAB"},
};

TEST_F(NamePartsTest, EastAsianNamesSplitAtEitherPlus) {
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.locale);
    StartIn(language.locale);
    const std::string& p = language.plus;
    EXPECT_EQ(SplitName("A" + p + "B", 2), (Split{2, "B"}));
    EXPECT_EQ(SplitName("A" + p + "B", 1), (Split{2, "A"}));
    EXPECT_EQ(SplitName("A+B" + p + "C", 3), (Split{3, "C"})) << "the two kinds mixed";
    EXPECT_EQ(SplitName("A" + p + "B+C", 2), (Split{3, "B"}));
    EXPECT_EQ(SplitName("A" + language.other + "B", 1), (Split{1, "A" + language.other + "B"}));
    for (const std::string& malformed : {"A" + p + "+B", "A+" + p + "B", p + "A", "A" + p, p,
                                         "A" + p + p + "B", "A" + p + "B" + p + "C+D"}) {
      EXPECT_EQ(SplitName(malformed, 1), (Split{-1, kUntouched}));
      EXPECT_EQ(SplitName(malformed, 0), (Split{-1, kUntouched}));
    }
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(SplitName("A+" + p.substr(0, 1), 2), (Split{2, p.substr(0, 1)}));
  }
}

TEST_F(NamePartsTest, ASeparatorCountsOnlyWhereACharacterStarts) {
  struct Case {
    const char* locale;
    std::string name;  // a character whose second byte is the separator's first
    int parts;
    std::string last;  // the last part
  };
  const Case cases[] = {
      // 0x88 0x81 is one character of code page 932; 0x7B after it is '{'.
      {"JPN",
       "\x88\x81\x7B"
       "B",
       1,
       "\x88\x81\x7B"
       "B"},
      {"JPN",
       "\x88\x81\x81\x7B"
       "B",
       2, "B"},
      {"JPN", "\x88\x81+B", 2, "B"},
      // 0xB0 0xA3 and 0xAB 0xA1 are two characters of code pages 949 and 936.
      {"KOR", "\xB0\xA3\xAB\xA1", 1, "\xB0\xA3\xAB\xA1"},
      {"KOR", "\xB0\xA3\xA3\xAB\xAB\xA1", 2, "\xAB\xA1"},
      {"CHS", "\xB0\xA3\xAB\xA1", 1, "\xB0\xA3\xAB\xA1"},
      // 0xA4 0xA1 and 0xCF 0x41 are two characters of code page 950.
      {"CHT", "\xA4\xA1\xCF\x41", 1, "\xA4\xA1\xCF\x41"},
      {"CHT", "\xA4\xA1\xA1\xCF\x41", 2, "A"},
      {"ZHH", "\xA4\xA1\xCF\x41", 1, "\xA4\xA1\xCF\x41"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    StartIn(c.locale);
    EXPECT_EQ(SplitName(c.name, c.parts), (Split{c.parts, c.last})) << Split{0, c.name};
  }
  // Katakana of code page 932 are single bytes (0xA1 to 0xDF).
  StartIn("JPN");
  EXPECT_EQ(SplitName("\xB1\x81\x7B\xB2", 2), (Split{2, "\xB2"}));
}

TEST_F(NamePartsTest, TheLanguageIsAskedOnEverySplit) {
  StartIn("ENU");
  const std::string name =
      "A\x81\x7B"
      "B";
  EXPECT_EQ(SeparateTypeName(name.c_str(), 1, nullptr), 1);
  std::strcpy(GetMMISystemStruc()->localeText, "JPN");
  EXPECT_EQ(SeparateTypeName(name.c_str(), 1, nullptr), 2);
  std::strcpy(GetMMISystemStruc()->localeText, "DEU");
  EXPECT_EQ(SeparateTypeName(name.c_str(), 1, nullptr), 1);
}

class PartSearchTest : public NamePartsTest {
 protected:
  void AddTypes(const std::vector<std::pair<int, const char*>>& types) {
    for (const auto& [number, name] : types) ASSERT_TRUE(mmisim::AddType(number, name));
  }
};

TEST_F(PartSearchTest, SearchesRunInListOrderAndStopAtMalformedNames) {
  StartIn("ENU");
  EXPECT_EQ(FirstSearchTypeNamePart("B", 2), -1) << "empty list";
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), -1);
  AddTypes({{1, "A+B"}, {2, "X+B+C"}, {3, "B"}, {4, "A++B"}, {5, "Z+B"}, {6, "Q+b"}});

  EXPECT_EQ(FirstSearchTypeNamePart("B", 2), 1);
  EXPECT_EQ(td::partSearchCursor->typeNo, 1);
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), 2);
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), -1) << "A++B ends the search";
  EXPECT_EQ(td::partSearchCursor->typeNo, 4);
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), 5) << "and the next one goes on after it";
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), -1);
  EXPECT_EQ(td::partSearchCursor, nullptr);
  EXPECT_EQ(NextSearchTypeNamePart("B", 2), -1);

  EXPECT_EQ(FirstSearchTypeNamePart("B", 1), 3) << "whole parts only, exactly";
  EXPECT_EQ(FirstSearchTypeNamePart("C", 0x10003), 2);
  EXPECT_EQ(FirstSearchTypeNamePart("A+B", 1), -1);
  EXPECT_EQ(FirstSearchTypeNamePart("", 3), -1);
  EXPECT_EQ(FirstSearchTypeNamePart("b", 2), -1) << "A++B comes before Q+b";
  EXPECT_EQ(FirstSearchTypeNamePart("A", 0), -1);
  EXPECT_EQ(FirstSearchTypeNamePart(nullptr, 1), -1);
}

TEST_F(PartSearchTest, CheckTellsWhetherAndWhereAPartIsTaken) {
  StartIn("ENU", 0);
  AddTypes({{1, "X+B"}});
  mmisim::ClearCalls();
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 1), 0) << "name parts switched off";
  EXPECT_TRUE(mmisim::CallsOf("GetMMITypeInfo").empty()) << "without searching";

  StartIn("ENU", 3);
  AddTypes({{1, "A+X+C"}, {2, "D+E"}});
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 2), 1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 0x20002), 1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 1), -1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 3), -1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("C", 3), 1);
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("Y", 2), 0);
  ASSERT_TRUE(mmisim::AddType(3, "Q+R+X"));
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 2), -1) << "X stands at 3 as well";

  // Positions beyond namePartCount are not looked at.
  StartIn("ENU", 2);
  AddTypes({{1, "A+B+X"}, {2, "C+X"}});
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 2), 1);
  StartIn("ENU", 1);
  AddTypes({{1, "A+X"}});
  EXPECT_EQ(CheckAlreadyExistTypeNamePart("X", 2), 0);
}

TEST_F(NamePartsTest, TheWalkOfSharedConfigsFollowsTheConfigList) {
  mmisim::Start(MachineFrom(R"(
name-parts 3
config 3 prefix P part 1
config 1 prefix MAIN
config 4 prefix Q part 2
config 2 prefix R part 1
config 5 prefix LONG part 1
)"));
  char prefix[TD_PREFIX_SIZE] = "x";
  EXPECT_EQ(GetFirstCommonCFG(1, prefix), 1);
  EXPECT_STREQ(prefix, "P");
  EXPECT_EQ(GetNextCommonCFG(1, prefix), 1);
  EXPECT_STREQ(prefix, "R");
  // A prefix that neither the buffer nor a datName can take is passed over.
  ConfigRecord* longer = nullptr;
  ASSERT_GE(SearchMMIConfigIndex(5, &longer), 0);
  std::strcpy(longer->name, "LONGER78");
  std::strcpy(prefix, "kept");
  EXPECT_EQ(GetNextCommonCFG(1, prefix), 0);
  EXPECT_STREQ(prefix, "kept");
  EXPECT_EQ(td::commonCfgCursor, nullptr);
  EXPECT_EQ(GetNextCommonCFG(1, prefix), 0);

  EXPECT_EQ(GetFirstCommonCFG(0x10002, prefix), 1);
  EXPECT_STREQ(prefix, "Q");
  EXPECT_EQ(GetNextCommonCFG(2, prefix), 0);
  EXPECT_EQ(GetFirstCommonCFG(3, prefix), 0);
  EXPECT_STREQ(prefix, "Q") << "untouched";
  EXPECT_EQ(GetNextCommonCFG(3, prefix), 0);

  // The type search and the config walk keep separate cursors.
  ASSERT_TRUE(mmisim::AddType(1, "A+B"));
  ASSERT_TRUE(mmisim::AddType(2, "A+C"));
  std::vector<std::string> seen;
  for (int type = FirstSearchTypeNamePart("A", 1); type != -1; type = NextSearchTypeNamePart("A", 1)) {
    for (int found = GetFirstCommonCFG(1, prefix); found; found = GetNextCommonCFG(1, prefix)) {
      seen.push_back(std::to_string(type) + prefix);
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1P", "1R", "2P", "2R"}));
}

}  // namespace
