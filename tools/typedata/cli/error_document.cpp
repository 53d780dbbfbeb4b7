#include "cli/error_document.h"

#include <cctype>

namespace tool {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// "a/b", "C:\x\y", "name.csv"; not "D:1", "'D:1=40'" or "configs[1].D.\"1\"".
bool NamesAFile(const std::string& word) {
  if (word.empty() || word.find_first_of("'\"=<>|*?") != std::string::npos) return false;
  if (word.find_first_of("/\\") != std::string::npos) return true;
  const std::size_t dot = word.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == word.size() || word.size() - dot > 9) return false;
  for (std::size_t i = dot + 1; i < word.size(); ++i) {
    if (!IsAlnum(word[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<FilePlace> FileNamedIn(const std::string& message) {
  for (std::size_t start = 0; start < message.size();) {
    // A word runs to the next space; a Windows drive's colon is part of it.
    std::size_t colon = message.find(':', start);
    if (colon == start + 1 && std::isalpha(static_cast<unsigned char>(message[start])) &&
        colon + 1 < message.size() && (message[colon + 1] == '\\' || message[colon + 1] == '/'))
      colon = message.find(':', colon + 1);
    const std::size_t space = message.find(' ', start);
    if (colon != std::string::npos && colon < space) {
      const std::string word = message.substr(start, colon - start);
      std::size_t after = colon + 1;
      std::optional<long> line;
      std::size_t digits = after;
      while (digits < message.size() && IsDigit(message[digits])) ++digits;
      if (digits > after && digits < message.size() && message[digits] == ':' && digits - after < 10) {
        line = std::stol(message.substr(after, digits - after));
        after = digits + 1;
      }
      const bool followed = after == message.size() || message[after] == ' ';
      if (followed && NamesAFile(word)) return FilePlace{word, line};
    }
    if (space == std::string::npos) break;
    start = space + 1;
  }
  return std::nullopt;
}

nlohmann::ordered_json ErrorDocument(const std::string& command, FailureKind kind,
                                     const std::string& message) {
  static const char* const kKinds[] = {"usage", "refused", "failed", "fault"};
  nlohmann::ordered_json error;
  error["kind"] = kKinds[static_cast<int>(kind)];
  error["message"] = message;
  if (const auto place = FileNamedIn(message)) {
    error["file"] = place->file;
    if (place->line) error["line"] = *place->line;
  }
  nlohmann::ordered_json document;
  document["schemaVersion"] = 1;
  document["command"] = command.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(command);
  document["error"] = error;
  return document;
}

}  // namespace tool
