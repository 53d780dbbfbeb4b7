#include "render/progress_text.h"

namespace tool {

void TextProgress::Step(const std::string& label, long done, long total) {
  out_.Progress(label, done, total);
}

void TextProgress::End() { out_.EndProgress(); }

}  // namespace tool
