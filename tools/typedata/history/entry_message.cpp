#include "history/entry_message.h"

#include <git2.h>

#include "history/git_util.h"
#include "history/history.h"

namespace history {

std::string OneLine(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) c = ' ';
  }
  // Blanks at the ends would not survive the trailer's reading.
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

std::string BuildMessage(const std::string& summary, const TrailerList& trailers) {
  std::string message = OneLine(summary);
  if (message.empty()) message = "typedata";
  message += "\n\n";
  for (const auto& [key, value] : trailers) {
    const std::string clean = OneLine(value);
    if (clean.empty()) continue;
    message.append(key).append(": ").append(clean).append("\n");
  }
  return message;
}

EntryTrailers ParseTrailers(const std::string& message) {
  StartGit();
  EntryTrailers out;
  git_message_trailer_array array{};
  if (git_message_trailers(&array, message.c_str()) < 0) return out;
  for (std::size_t i = 0; i < array.count; ++i) {
    const std::string key = array.trailers[i].key;
    const std::string value = array.trailers[i].value;
    if (key == kUserTrailer)
      out.user = value;
    else if (key == kStationTrailer)
      out.station = value;
    else if (key == kCommandTrailer)
      out.command = value;
    else if (key == kReasonTrailer)
      out.reason = value;
    else if (key == kCheckedByTrailer)
      out.checkedBy = value;
    else if (key == kRecordedByTrailer)
      out.recordedBy = value;
    else if (key == kOutsideTrailer)
      out.outside = value == "true";
    else if (key == kInterruptedTrailer)
      out.interrupted = value == "true";
    else if (key == kFirstTrailer)
      out.first = value == "true";
  }
  git_message_trailer_array_free(&array);
  return out;
}

std::string SummaryOf(const std::string& message) { return message.substr(0, message.find('\n')); }

}  // namespace history
