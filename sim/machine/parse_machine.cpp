// Reader of machine descriptions (docs/machine-description.md).
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <optional>
#include <set>
#include <sstream>

#include "machine.h"

namespace mmisim {
namespace {

constexpr char kKindLetters[5] = {'D', 'S', 'A', 'L', 'V'};

// What a machine can be, beyond a kind's 65535 items and 255 configs. The
// structure library describes every item (0x48 bytes a description), and
// a type's values live in the value memory of the host's 32-bit process,
// offline twins included; a description asking for more is a mistake, and
// is refused before anything that large is made. 2^21 items are 32 kinds
// filled to the brim, twice the large machine of the benchmarks; the
// simulated host then holds about 300 MB.
constexpr std::uint64_t kMaxMachineItems = std::uint64_t{1} << 21;
constexpr std::uint64_t kMaxTypeValueBytes = std::uint64_t{256} << 20;
// Labels, units and limits are for the items people change by hand; a few
// hundred bytes each, so a bound keeps a hostile description small.
constexpr std::uint64_t kMaxAbouts = 65536;

// The value memory that one type's block of count items of kind k takes,
// with its offline twin where the kind has one (D, S and V).
std::uint64_t BlockBytes(int k, std::uint64_t count) {
  const bool text = k == 4;
  const std::uint64_t block = text ? count * 260 + 264 : count * 8 + 16;
  const bool twin = k == 0 || k == 1 || text;
  return twin ? 2 * block : block;
}

int KindIndex(const std::string& word) {
  if (word.size() != 1) return -1;
  for (int k = 0; k < 5; ++k) {
    if (word[0] == kKindLetters[k]) return k;
  }
  return -1;
}

class Parser {
 public:
  Parser(const std::string& source, Machine* machine) : source_(source), machine_(machine) {}

  bool Line(int number, const std::string& text) {
    line_ = number;
    words_.clear();
    quoted_.clear();
    std::istringstream first(text);
    std::string keyword;
    first >> keyword;
    // Only an 'about' line has quoted texts: every other line keeps the
    // meaning it always had, quotes and all.
    if (keyword == "about") {
      if (!QuotedWords(text)) return false;
    } else {
      std::istringstream in(text.substr(0, text.find('#')));
      for (std::string word; in >> word;) words_.push_back(word);
      quoted_.assign(words_.size(), false);
    }
    if (words_.empty()) return true;
    const std::string& key = words_[0];
    if (key == "locale") return Locale();
    if (key == "offline") return Switch(&machine_->offlineEnabled, "on", "off");
    if (key == "hpc") return Switch(&machine_->hpcOnline, "online", "offline");
    if (key == "name-parts") return NameParts();
    if (key == "list-order") return ListOrder();
    if (key == "board") return BoardLine();
    if (key == "config") return ConfigLine();
    if (key == "items") return ItemsLine();
    if (key == "item") return ItemLine();
    if (key == "about") return AboutLine();
    return Fail("unknown keyword '" + key + "'");
  }

  bool Finish(int lines) {
    line_ = lines;
    std::set<int> numbers;
    for (const MachineConfig& config : machine_->configs) numbers.insert(config.configNo);
    for (int n = 1; n <= static_cast<int>(machine_->configs.size()); ++n) {
      if (!numbers.count(n)) {
        return Fail("config numbers must run from 1 to " + std::to_string(machine_->configs.size()) +
                    " without a gap: config " + std::to_string(n) + " is missing");
      }
    }
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool Fail(const std::string& what) {
    error_ = source_ + ":" + std::to_string(line_) + ": " + what;
    return false;
  }

  bool Arity(std::size_t least, std::size_t most) {
    if (words_.size() < least || words_.size() > most) {
      return Fail("'" + words_[0] + "' takes " +
                  (least == most ? std::to_string(least - 1)
                                 : std::to_string(least - 1) + " to " + std::to_string(most - 1)) +
                  " values");
    }
    return true;
  }

  bool Integer(const std::string& word, long low, long high, const std::string& what, long* out) {
    errno = 0;
    char* end = nullptr;
    // Decimal only: "010" would be eight to strtol's own rules, ten to a reader.
    const long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || errno != 0)
      return Fail(what + " '" + word + "' is not a decimal number");
    const std::size_t digits = word.find_first_not_of("+-");
    if (word.size() - digits > 1 && word[digits] == '0')
      return Fail(what + " '" + word + "' begins with 0: numbers are decimal, without leading zeros");
    if (value < low || value > high) {
      return Fail(what + " " + word + " is out of range (" + std::to_string(low) + " to " +
                  std::to_string(high) + ")");
    }
    *out = value;
    return true;
  }

