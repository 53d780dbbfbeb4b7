// Why an operation gave no model: its kind, which each front end turns
// into its own answer (an exit status, an HTTP status), and the message,
// whole, as the command line says it after "typedata: ".
#ifndef TOOLS_TYPEDATA_CORE_REFUSAL_H
#define TOOLS_TYPEDATA_CORE_REFUSAL_H

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tool {

enum class RefusalKind {
  kNotFound,     // no such type (or config)
  kRefused,      // the request cannot be carried out as it stands
  kBusy,         // another command holds the tree
  kNoTree,       // the tree cannot be opened (gone, or its machine unreadable)
  kInputOutput,  // a file could not be read or written
  kUsage,        // the tree or the request is not one the tool can work on
};

struct Refusal {
  RefusalKind kind = RefusalKind::kRefused;
  std::string message;
  std::string file;                // input/output: the file, when one is named
  std::string reason;              // input/output: the system's reason, when it gave one
  std::vector<std::string> notes;  // what the work found before it stopped (a value rounded), in order

  static Refusal Of(RefusalKind kind, std::string message) { return {kind, std::move(message), {}, {}, {}}; }
  static Refusal InputOutput(std::string message, std::string file, std::string reason) {
    return {RefusalKind::kInputOutput, std::move(message), std::move(file), std::move(reason), {}};
  }
};

// A model, or the refusal that stands for it.
template <typename Model>
class Result {
 public:
  Result(Model model) : value_(std::move(model)) {}        // NOLINT(google-explicit-constructor)
  Result(Refusal refusal) : value_(std::move(refusal)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return std::holds_alternative<Model>(value_); }
  const Model& model() const { return std::get<Model>(value_); }
  Model& model() { return std::get<Model>(value_); }
  const Refusal& refusal() const { return std::get<Refusal>(value_); }

 private:
  std::variant<Model, Refusal> value_;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_REFUSAL_H
