// A tree in a temporary folder for the history's tests, and a hostile
// user's git settings (HOME) for the whole test program.
#ifndef TESTS_HISTORY_HISTORY_FIXTURE_H
#define TESTS_HISTORY_HISTORY_FIXTURE_H

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "history/history.h"

namespace history_test {

class HistoryTest : public ::testing::Test {
 public:
  // A shell command's standard output and exit status (sh -c).
  static std::string Run(const std::string& command, int* status = nullptr);
  static bool HaveGit();

 protected:
  void SetUp() override;
  void TearDown() override;

  void Write(const std::string& relative, const std::string& bytes);
  std::string Read(const std::string& relative) const;
  std::shared_ptr<history::History> OpenHistory();
  // The files the last entry holds: path -> bytes, read with libgit2.
  std::map<std::string, std::string> LastEntryFiles(const history::History& history) const;

  std::string root_;
  const history::ChangeInfo alice_{"alice", "station-1", "set 0003 speed=5", "recipe fix", "bob"};
};

}  // namespace history_test

#endif  // TESTS_HISTORY_HISTORY_FIXTURE_H
