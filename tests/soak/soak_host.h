// A host that works the service at random, as an operator's days would:
// types added and renamed, values changed and saved, types loaded and made
// current, downloads, files copied between types, the host started afresh
// from the catalogue file, and now and then a new catalogue. Faults are injected at random: the Nth
// file operation fails, or the Nth allocation of the shell library. After
// every step the type tree and the host's memory must agree with the model.
#ifndef TESTS_SOAK_SOAK_HOST_H
#define TESTS_SOAK_SOAK_HOST_H

#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "soak/soak_model.h"

namespace td::soak {

struct OperationFigures {
  long runs = 0;
  long faultsFired = 0;  // runs in which an injected fault struck
  long failed = 0;       // runs the service answered with a failure
};

class SoakHost {
 public:
  // root: the folder that holds type/ (the current directory's parent).
  SoakHost(std::string root, std::uint64_t seed, int maxTypes);

  // A new catalogue of type 0, loaded and made current. False (with the
  // reason in failure()) when the tree or memory disagrees with the model.
  bool Begin();
  // One operation picked at random.
  bool Step();

  const std::string& failure() const { return failure_; }
  const std::map<std::string, OperationFigures>& figures() const { return figures_; }
  const Model& model() const { return model_; }

 private:
  class Faults;

  void Add(Faults& faults);
  void Rename(Faults& faults);
  void EditAndSave();
  void Switch(Faults& faults);
  void Download();
  void Copy(Faults& faults);
  void Restart();
  void NewCatalogue(Faults& faults);
  // The host started again from the catalogue file, nothing loaded.
  void StartAfresh();
  // The type read from its files and made current.
  void Reload(int typeNo);

  // Settles the model on what the tree holds: every file and the catalogue
  // as `older` or `newer` has them (each one on its own when mixed is true,
  // else all as newer); memory and the current type as `memory` has them.
  // Records a failure when the tree matches neither.
  void Settle(const Model& older, const Model& newer, bool mixed, const Model& memory);
  void Expect(bool holds, const std::string& what);
  bool Check(const char* operation);

  // The model with the type's files loaded into value and comm memory.
  void LoadInto(Model* model, int typeNo) const;
  // The values SaveCurrentTypeData writes for a config from the memory
  // (and comm memory) the model describes.
  ConfigValues SavedValues(const Model& model, const ConfigShape& config) const;
  // A type about to be named newName, or renamed from referenceName, takes
  // the shared configs of each changed part from the first type with it.
  void Pull(Model* model, const std::string& referenceName, int target, const std::string& newName) const;
  // The current type's shared configs copied to every type with the same
  // part.
  void Spread(Model* model) const;

  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  std::string RandomName();
  std::string RandomText();
  std::int32_t RandomComm();

  std::string root_;
  std::mt19937_64 random_;
  int maxTypes_;
  std::vector<ConfigShape> machine_;
  Model model_;
  std::string failure_;
  std::string operation_;
  long step_ = 0;
  std::map<std::string, OperationFigures> figures_;
};

}  // namespace td::soak

#endif  // TESTS_SOAK_SOAK_HOST_H
