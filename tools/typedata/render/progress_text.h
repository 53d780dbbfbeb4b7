// Progress as the printer's bar on the messages stream (stderr): redrawn
// on a terminal, only the finished bar elsewhere.
#ifndef TOOLS_TYPEDATA_RENDER_PROGRESS_TEXT_H
#define TOOLS_TYPEDATA_RENDER_PROGRESS_TEXT_H

#include <string>

#include "core/progress.h"
#include "render/output.h"

namespace tool {

class TextProgress : public Progress {
 public:
  explicit TextProgress(Output& out) : out_(out) {}
  void Step(const std::string& label, long done, long total) override;
  void End() override;

 private:
  Output& out_;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_PROGRESS_TEXT_H
