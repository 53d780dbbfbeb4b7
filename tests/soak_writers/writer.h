// One of the many writers: a process of its own that runs the tool's
// commands at random on its own types, now and then killed on the way, and
// keeps a model of what its successful commands must have left. Writers
// give their types name parts of their own, so that no other writer's
// command may change them: whatever another writer's command does to them
// (a lost catalogue line, a file overwritten) is a fault.
#ifndef TESTS_SOAK_WRITERS_WRITER_H
#define TESTS_SOAK_WRITERS_WRITER_H

#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "soak_writers/tool_process.h"

namespace td::soak {

// A type as the tool exports it: its name and, by config prefix, the
// values of every kind ({"D": {"1": 12.5, ...}, ...}).
struct TypeState {
  std::string name;
  std::map<std::string, nlohmann::json> configs;
};

struct WriterFigures {
  std::map<std::string, long> runs, succeeded, killed;
};

class Writer {
 public:
  Writer(int id, std::string root, std::string scratch, unsigned long long seed, double killRate);

  // One command at random; false on a fault (failure() says which).
  bool Step(const TypeState& typeZero);
  // The types this writer's commands made, as the model says they are.
  const std::map<int, TypeState>& types() const { return types_; }
  // Type numbers of adds that were killed and left no listed type: their
  // folders may hold files that check reports.
  const std::set<int>& unlisted() const { return unlisted_; }
  // Name parts, as check names them ("part 1 'T30'"), whose types may hold
  // different shared configs: a command killed while it pushed or pulled
  // them copies to some of the types and not to the others.
  const std::set<std::string>& unevenParts() const { return unevenParts_; }
  // The leftovers of killed adds were cleared away.
  void ForgetUnlisted() { unlisted_.clear(); }
  const std::string& failure() const { return failure_; }
  const WriterFigures& figures() const { return figures_; }

 private:
  using Allowed = std::vector<nlohmann::json>;  // contents one config may hold

  ToolResult Run(const std::string& command, const std::vector<std::string>& args, bool mayKill);
  bool Fail(const std::string& what);
  std::string RandomName();
  int PartOf(const std::string& prefix) const;
  std::string Part(const std::string& name, int position) const;
  // The types other than number whose name has the same part as name at
  // the position through which prefix is shared.
  std::vector<int> Sharing(int number, const std::string& name, const std::string& prefix) const;
  // Reads the type back and takes it when every config holds one of its
  // allowed contents (and the name is one of the names given).
  bool ReadBack(int number, const std::map<std::string, Allowed>& allowed,
                const std::set<std::string>& names);

  bool Add(const TypeState& typeZero);
  bool Rename();
  bool SetOrImport(bool import);
  bool Use();
  bool ReadOnly(const std::string& command);
  void MayBeUneven(const std::string& name);

  int id_;
  std::string root_;
  std::string scratch_;
  std::mt19937_64 random_;
  double killRate_;
  std::map<int, TypeState> types_;
  std::set<int> unlisted_;
  std::set<std::string> unevenParts_;
  std::string failure_;
  WriterFigures figures_;
};

// Reads a type with 'export'; false when the tool does not give it.
bool ExportType(const std::string& root, const std::string& scratch, int number, TypeState* state,
                std::string* error);

}  // namespace td::soak

#endif  // TESTS_SOAK_WRITERS_WRITER_H
