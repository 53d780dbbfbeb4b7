// typedata serve: the tree is opened once to see that it is there before
// anyone is told to look; the server opens it for each request.
#include "serve/serve.h"
#include "cli/command.h"
#include "cli/commands.h"

namespace tool {
namespace {

class ServeCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--port", serve_.port, "the port on 127.0.0.1 (default: a free one)")
        ->option_text("PORT");
    command.add_flag("--open", serve_.open, "open the address in the desktop's browser");
  }

  int Run(const GlobalOptions& options, Session* /*session*/, Output& out) override {
#ifdef TD_HAVE_SERVE
    {
      Session session;
      if (!OpenTree(options, &session, out)) return kUsageError;
    }
    if (serve_.port < 0 || serve_.port > 65535) {
      out.Error("--port is from 1 to 65535 (0: a free port)");
      return kUsageError;
    }
    return tool::Serve(options, serve_, out) ? kDone : kUsageError;
#else
    (void)options;
    out.Error("serve is not available in this build of typedata (it is in the Linux tool)");
    return kUsageError;
#endif
  }

 private:
  ServeOptions serve_;
};

}  // namespace

std::unique_ptr<Command> MakeServe() { return std::make_unique<ServeCommand>(); }

}  // namespace tool
