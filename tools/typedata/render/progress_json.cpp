#include "render/progress_json.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "render/output.h"

namespace tool {

void JsonProgress::Step(const std::string& label, long done, long total) {
  if (total <= 0) return;
  const long cells = kProgressWidth * std::clamp(done, 0L, total) / total;
  if (label == label_ && cells == cells_ && done != total) return;
  label_ = label;
  cells_ = cells;
  nlohmann::ordered_json line;
  line["progress"] = label;
  line["done"] = done;
  line["total"] = total;
  std::fputs((line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n").c_str(),
             messages_);
  std::fflush(messages_);
}

void JsonProgress::End() {
  label_.clear();
  cells_ = -1;
}

}  // namespace tool
