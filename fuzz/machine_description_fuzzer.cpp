// The machine description parser on arbitrary text. A refused description
// leaves the machine as it was and names the source and a line of it; an
// accepted one gives a machine that keeps every rule of the format (counts,
// prefixes, numbers, data types, defaults) and reads back the same when
// written out again.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "machine/machine.h"
#include "machine_text.h"

namespace {

using td::fuzz::Require;

bool IsWord(const std::string& text) {
  return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
    return c == '#' || std::isspace(static_cast<unsigned char>(c));
  });
}

// The line the message names, or -1 when it names none of the text's lines.
long MessageLine(const std::string& error, const std::string& source, long lines) {
  if (error.compare(0, source.size() + 1, source + ":") != 0) return -1;
  std::size_t at = source.size() + 1;
  long line = 0;
  std::size_t digits = 0;
  while (at < error.size() && std::isdigit(static_cast<unsigned char>(error[at])) && digits < 9) {
    line = line * 10 + (error[at++] - '0');
    ++digits;
  }
  if (digits == 0 || error.compare(at, 2, ": ") != 0 || error.size() <= at + 2) return -1;
  return line <= lines ? line : -1;
}

void RequireRules(const mmisim::Machine& machine) {
  Require(IsWord(machine.localeText) && machine.localeText.size() <= 200, "locale text");
  Require(machine.namePartCount >= 0 && machine.namePartCount <= 3, "name part count");
  Require(machine.typeListOrder == 0 || machine.typeListOrder == 1, "list order");
  std::set<int> codes;
  for (const mmisim::Board& board : machine.boards) {
    Require(board.code >= 128 && board.code <= 143 && codes.insert(board.code).second, "board code");
    Require(board.configIndex >= 0 && board.configIndex <= 255, "board config index");
  }
  Require(machine.configs.size() <= 255, "at most 255 configs");
  std::set<int> numbers;
  std::set<std::string> prefixes;
  std::uint64_t items = 0;
  for (const mmisim::MachineConfig& config : machine.configs) {
    for (const mmisim::KindItems& kind : config.kinds) items += kind.count;
    Require(items <= std::uint64_t{1} << 21, "a machine has at most 2,097,152 items");
    Require(config.configNo >= 1 && config.configNo <= static_cast<int>(machine.configs.size()) &&
                numbers.insert(config.configNo).second,
            "config numbers run from 1 without a gap or a repeat");
    Require(IsWord(config.prefix) && config.prefix.size() <= 7, "prefix of 1 to 7 characters");
    std::string folded = config.prefix;
    for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Require(std::all_of(folded.begin(), folded.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }),
            "prefix of letters and digits only");
    Require(prefixes.insert(folded).second, "prefixes differ in more than letter case");
    Require(config.partNo >= 0 && config.partNo <= 3, "part position");
    Require(config.line >= 1, "config line");
    for (int k = 0; k < 5; ++k) {
      const mmisim::KindItems& kind = config.kinds[k];
      Require(kind.count <= 65535 && kind.items.size() == kind.count, "item count");
      Require(kind.declared || kind.count == 0, "items only where a count was given");
      for (const mmisim::ItemDescription& item : kind.items) {
        const char type = item.dataType;
        Require((type >= 'A' && type <= 'Z') || type == ' ' || type == '\0', "data type");
        Require(std::isfinite(item.defaultValue), "finite default");
        Require(k != 4 || item.defaultValue == 0.0, "texts have no default");
        Require(item.scale >= 0 && item.scale <= 9, "scale");
        if (k != 4 && item.described && type != ' ' && type != '\0') {
          // The controller holds a value as a 32-bit integer: an integer
          // item's whole, a real item's times 10 to its scale.
          const bool real = type == 'P' || type == 'F';
          const double form =
              real ? std::round(item.defaultValue * std::pow(10.0, item.scale)) : item.defaultValue;
          Require(form == std::trunc(form) && form >= -2147483648.0 && form <= 2147483647.0,
                  "a default fits the controller");
        }
      }
    }
  }
}

// The numbers of the config and items statements read as decimal numbers
// (010 is ten, not eight; 0x10 is no number).
void RequireDecimal(const std::string& text, const mmisim::Machine& machine) {
  std::size_t start = 0;
  const mmisim::MachineConfig* config = nullptr;
  for (int line = 1; start <= text.size(); ++line) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string content = text.substr(start, end - start);
    std::istringstream in(content.substr(0, content.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    start = end + 1;
    if (words.size() < 3) continue;
    if (words[0] == "config") {
      for (const mmisim::MachineConfig& c : machine.configs) config = c.line == line ? &c : config;
      Require(
          config && config->line == line && std::strtol(words[1].c_str(), nullptr, 10) == config->configNo,
          "a config number is read as a decimal number");
    } else if (words[0] == "items" && config) {
      const std::size_t k = std::string("DSALV").find(words[1]);
      Require(
          k < 5 && std::strtol(words[2].c_str(), nullptr, 10) == static_cast<long>(config->kinds[k].count),
          "an item count is read as a decimal number");
    }
  }
}

// Counts far beyond what a test machine needs would only measure memory:
// a description may ask for 255 configs of five kinds of 65,535 items.
bool TooLarge(const std::string& text) {
  std::size_t counts = 0;
  for (std::size_t at = text.find("items"); at != std::string::npos; at = text.find("items", at + 1))
    ++counts;
  return counts > 64;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (TooLarge(text)) return 0;
  static const mmisim::Machine sample = mmisim::SampleMachine();
  mmisim::Machine machine = sample;
  std::string error;
  const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (!mmisim::ParseMachine(text, "fuzz.txt", &machine, &error)) {
    Require(td::fuzz::SameMachine(machine, sample, true), "a refused description loads nothing");
    Require(MessageLine(error, "fuzz.txt", lines) >= 0, "a refusal names the source and a line of it");
    return 0;
  }
  RequireRules(machine);
  RequireDecimal(text, machine);
  const std::string again = td::fuzz::MachineText(machine);
  mmisim::Machine reread;
  Require(mmisim::ParseMachine(again, "again.txt", &reread, &error), "the machine written out is accepted");
  Require(td::fuzz::SameMachine(machine, reread, false), "the machine written out reads back the same");
  return 0;
}
