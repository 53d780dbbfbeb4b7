// Machine descriptions: what engineers write by hand, and every mistake
// named with its file and line.
#include <gtest/gtest.h>

#include "support/sim_host.h"

namespace {

using mmisim::Machine;

std::string ErrorOf(const std::string& text) {
  Machine machine;
  machine.localeText = "untouched";
  std::string error;
  EXPECT_FALSE(mmisim::ParseMachine(text, "m.txt", &machine, &error));
  EXPECT_EQ(machine.localeText, "untouched") << "nothing is half-loaded";
  EXPECT_TRUE(machine.configs.empty());
  return error;
}

TEST(MachineDescription, ReadsEverySetting) {
  Machine machine;
  std::string error;
  ASSERT_TRUE(mmisim::ParseMachine(R"(# a comment
locale JPN
offline on
name-parts 2
list-order name
hpc online
board 131 index 7
config 2 prefix BB part 2   # listed first
  items D 3
  item D 1 P -1.5 scale 3
  item D 2 blank
  item D 3 none
config 1 prefix A
  items V 2
  item V 2 zero
)",
                                   "m.txt", &machine, &error))
      << error;
  EXPECT_EQ(machine.localeText, "JPN");
  EXPECT_TRUE(machine.offlineEnabled);
  EXPECT_EQ(machine.namePartCount, 2);
  EXPECT_EQ(machine.typeListOrder, 1);
  EXPECT_TRUE(machine.hpcOnline);
  ASSERT_EQ(machine.boards.size(), 1u);
  EXPECT_EQ(machine.boards[0].code, 131);
  EXPECT_EQ(machine.boards[0].configIndex, 7);
  ASSERT_EQ(machine.configs.size(), 2u);
  const auto& bb = machine.configs[0];
  EXPECT_EQ(bb.configNo, 2);
  EXPECT_EQ(bb.prefix, "BB");
  EXPECT_EQ(bb.partNo, 2);
  ASSERT_EQ(bb.kinds[0].count, 3u);
  EXPECT_EQ(bb.kinds[0].items[0].dataType, 'P');
  EXPECT_DOUBLE_EQ(bb.kinds[0].items[0].defaultValue, -1.5);
  EXPECT_EQ(bb.kinds[0].items[0].scale, 3);
  EXPECT_EQ(bb.kinds[0].items[1].dataType, ' ');
  EXPECT_FALSE(bb.kinds[0].items[2].described);
  const auto& a = machine.configs[1];
  ASSERT_EQ(a.kinds[4].count, 2u);
  EXPECT_EQ(a.kinds[4].items[0].dataType, 'C') << "texts are in use unless said";
  EXPECT_EQ(a.kinds[4].items[1].dataType, '\0');
}

