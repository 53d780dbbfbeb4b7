// How long work tells how far it has come, without knowing who shows it.
#ifndef TOOLS_TYPEDATA_CORE_PROGRESS_H
#define TOOLS_TYPEDATA_CORE_PROGRESS_H

#include <string>

namespace tool {

class Progress {
 public:
  Progress() = default;
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  virtual ~Progress() = default;
  // done of total steps of what label names; total 0: too few to show.
  virtual void Step(const std::string& label, long done, long total) = 0;
  // The work is over (or cut short): what was shown is ended.
  virtual void End() = 0;
};

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_PROGRESS_H
