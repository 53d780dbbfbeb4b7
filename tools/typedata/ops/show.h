// show: a type's described items, all of them or one config's or kind's.
#ifndef TOOLS_TYPEDATA_OPS_SHOW_H
#define TOOLS_TYPEDATA_OPS_SHOW_H

#include <string>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct ShowRequest {
  int number = 0;
  std::string config;  // a config's prefix, "" for all
  std::string kind;    // D, S, A, L or V, "" for all
  // A config whose file cannot be read is named in the model's broken and
  // the others shown, rather than the type refused.
  bool partial = false;
};

Result<ShowModel> Show(const Session& session, const ShowRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_SHOW_H
