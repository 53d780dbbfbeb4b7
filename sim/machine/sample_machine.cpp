// The sample machine that the simulated host starts with by default.
#include <string>
#include <utility>

#include "machine.h"

namespace mmisim {

const char* SampleMachineText() {
  return R"(# Sample machine: a small press line.
# Type names have three parts: TOOL+MATERIAL+FEED, e.g. "T40+STEEL+FAST".
locale     ENU
offline    on
name-parts 3
list-order catalogue
hpc        online

# Interface boards that take the type code.
board 130 index 1
board 135 index 3

# Settings of the press itself: every type has its own.
config 1 prefix MAIN
  items D 8
  item  D 1-2 P 12.5 scale 2      # stroke and die height, mm
  item  D 3   I 120               # strokes per minute
  item  D 4   I -20
  item  D 5   blank               # spare, not in use
  item  D 6   none                # no such item
  item  D 7   F 0.125 scale 3
  item  D 8   I 7
  items S 4
  item  S 1   P 1.5 scale 1
  item  S 2-4 I 3
  items A 3
  item  A 1   I 100
  item  A 2   zero                # not in use
  item  A 3   P -2.25 scale 2
  items L 4
  item  L 1   P 0.5 scale 1
  item  L 2-4 I 42
  items V 3
  item  V 2   blank               # not in use

# Feed settings: shared between types with the same third name part.
config 4 prefix FEED part 3
  items D 4
  item  D 1 P 250.0 scale 1
  item  D 2-4 I 10
  items S 2
  items A 0
  items V 1

# Tool settings: shared between types with the same first name part.
config 2 prefix TOOL part 1
  items D 6
  item  D 1-3 P 40.0 scale 2
  item  D 4-6 I 2
  items S 3
  item  S 1 I 1
  items L 2
  item  L 1-2 P 3.75 scale 2
  items V 2

# Material settings: shared between types with the same second name part.
config 3 prefix MAT part 2
  items D 5
  item  D 1 P 7.85 scale 2        # density
  item  D 2-5 I 0
  items A 2
  item  A 1-2 I 5
  items V 1
)";
}

std::string LabelledSampleMachineText() {
  // Each pair: a line of the sample, and the lines that follow it here.
  const std::pair<const char*, const char*> added[] = {
      {"  item  D 8   I 7\n",
       "  about D 1   label \"Stroke\" unit mm min 0 max 250\n"
       "  about D 2   label \"Die height\" unit mm min 5 max 400\n"
       "  about D 3   label \"Strokes per minute\" unit 1/min min 10 max 200\n"
       "  about D 4   label \"Ram offset\" unit \xC2\xB5m min -500 max 500\n"},
      {"  item  V 2   blank               # not in use\n", "  about V 1   label \"Operator's note #1\"\n"},
      {"  item  D 2-4 I 10\n", "  about D 1   label \"Feed rate\" unit mm/min min 0 max 900\n"},
      {"  item  D 4-6 I 2\n", "  about D 1-3 unit mm\n"},
      {"  item  D 1 P 7.85 scale 2        # density\n",
       "  about D 1   label \"Density\" unit g/cm3 min 0.5 max 25\n"},
  };
  std::string text = SampleMachineText();
  for (const auto& [after, lines] : added) {
    const std::size_t at = text.find(after);
    if (at != std::string::npos) text.insert(at + std::char_traits<char>::length(after), lines);
  }
  return text;
}

Machine SampleMachine() {
  Machine machine;
  std::string error;
  ParseMachine(SampleMachineText(), "sample machine", &machine, &error);
  return machine;
}

}  // namespace mmisim
