#include "golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "support/workspace.h"

namespace td::testing {

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

// The line (1-based) where two texts first differ, and its text in each.
std::size_t FirstDifference(const std::string& expected, const std::string& actual, std::string* wanted,
                            std::string* got, std::string* step) {
  std::size_t line = 1;
  std::size_t a = 0;
  std::size_t b = 0;
  for (;;) {
    const std::size_t endA = std::min(expected.find('\n', a), expected.size());
    const std::size_t endB = std::min(actual.find('\n', b), actual.size());
    *wanted = a < expected.size() ? expected.substr(a, endA - a) : "(end of file)";
    *got = b < actual.size() ? actual.substr(b, endB - b) : "(end of transcript)";
    if (*wanted != *got || a >= expected.size() || b >= actual.size()) return line;
    if (got->rfind("$ ", 0) == 0) *step = *got;
    a = endA + 1;
    b = endB + 1;
    ++line;
  }
}

}  // namespace

std::string WithoutRunDetails(std::string text, const std::string& root) {
  ReplaceAll(text, root, "<ROOT>");
  // The workspace's name, should a path of it be printed some other way.
  static const std::regex workspace("typedata-test-[0-9a-f]+");
  return std::regex_replace(text, workspace, "<WORKSPACE>");
}

std::string TranscriptStep(const std::string& asked, const std::string& status, const std::string& printed) {
  std::string step = "$ " + asked + "\n" + status + "\n" + printed;
  // Whether the last line ended is kept too.
  if (!printed.empty() && printed.back() != '\n') step += "\n(no line end)\n";
  return step + "\n";
}

void ExpectGolden(const std::string& name, const std::string& transcript) {
  const std::string file = std::string(TD_GOLDEN_DIR) + "/" + name;
  const char* update = std::getenv("TD_GOLDEN_UPDATE");
  if (update && std::string(update) == "1") {
    std::filesystem::create_directories(TD_GOLDEN_DIR);
    WriteFileBytes(file, transcript);
    std::cout << "wrote " << file << "\n";
    return;
  }
  ASSERT_TRUE(FileExists(file)) << file << " is missing; make it with TD_GOLDEN_UPDATE=1";
  const std::string expected = ReadFileBytes(file);
  if (expected == transcript) return;
  const std::string actual = std::string(TD_GOLDEN_OUT) + "/" + name;
  std::filesystem::create_directories(TD_GOLDEN_OUT);
  WriteFileBytes(actual, transcript);
  std::string wanted;
  std::string got;
  std::string step = "(before the first step)";
  const std::size_t line = FirstDifference(expected, transcript, &wanted, &got, &step);
  ADD_FAILURE() << "The output differs from " << file << " at line " << line << ", in\n  " << step
                << "\nexpected: " << wanted << "\n  actual: " << got << "\nThe whole output is in " << actual
                << " (diff -u " << file << " " << actual << ").\n"
                << "If the change is meant, run this test with TD_GOLDEN_UPDATE=1 in the environment to "
                   "write the file anew, and review and commit its difference.";
}

}  // namespace td::testing