  bool Locale() {
    if (!Arity(2, 2)) return false;
    if (words_[1].size() > 200) return Fail("locale text is longer than 200 characters");
    machine_->localeText = words_[1];
    return true;
  }

  bool Switch(bool* flag, const char* yes, const char* no) {
    if (!Arity(2, 2)) return false;
    if (words_[1] == yes) {
      *flag = true;
    } else if (words_[1] == no) {
      *flag = false;
    } else {
      return Fail("'" + words_[0] + "' is '" + yes + "' or '" + no + "', not '" + words_[1] + "'");
    }
    return true;
  }

  bool NameParts() {
    long parts = 0;
    if (!Arity(2, 2) || !Integer(words_[1], 0, 3, "name part count", &parts)) return false;
    machine_->namePartCount = static_cast<int>(parts);
    return true;
  }

  bool ListOrder() {
    if (!Arity(2, 2)) return false;
    if (words_[1] == "catalogue") {
      machine_->typeListOrder = 0;
    } else if (words_[1] == "name") {
      machine_->typeListOrder = 1;
    } else {
      return Fail("'list-order' is 'catalogue' or 'name', not '" + words_[1] + "'");
    }
    return true;
  }

  bool BoardLine() {
    long code = 0;
    long index = 0;
    if (!Arity(4, 4) || !Integer(words_[1], 128, 143, "board code", &code)) return false;
    if (words_[2] != "index") return Fail("expected 'board CODE index N'");
    if (!Integer(words_[3], 0, 255, "board config index", &index)) return false;
    for (const Board& board : machine_->boards) {
      if (board.code == code) return Fail("board " + words_[1] + " is described twice");
    }
    machine_->boards.push_back(Board{static_cast<int>(code), static_cast<int>(index)});
    return true;
  }

  bool ConfigLine() {
    long number = 0;
    long part = 0;
    if (words_.size() != 4 && words_.size() != 6) {
      return Fail("expected 'config NUMBER prefix NAME [part N]'");
    }
    if (!Integer(words_[1], 1, 255, "config number", &number)) return false;
    if (words_[2] != "prefix") return Fail("expected 'config NUMBER prefix NAME [part N]'");
    const std::string& prefix = words_[3];
    if (prefix.size() > 7) return Fail("prefix '" + prefix + "' is longer than 7 characters");
    // The prefix names files: nothing that could leave the type folder.
    for (unsigned char c : prefix) {
      if (!std::isalnum(c)) return Fail("prefix '" + prefix + "' may hold only letters and digits");
    }
    for (const MachineConfig& config : machine_->configs) {
      if (Folded(config.prefix) == Folded(prefix)) {
        return Fail("prefix '" + prefix + "' is the prefix '" + config.prefix + "' of config " +
                    std::to_string(config.configNo) + " (line " + std::to_string(config.line) +
                    ") but for letter case: both would write the same files");
      }
    }
    if (words_.size() == 6) {
      if (words_[4] != "part") return Fail("expected 'part N' after the prefix");
      if (!Integer(words_[5], 0, 3, "part position", &part)) return false;
    }
    for (const MachineConfig& config : machine_->configs) {
      if (config.configNo == number) {
        return Fail("config number " + words_[1] + " is used twice (first on line " +
                    std::to_string(config.line) + ")");
      }
    }
    if (machine_->configs.size() >= 255) return Fail("a machine has at most 255 configs");
    MachineConfig config;
    config.configNo = static_cast<int>(number);
    config.prefix = prefix;
    config.partNo = static_cast<int>(part);
    config.line = line_;
    machine_->configs.push_back(config);
    return true;
  }

  bool CurrentKind(const std::string& word, MachineConfig** config, KindItems** kind) {
    if (machine_->configs.empty()) return Fail("'" + words_[0] + "' comes before any 'config'");
    const int k = KindIndex(word);
    if (k < 0) return Fail("unknown kind letter '" + word + "' (D, S, A, L or V)");
    *config = &machine_->configs.back();
    *kind = &(*config)->kinds[k];
    return true;
  }