TEST(MachineDescription, NamesFileAndLineOfEachMistake) {
  EXPECT_EQ(ErrorOf("config 1 prefix A\n  items X 3\n"),
            "m.txt:2: unknown kind letter 'X' (D, S, A, L or V)");
  EXPECT_EQ(ErrorOf("config 1 prefix A\n\nconfig 1 prefix B\n"),
            "m.txt:3: config number 1 is used twice (first on line 1)");
  EXPECT_EQ(ErrorOf("config 1 prefix ABCDEFGH\n"), "m.txt:1: prefix 'ABCDEFGH' is longer than 7 characters");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 65536\n"),
            "m.txt:2: item count 65536 is out of range (0 to 65535)");
  EXPECT_EQ(ErrorOf("config 1 prefix A part 4\n"), "m.txt:1: part position 4 is out of range (0 to 3)");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 2\nitem D 3 I\n"),
            "m.txt:3: item 3 is beyond the count 2 of D");
  EXPECT_EQ(ErrorOf("config 2 prefix A\n"),
            "m.txt:1: config numbers must run from 1 to 1 without a gap: config 1 is missing");
  EXPECT_EQ(ErrorOf("items D 1\n"), "m.txt:1: 'items' comes before any 'config'");
  EXPECT_EQ(ErrorOf("offline maybe\n"), "m.txt:1: 'offline' is 'on' or 'off', not 'maybe'");
  EXPECT_EQ(ErrorOf("frobnicate 3\n"), "m.txt:1: unknown keyword 'frobnicate'");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems V 1\nitem V 1 C 5\n"), "m.txt:3: texts have no default value");
  EXPECT_EQ(ErrorOf("board 127 index 1\n"), "m.txt:1: board code 127 is out of range (128 to 143)");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitem D 1 I\n"),
            "m.txt:2: 'items D COUNT' must come before its items");
  // What cannot work: one file for two configs, a file outside the tree,
  // numbers read in another base, defaults the controller cannot hold.
  EXPECT_EQ(
      ErrorOf("config 1 prefix MAIN\nconfig 2 prefix Main\n"),
      "m.txt:2: prefix 'Main' is the prefix 'MAIN' of config 1 (line 1) but for letter case: both would "
      "write the same files");
  EXPECT_EQ(ErrorOf("config 1 prefix ../../x\n"),
            "m.txt:1: prefix '../../x' may hold only letters and digits");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 010\n"),
            "m.txt:2: item count '010' begins with 0: numbers are decimal, without leading zeros");
  EXPECT_EQ(ErrorOf("board 0x82 index 1\n"), "m.txt:1: board code '0x82' is not a decimal number");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 1\nitem D 1 I 99999999999\n"),
            "m.txt:3: default value 99999999999 does not fit the controller's 32-bit integer");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 1\nitem D 1 I 2.5\n"),
            "m.txt:3: default value 2.5 is not a whole number, as an integer item's must be");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 1\nitem D 1 P 300000000 scale 2\n"),
            "m.txt:3: default value 300000000 does not fit the controller's 32-bit integer at scale 2");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems D 1\nitem D 1 P 0x10\n"),
            "m.txt:3: default value '0x10' is not a decimal number");
  // Sizes beyond what a machine can be, refused before they are made: 200
  // configs of 65535 items of each kind (the 33rd full kind is one too
  // many), and texts whose value memory a 32-bit host could not hold.
  std::string huge;
  for (int c = 1; c <= 200; ++c) {
    huge += "config " + std::to_string(c) + " prefix C" + std::to_string(c) + "\n";
    for (const char* kind : {"D", "S", "A", "L"}) huge += std::string("items ") + kind + " 65535\n";
  }
  EXPECT_EQ(
      ErrorOf(huge),
      "m.txt:42: item count 65535 of D would give the machine 2162655 items; a machine has at most 2097152");
  std::string texts;
  for (int c = 1; c <= 8; ++c)
    texts += "config " + std::to_string(c) + " prefix C" + std::to_string(c) + "\nitems V 65535\n";
  EXPECT_EQ(
      ErrorOf(texts),
      "m.txt:16: item count 65535 of V would make a type's values take 260 MiB of value memory; a machine's "
      "take at most 256 MiB");
}

TEST(MachineDescription, MissingFileIsAMistakeToo) {
  Machine machine;
  std::string error;
  EXPECT_FALSE(mmisim::LoadMachineFile("no/such/machine.txt", &machine, &error));
  EXPECT_EQ(error, "no/such/machine.txt:0: cannot open the machine description");
}

TEST(MachineDescription, SampleMachineHasWhatTheTestsNeed) {
  Machine machine;
  std::string error;
  ASSERT_TRUE(mmisim::ParseMachine(mmisim::SampleMachineText(), "sample", &machine, &error)) << error;
  EXPECT_TRUE(machine.offlineEnabled);
  EXPECT_GE(machine.boards.size(), 2u);
  bool partShared[4] = {};
  bool kindUsed[5] = {};
  bool real = false, integer = false, unused = false, undescribed = false, outOfOrder = false;
  for (std::size_t i = 0; i < machine.configs.size(); ++i) {
    const auto& config = machine.configs[i];
    partShared[config.partNo] = true;
    outOfOrder |= config.configNo != static_cast<int>(i) + 1;
    for (int k = 0; k < 5; ++k) {
      kindUsed[k] |= config.kinds[k].count > 0;
      for (const auto& item : config.kinds[k].items) {
        real |= item.dataType == 'P' || item.dataType == 'F';
        integer |= item.described && item.dataType == 'I';
        unused |= item.described && (item.dataType == ' ' || item.dataType == '\0');
        undescribed |= !item.described;
      }
    }
  }
  EXPECT_TRUE(partShared[1] && partShared[2] && partShared[3]);
  for (bool used : kindUsed) EXPECT_TRUE(used);
  EXPECT_TRUE(real && integer && unused && undescribed);
  EXPECT_TRUE(outOfOrder) << "list order differs from config numbers";
}

}  // namespace
