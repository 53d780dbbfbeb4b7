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
  item D 1 P -1.5 scale 3     # again: what 'about' says stays
  about D 1 label "Feed #2, rate" unit mm/min min -10 max 900.5   # a quoted '#' is no comment
  about D 2-3 unit "N m"
config 1 prefix A
  items V 2
  item V 2 zero
  about V 1 label "Note"
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
  ASSERT_EQ(bb.kinds[0].about.size(), 3u) << "items 1 to 3";
  EXPECT_EQ(bb.kinds[0].about.at(1).label, "Feed #2, rate");
  EXPECT_EQ(bb.kinds[0].about.at(1).unit, "mm/min");
  EXPECT_EQ(bb.kinds[0].about.at(1).minimum, -10.0);
  EXPECT_EQ(bb.kinds[0].about.at(1).maximum, 900.5);
  EXPECT_EQ(bb.kinds[0].about.at(3).unit, "N m");
  EXPECT_FALSE(bb.kinds[0].about.at(3).maximum.has_value());
  EXPECT_EQ(bb.kinds[0].items[1].dataType, ' ');
  EXPECT_FALSE(bb.kinds[0].items[2].described);
  const auto& a = machine.configs[1];
  ASSERT_EQ(a.kinds[4].count, 2u);
  EXPECT_EQ(a.kinds[4].items[0].dataType, 'C') << "texts are in use unless said";
  EXPECT_EQ(a.kinds[4].items[1].dataType, '\0');
  EXPECT_EQ(a.kinds[4].about.at(1).label, "Note");
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
  // Labels, units and limits that cannot be shown or kept to.
  const std::string d =
      "config 1 prefix A\nitems D 3\nitem D 1 I 50\nitem D 2 P 1.5 scale 1\nitem D 3 blank\n";
  EXPECT_EQ(ErrorOf(d + "about D 1 max 1O0\n"),
            "m.txt:6: maximum '1O0' is not a decimal number (digits, an optional '-' and '.')");
  EXPECT_EQ(ErrorOf(d + "about D 1 min 1e3\n"),
            "m.txt:6: minimum '1e3' is not a decimal number (digits, an optional '-' and '.')");
  EXPECT_EQ(ErrorOf(d + "about D 1 min 0x10\n"),
            "m.txt:6: minimum '0x10' is not a decimal number (digits, an optional '-' and '.')");
  EXPECT_EQ(ErrorOf(d + "about D 1 min 010\n"),
            "m.txt:6: minimum '010' begins with 0: numbers are decimal, without leading zeros");
  EXPECT_EQ(ErrorOf(d + "about D 1 min 60 max 40\n"),
            "m.txt:6: the minimum 60 of item D 1 is above its maximum 40");
  EXPECT_EQ(ErrorOf(d + "about D 1 max 40\n"),
            "m.txt:6: the default value 50 of item D 1 is above its maximum 40");
  EXPECT_EQ(ErrorOf(d + "about D 1 min 0 max 100\nitem D 1 I 200\n"),
            "m.txt:7: the default value 200 of item D 1 is above its maximum 100");
  EXPECT_EQ(ErrorOf(d + "about D 1 max 99.5\n"),
            "m.txt:6: limit 99.5 of item D 1 is not a whole number, as an integer item's must be");
  EXPECT_EQ(ErrorOf(d + "about D 3 max 1\n"), "m.txt:6: item D 3 is not in use, and has no limits");
  EXPECT_EQ(ErrorOf(d + "about D 2 max 9\nitem D 2 none\n"),
            "m.txt:7: item D 2 is not in use, and has no limits");
  EXPECT_EQ(ErrorOf(d + "about D 1 max 90 max 95\n"), "m.txt:6: 'max' is given twice");
  EXPECT_EQ(ErrorOf(d + "about D 1-2 unit mm\nabout D 2 unit cm\n"),
            "m.txt:7: the unit of item D 2 is given twice");
  EXPECT_EQ(ErrorOf(d + "about D 1 label \"Feed rate\n"), "m.txt:6: a quoted text has no closing '\"'");
  EXPECT_EQ(ErrorOf(d + "about D 1 label \"\"\n"), "m.txt:6: the label is empty");
  EXPECT_EQ(ErrorOf(d + "about D 1 label \"a\tb\"\n"), "m.txt:6: the label holds a control character");
  EXPECT_EQ(ErrorOf(d + "about D 1 unit \xB5m\n"), "m.txt:6: the unit is not UTF-8");
  EXPECT_EQ(ErrorOf(d + "about D 1 unit \xC0\x80m\n"), "m.txt:6: the unit is not UTF-8");       // overlong
  EXPECT_EQ(ErrorOf(d + "about D 1 label \xED\xA0\x80\n"), "m.txt:6: the label is not UTF-8");  // a surrogate
  EXPECT_EQ(ErrorOf(d + "about D 1 label " + std::string(61, 'x') + "\n"),
            "m.txt:6: the label '" + std::string(61, 'x') + "' is longer than 60 bytes");
  EXPECT_EQ(ErrorOf(d + "about D 1 colour red\n"),
            "m.txt:6: 'about' says 'label', 'unit', 'min' or 'max', not 'colour'");
  EXPECT_EQ(ErrorOf(d + "about D 1 label\n"),
            "m.txt:6: expected 'about KIND FIRST[-LAST] [label TEXT] [unit UNIT] [min N] [max N]'");
  EXPECT_EQ(ErrorOf(d + "about D 4 unit mm\n"), "m.txt:6: item 4 is beyond the count 3 of D");
  EXPECT_EQ(ErrorOf("config 1 prefix A\nitems V 1\nabout V 1 max 3\n"), "m.txt:3: texts have no limits");
  EXPECT_EQ(
      ErrorOf("config 1 prefix A\nitems L 65535\nabout L 1-65535 unit mm\nconfig 2 prefix B\nitems L 2\n"
              "about L 1-2 unit mm\n"),
      "m.txt:6: a machine gives at most 65536 items a label, unit or limits");
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

  // The labelled sample: the same machine, a few items with labels, units and limits.
  Machine labelled;
  ASSERT_TRUE(mmisim::ParseMachine(mmisim::LabelledSampleMachineText(), "labelled", &labelled, &error))
      << error;
  ASSERT_EQ(labelled.configs.size(), machine.configs.size());
  int labels = 0, units = 0, limits = 0;
  for (std::size_t c = 0; c < labelled.configs.size(); ++c) {
    for (int k = 0; k < 5; ++k) {
      const auto& items = labelled.configs[c].kinds[k].items;
      ASSERT_EQ(items.size(), machine.configs[c].kinds[k].items.size());
      for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].dataType, machine.configs[c].kinds[k].items[i].dataType);
      for (const auto& [number, about] : labelled.configs[c].kinds[k].about) {
        labels += !about.label.empty();
        units += !about.unit.empty();
        limits += about.maximum.has_value();
      }
    }
  }
  EXPECT_EQ(labels, 7);
  EXPECT_EQ(units, 9);
  EXPECT_EQ(limits, 6);
}

}  // namespace
