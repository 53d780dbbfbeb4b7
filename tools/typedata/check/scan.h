// The line scan of a type data file: its lines split and cut as the
// service's reader splits and cuts them (comments at "//", white space
// trimmed, items at ',' and ';'), for the line numbers the reader does not
// give and for what it passes over in silence.
#ifndef TOOLS_TYPEDATA_CHECK_SCAN_H
#define TOOLS_TYPEDATA_CHECK_SCAN_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check/check.h"
#include "typedata.h"

namespace tool {

class LineScan {
 public:
  // Scans bytes[0, size), which it cuts in place (bytes[size] must be
  // writable), and adds what it finds to problems as problems of file.
  // The object keeps its memory from one file to the next.
  void Run(const ConfigRecord& config, const std::string& file, int typeNo, char* bytes, std::size_t size,
           std::vector<Problem>* problems);

  bool anySection() const { return anySection_; }
  // Whether the file holds a section of kind k (0-4: D S A L V), and the
  // line of its last header.
  bool present(int k) const { return kinds_[k].present; }
  int sectionLine(int k) const { return kinds_[k].sectionLine; }
  // The line of item (1-based) of kind k in its last section; 0 when that
  // section does not hold it.
  int LineOf(int k, unsigned item) const {
    const Kind& kind = kinds_[k];
    if (item >= kind.lines.size() || kind.section == 0 || kind.lines[item].first != kind.section) return 0;
    return kind.lines[item].second;
  }

 private:
  struct Kind {
    bool present = false;
    int sectionLine = 0;
    std::uint32_t section = 0;  // which header of the file the lines below belong to
    // Per item: the header it was seen under, and its first line there.
    std::vector<std::pair<std::uint32_t, int>> lines;
  };

  void Report(int line, std::string message);
  void Section(const char* text, const char* textEnd, int lineNo);
  void Items(const char* text, const char* textEnd, int lineNo, bool comment);
  // Notes where item number of the current kind stands; false when the
  // number names no item (reported when beyond the config's count).
  bool Seen(long number, int lineNo);

  const ConfigRecord* config_ = nullptr;
  const std::string* file_ = nullptr;
  int typeNo_ = 0;
  std::vector<Problem>* problems_ = nullptr;
  int kind_ = -1;
  bool anySection_ = false;
  std::uint32_t sections_ = 0;
  unsigned counts_[5] = {};
  Kind kinds_[5];
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_SCAN_H
