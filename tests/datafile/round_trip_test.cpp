// Blocks saved into a file made anew and read back are the blocks that were
// saved, for random machines and values: every kind, real and integer
// items, items without a description or not in use, counts of 0 and 1,
// offline copies on and off.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>

#include "datafile/datafile_support.h"

namespace {

using dftest::BlockImage;
using dftest::DatafileTest;
using dftest::ImageOf;

const char kLetters[] = "DSALV";

struct RandomMachine {
  std::string text;
  int configs = 0;
  bool offline = false;
};

int RandomCount(std::mt19937& random) {
  switch (random() % 6) {
    case 0:
      return 0;
    case 1:
      return 1;
    case 2:
      return 2 + static_cast<int>(random() % 5);
    default:
      return static_cast<int>(random() % 60);
  }
}

RandomMachine MakeMachine(std::mt19937& random) {
  RandomMachine machine;
  machine.offline = random() % 2 == 0;
  machine.configs = 1 + static_cast<int>(random() % 4);
  std::ostringstream text;
  text << "offline " << (machine.offline ? "on" : "off") << "\n";
  // Configs in list order differ from their numbers, so that config index
  // and position differ.
  std::vector<int> numbers;
  for (int n = 1; n <= machine.configs; ++n) numbers.push_back(n);
  std::shuffle(numbers.begin(), numbers.end(), random);
  for (int number : numbers) {
    std::string prefix;
    const int length = 1 + static_cast<int>(random() % 7);
    for (int i = 0; i < length; ++i) prefix += "ABCXYZ019"[random() % 9];
    text << "config " << number << " prefix " << prefix << "\n";
    for (int k = 0; k < 5; ++k) {
      const int count = RandomCount(random);
      text << "  items " << kLetters[k] << " " << count << "\n";
      for (int i = 1; i <= count; ++i) {
        const char* types[] = {"P", "F", "I", "B", "blank", "zero", "none"};
        const char* type = k == 4 ? (random() % 4 ? "C" : types[4 + random() % 3]) : types[random() % 7];
        text << "  item " << kLetters[k] << " " << i << " " << type << "\n";
      }
    }
  }
  machine.text = text.str();
  return machine;
}

// A real value that six decimals hold exactly: a multiple of 1/64, a large
// whole double, or a literal decimal.
double RandomReal(std::mt19937_64& random) {
  switch (random() % 5) {
    case 0:
      return std::ldexp(static_cast<double>(static_cast<std::int64_t>(random() >> 12) - (1LL << 51)),
                        -static_cast<int>(random() % 7));
    case 1:
      return std::ldexp(static_cast<double>(random() >> 11), 53 + static_cast<int>(random() % 900));
    case 2: {
      const double literals[] = {0.1, -7.85, 12.34, 1e-6, -0.000001, 0.333333, 2147483648.5, -0.0, 0.0};
      return literals[random() % 9];
    }
    default:
      return static_cast<double>(static_cast<std::int32_t>(random())) / 8.0;
  }
}

std::string RandomText(std::mt19937_64& random) {
  // Any byte but the item separators, the line end, the zero, and '/' (a
  // "//" would start a comment).
  const int length = random() % 4 == 0 ? TD_TEXT_MAX : static_cast<int>(random() % 40);
  std::string text;
  while (static_cast<int>(text.size()) < length) {
    const char c = static_cast<char>(random() % 256);
    if (c == '\0' || c == ',' || c == ';' || c == '\n' || c == '/') continue;
    text += c;
  }
  return text;
}

class RoundTrip : public DatafileTest {};

TEST_F(RoundTrip, RandomBlocksReadBackAsSaved) {
  std::mt19937 random_machine(1);
  std::mt19937_64 random(2);
  int sections = 0;
  for (int round = 0; round < 60; ++round) {
    const RandomMachine machine = MakeMachine(random_machine);
    const int typeNo = static_cast<int>(random() % 10000);
    std::filesystem::remove_all(TypeFolder(typeNo));  // no file is present
    TypeRecord* type = Start(machine.text, typeNo, "RANDOM");
    for (int p = 0; p < machine.configs; ++p) {
      SCOPED_TRACE("round " + std::to_string(round) + ", config " + std::to_string(p) + "\n" + machine.text);
      BlockTable* table = BuildBlocks(type, p, machine.offline);
      const int configIndex = SearchMMIConfigIndex(p + 1, nullptr);
      // Some kinds have no block at all.
      for (int slot : {TD_SLOT_D, TD_SLOT_S, TD_SLOT_A, TD_SLOT_L, TD_SLOT_V}) {
        if (random() % 8 == 0) table->slot[slot] = nullptr;
      }
      // Fill the blocks, and work out what reading the file must give.
      BlockImage expected[TD_SLOT_COUNT];
      for (const td::Kind& kind : td::kKinds) {
        if (!table->slot[kind.slot]) continue;
        BlockImage& image = expected[kind.slot];
        image = ImageOf(table, kind.slot);
        for (int i = 0; i < image.count; ++i) {
          CfgIdRecord* item = nullptr;
          const bool described = GetCFGIDStruc(TD_CFGID(i, kind.code, configIndex), &item) >= 0;
          if (!kind.numeric) {
            const std::string text = RandomText(random);
            std::memcpy(static_cast<TextBlock*>(table->slot[kind.slot])->texts[i], text.c_str(),
                        text.size() + 1);
            if (described && td::IsInUse(item->dataType)) image.texts[i] = text;
            continue;
          }
          const bool real = described && td::IsReal(item->dataType);
          const double value =
              real ? RandomReal(random) : static_cast<double>(static_cast<std::int64_t>(random())) / 1e9;
          static_cast<ValueBlock*>(table->slot[kind.slot])->values[i] = value;
          if (!described || !td::IsInUse(item->dataType)) continue;  // left out, or written as 0
          // Integers are truncated toward zero to 32 bits.
          image.values[i] = real ? value : std::trunc(std::max(-2147483648.0, std::min(2147483647.0, value)));
        }
        // The twins of the sections read come back fresh and zero-filled.
        if (machine.offline && kind.twinSlot >= 0) {
          expected[kind.twinSlot] = image;
          std::fill(expected[kind.twinSlot].values.begin(), expected[kind.twinSlot].values.end(), 0.0);
          std::fill(expected[kind.twinSlot].texts.begin(), expected[kind.twinSlot].texts.end(), "");
        }
        ++sections;
      }

      ASSERT_EQ(SaveCurrentTypeData(p), 0);
      // Read into a table of its own, so that every block comes from the file.
      type->configs[p].blocks = nullptr;
      ASSERT_EQ(DAT_fread(type->configs[p].datName, p, type), 0);
      const BlockTable* read = type->configs[p].blocks;
      ASSERT_NE(read, nullptr);
      for (int slot = 0; slot < TD_SLOT_COUNT; ++slot) {
        EXPECT_EQ(ImageOf(read, slot), expected[slot]) << "slot " << slot;
      }
    }
    EXPECT_EQ(NamesIn(typeNo).size(), static_cast<std::size_t>(machine.configs));
    mmisim::Stop();
  }
  EXPECT_GT(sections, 500);
}

}  // namespace
