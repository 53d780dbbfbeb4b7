// Progress for programs: one JSON object a line on the messages stream,
// {"progress":"checking types","done":12,"total":400}, so that stdout keeps
// its one document. Thinned as the bar is: nothing when total is 0 (too
// few steps to show), else the first step, a line each time the bar would
// gain a cell, and the last step always.
#ifndef TOOLS_TYPEDATA_RENDER_PROGRESS_JSON_H
#define TOOLS_TYPEDATA_RENDER_PROGRESS_JSON_H

#include <cstdio>
#include <string>

#include "core/progress.h"

namespace tool {

class JsonProgress : public Progress {
 public:
  explicit JsonProgress(std::FILE* messages = stderr) : messages_(messages) {}
  void Step(const std::string& label, long done, long total) override;
  void End() override;

 private:
  std::FILE* messages_;
  std::string label_;  // of the last line written
  long cells_ = -1;    // the bar's filled cells at the last line written
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_PROGRESS_JSON_H