  bool ItemsLine() {
    MachineConfig* config = nullptr;
    KindItems* kind = nullptr;
    long count = 0;
    if (!Arity(3, 3) || !CurrentKind(words_[1], &config, &kind)) return false;
    if (!Integer(words_[2], 0, 65535, "item count", &count)) return false;
    if (kind->declared) return Fail("the count of " + words_[1] + " is given twice");
    const auto items = static_cast<std::uint64_t>(count);
    if (items_ + items > kMaxMachineItems) {
      return Fail("item count " + words_[2] + " of " + words_[1] + " would give the machine " +
                  std::to_string(items_ + items) + " items; a machine has at most " +
                  std::to_string(kMaxMachineItems));
    }
    const std::uint64_t bytes = BlockBytes(KindIndex(words_[1]), items);
    if (valueBytes_ + bytes > kMaxTypeValueBytes) {
      return Fail("item count " + words_[2] + " of " + words_[1] + " would make a type's values take " +
                  std::to_string((valueBytes_ + bytes) >> 20) +
                  " MiB of value memory; a machine's take at most " +
                  std::to_string(kMaxTypeValueBytes >> 20) + " MiB");
    }
    items_ += items;
    valueBytes_ += bytes;
    kind->declared = true;
    kind->count = static_cast<std::uint32_t>(count);
    ItemDescription item;
    if (words_[1] == "V") item.dataType = 'C';
    kind->items.assign(kind->count, item);
    return true;
  }

  bool ItemLine() {
    MachineConfig* config = nullptr;
    KindItems* kind = nullptr;
    if (words_.size() < 4 || !CurrentKind(words_[1], &config, &kind)) {
      return words_.size() < 4 ? Fail("expected 'item KIND FIRST[-LAST] TYPE [DEFAULT] [scale N]'") : false;
    }
    long first = 0;
    long last = 0;
    if (!Range(*kind, &first, &last)) return false;
    ItemDescription item;
    const std::string& type = words_[3];
    if (type == "none") {
      item.described = false;
    } else if (type == "blank") {
      item.dataType = ' ';
    } else if (type == "zero") {
      item.dataType = '\0';
    } else if (type.size() == 1 && type[0] >= 'A' && type[0] <= 'Z') {
      item.dataType = type[0];
    } else {
      return Fail("data type '" + type + "' is not a capital letter, 'blank', 'zero' or 'none'");
    }
    std::size_t at = 4;
    if (at < words_.size() && words_[at] != "scale") {
      if (words_[1] == "V") return Fail("texts have no default value");
      char* end = nullptr;
      item.defaultValue = std::strtod(words_[at].c_str(), &end);
      if (*end != '\0' || !std::isfinite(item.defaultValue) ||
          words_[at].find_first_of("xX") != std::string::npos) {
        return Fail("default value '" + words_[at] + "' is not a decimal number");
      }
      ++at;
    }
    if (at < words_.size()) {
      long scale = 0;
      if (words_[at] != "scale" || at + 2 != words_.size()) return Fail("expected 'scale N' at the end");
      if (!Integer(words_[at + 1], 0, 9, "scale", &scale)) return false;
      item.scale = static_cast<int>(scale);
    }
    if (!DefaultFits(item)) return false;
    for (long n = first; n <= last; ++n) {
      // What an 'about' line said of the item stays, and still fits.
      const auto about = kind->about.find(static_cast<std::uint32_t>(n));
      if (about != kind->about.end() && !LimitsFit(item, about->second, n)) return false;
      kind->items[static_cast<std::size_t>(n - 1)] = item;
    }
    return true;
  }

  // FIRST[-LAST] of an 'item' or 'about' line, within the kind's count.
  bool Range(const KindItems& kind, long* first, long* last) {
    if (!kind.declared) return Fail("'items " + words_[1] + " COUNT' must come before its items");
    const std::string& range = words_[2];
    const std::size_t dash = range.find('-');
    if (quoted_[2] || !Integer(range.substr(0, dash), 1, 65535, "item number", first)) {
      return quoted_[2] ? Fail("item number '" + range + "' is not a decimal number") : false;
    }
    *last = *first;
    if (dash != std::string::npos &&
        !Integer(range.substr(dash + 1), *first, 65535, "last item number", last)) {
      return false;
    }
    if (*last > static_cast<long>(kind.count)) {
      return Fail("item " + std::to_string(*last) + " is beyond the count " + std::to_string(kind.count) +
                  " of " + words_[1]);
    }
    return true;
  }

  // The words of an 'about' line: a word in double quotes may hold blanks
  // and '#' (a label such as "Tool #2"); a '#' outside quotes begins a
  // comment.
  bool QuotedWords(const std::string& text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t at = 0;
    while (at < text.size()) {
      if (blank(text[at])) {
        ++at;
      } else if (text[at] == '#') {
        break;
      } else if (text[at] == '"') {
        const std::size_t close = text.find('"', at + 1);
        if (close == std::string::npos) return Fail("a quoted text has no closing '\"'");
        words_.push_back(text.substr(at + 1, close - at - 1));
        quoted_.push_back(true);
        at = close + 1;
        if (at < text.size() && !blank(text[at]) && text[at] != '#')
          return Fail("a quoted text must be followed by a blank");
      } else {
        std::size_t end = at;
        while (end < text.size() && !blank(text[end]) && text[end] != '#') {
          if (text[end] == '"') return Fail("'\"' may only begin and end a quoted text");
          ++end;
        }
        words_.push_back(text.substr(at, end - at));
        quoted_.push_back(false);
        at = end;
      }
    }
    return true;
  }

