// typedata list.
#include "ops/list.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class List final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--sort", order_, "by number (the default), by name, or as the catalogue holds them")
        ->check(CLI::IsMember({"number", "name", "catalogue"}))
        ->option_text("number|name|catalogue");
    command.add_flag("--sorted", sorted_, "the same as --sort name");
    command.footer(
        "A catalogue that lists no type says so and exits 0. Exit 1 when two catalogues' names differ\n"
        "only in letter case (the service reads neither) or when none of the catalogue's records can be\n"
        "read ('typedata check' names them); exit 2 when the catalogue cannot be read (the system's "
        "reason).\n");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const ListOrder order = sorted_ ? ListOrder::kName : ListOrderNamed(order_).value_or(ListOrder::kNumber);
    const Result<ListModel> list = ops::List(*session, {order});
    if (!list.ok()) return Refuse(list.refusal(), out);
    if (list.model().types.empty()) out.Note(session->CataloguePath() + " lists no types");
    Present(options, list.model(), out);
    return kDone;
  }

 private:
  std::string order_ = "number";
  bool sorted_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeList() { return std::make_unique<List>(); }

}  // namespace tool
