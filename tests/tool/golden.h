// Documents kept as the tool printed them when they were last accepted:
// a transcript of a scenario compared byte for byte with a checked-in file.
#ifndef TESTS_TOOL_GOLDEN_H
#define TESTS_TOOL_GOLDEN_H

#include <string>

namespace td::testing {

// The text with what differs between runs put as placeholders: the
// workspace's root as <ROOT> (also where it is printed other than whole).
std::string WithoutRunDetails(std::string text, const std::string& root);

// One step of a transcript: what was asked, its exit status, what it printed.
std::string TranscriptStep(const std::string& asked, const std::string& status, const std::string& printed);

// Compares the transcript with tests/data/golden/NAME; with TD_GOLDEN_UPDATE=1
// in the environment writes it there instead. On a difference it names the
// first step that differs and leaves the whole transcript in the build folder.
void ExpectGolden(const std::string& name, const std::string& transcript);

}  // namespace td::testing

#endif  // TESTS_TOOL_GOLDEN_H