  // about KIND FIRST[-LAST] [label TEXT] [unit UNIT] [min N] [max N]
  bool AboutLine() {
    MachineConfig* config = nullptr;
    KindItems* kind = nullptr;
    const char* form = "expected 'about KIND FIRST[-LAST] [label TEXT] [unit UNIT] [min N] [max N]'";
    if (words_.size() < 5 || words_.size() % 2 == 0 || quoted_[1]) return Fail(form);
    if (!CurrentKind(words_[1], &config, &kind)) return false;
    long first = 0;
    long last = 0;
    if (!Range(*kind, &first, &last)) return false;
    ItemAbout about;
    std::set<std::string> given;
    for (std::size_t at = 3; at < words_.size(); at += 2) {
      const std::string& clause = words_[at];
      const std::string& value = words_[at + 1];
      if (quoted_[at]) return Fail(form);
      if (!given.insert(clause).second) return Fail("'" + clause + "' is given twice");
      if (clause == "label") {
        if (!Text(value, 60, "label")) return false;
        about.label = value;
      } else if (clause == "unit") {
        if (!Text(value, 16, "unit")) return false;
        about.unit = value;
      } else if (clause == "min" || clause == "max") {
        double limit = 0.0;
        if (!Limit(value, clause, &limit)) return false;
        (clause == "min" ? about.minimum : about.maximum) = limit;
      } else {
        return Fail("'about' says 'label', 'unit', 'min' or 'max', not '" + clause + "'");
      }
    }
    if ((about.minimum || about.maximum) && words_[1] == "V") return Fail("texts have no limits");
    for (long n = first; n <= last; ++n) {
      const auto number = static_cast<std::uint32_t>(n);
      if (!kind->about.count(number) && ++abouts_ > kMaxAbouts) {
        return Fail("a machine gives at most " + std::to_string(kMaxAbouts) +
                    " items a label, unit or limits");
      }
      ItemAbout& item = kind->about[number];
      const std::string name = words_[1] + " " + std::to_string(n);
      for (const auto& [clause, has] : {std::pair<const char*, bool>{"label", !item.label.empty()},
                                        {"unit", !item.unit.empty()},
                                        {"min", item.minimum.has_value()},
                                        {"max", item.maximum.has_value()}}) {
        if (has && given.count(clause))
          return Fail("the " + std::string(clause) + " of item " + name + " is given twice");
      }
      if (given.count("label")) item.label = about.label;
      if (given.count("unit")) item.unit = about.unit;
      if (given.count("min")) item.minimum = about.minimum;
      if (given.count("max")) item.maximum = about.maximum;
      if (!LimitsFit(kind->items[static_cast<std::size_t>(n - 1)], item, n)) return false;
    }
    return true;
  }

  // A label or a unit: shown wherever the item is, so printable UTF-8.
  bool Text(const std::string& text, std::size_t most, const std::string& what) {
    if (text.empty()) return Fail("the " + what + " is empty");
    if (text.size() > most)
      return Fail("the " + what + " '" + text + "' is longer than " + std::to_string(most) + " bytes");
    for (unsigned char c : text) {
      if (c < 0x20 || c == 0x7F) return Fail("the " + what + " holds a control character");
    }
    if (!Utf8(text)) return Fail("the " + what + " is not UTF-8");
    return true;
  }

  // Well-formed UTF-8 only: no overlong forms, surrogates or code points
  // beyond U+10FFFF, which a JSON document could not carry faithfully.
  static bool Utf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
      const auto lead = static_cast<unsigned char>(text[i]);
      std::size_t length = 0;
      unsigned char low = 0x80;  // the bounds of the second byte
      unsigned char high = 0xBF;
      if (lead < 0x80) {
        length = 1;
      } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
      } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
      } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
      }
      if (length == 0 || i + length > text.size()) return false;
      for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
      }
      i += length;
    }
    return true;
  }

  // A limit in the form type data files write numbers (and set takes them):
  // an optional '-', digits without a leading zero, optionally '.' and digits.
  bool Limit(const std::string& word, const std::string& clause, double* out) {
    const std::string what = clause == "min" ? "minimum" : "maximum";
    std::size_t at = !word.empty() && word[0] == '-' ? 1 : 0;
    const std::size_t digits = at;
    while (at < word.size() && std::isdigit(static_cast<unsigned char>(word[at]))) ++at;
    std::size_t whole = at - digits;
    if (whole > 0 && at < word.size() && word[at] == '.') {
      const std::size_t fraction = ++at;
      while (at < word.size() && std::isdigit(static_cast<unsigned char>(word[at]))) ++at;
      if (at == fraction) whole = 0;
    }
    if (whole == 0 || at != word.size())
      return Fail(what + " '" + word + "' is not a decimal number (digits, an optional '-' and '.')");
    if (whole > 1 && word[digits] == '0')
      return Fail(what + " '" + word + "' begins with 0: numbers are decimal, without leading zeros");
    *out = std::strtod(word.c_str(), nullptr);
    if (!std::isfinite(*out)) return Fail(what + " '" + word + "' is too large");
    return true;
  }

  // Limits belong to numbers in use; an integer item's are whole numbers;
  // the minimum is no more than the maximum, and the default lies between
  // them, since a new type takes it.
  bool LimitsFit(const ItemDescription& item, const ItemAbout& about, long number) {
    if (!about.minimum && !about.maximum) return true;
    const std::string name = "item " + words_[1] + " " + std::to_string(number);
    if (!item.described || item.dataType == '\0' || item.dataType == ' ')
      return Fail(name + " is not in use, and has no limits");
    const bool real = item.dataType == 'P' || item.dataType == 'F';
    for (const std::optional<double>& limit : {about.minimum, about.maximum}) {
      if (limit && !real && *limit != std::trunc(*limit)) {
        return Fail("limit " + Shown(*limit) + " of " + name +
                    " is not a whole number, as an integer item's must be");
      }
    }
    if (about.minimum && about.maximum && *about.minimum > *about.maximum) {
      return Fail("the minimum " + Shown(*about.minimum) + " of " + name + " is above its maximum " +
                  Shown(*about.maximum));
    }
    if (about.minimum && item.defaultValue < *about.minimum) {
      return Fail("the default value " + Shown(item.defaultValue) + " of " + name + " is below its minimum " +
                  Shown(*about.minimum));
    }
    if (about.maximum && item.defaultValue > *about.maximum) {
      return Fail("the default value " + Shown(item.defaultValue) + " of " + name + " is above its maximum " +
                  Shown(*about.maximum));
    }
    return true;
  }

  static std::string Shown(double value) {
    std::ostringstream text;
    text << std::setprecision(15) << value;
    return text.str();
  }

  // The controller holds every value as a signed 32-bit integer: an
  // integer item's default must be a whole number in that range, a real
  // item's default times 10 to its scale too.
  bool DefaultFits(const ItemDescription& item) {
    if (!item.described || item.dataType == '\0' || item.dataType == ' ') return true;
    const bool real = item.dataType == 'P' || item.dataType == 'F';
    const double form = real ? std::round(item.defaultValue * std::pow(10.0, item.scale)) : item.defaultValue;
    if (!real && form != std::trunc(form))
      return Fail("default value " + words_[4] + " is not a whole number, as an integer item's must be");
    if (form < -2147483648.0 || form > 2147483647.0) {
      return Fail("default value " + words_[4] + " does not fit the controller's 32-bit integer" +
                  (real ? " at scale " + std::to_string(item.scale) : std::string()));
    }
    return true;
  }

  static std::string Folded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }

  std::string source_;
  Machine* machine_;
  std::vector<std::string> words_;
  std::vector<bool> quoted_;  // words_[i] was given in quotes
  std::string error_;
  int line_ = 0;
  std::uint64_t items_ = 0;       // of every kind of every config so far
  std::uint64_t valueBytes_ = 0;  // one type's value memory so far
  std::uint64_t abouts_ = 0;      // items with a label, unit or limits so far
};

}  // namespace

bool ParseMachine(const std::string& text, const std::string& source, Machine* machine, std::string* error) {
  Machine parsed;
  Parser parser(source, &parsed);
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!parser.Line(++number, line)) {
      if (error) *error = parser.error();
      return false;
    }
  }
  if (!parser.Finish(number)) {
    if (error) *error = parser.error();
    return false;
  }
  *machine = std::move(parsed);
  return true;
}

bool LoadMachineFile(const std::string& path, Machine* machine, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ":0: cannot open the machine description";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseMachine(text.str(), path, machine, error);
}

}  // namespace mmisim
