// list: the catalogue's types in the order asked for.
#ifndef TOOLS_TYPEDATA_OPS_LIST_H
#define TOOLS_TYPEDATA_OPS_LIST_H

#include "core/list_order.h"
#include "core/refusal.h"
#include "ops/models.h"
#include "core/session.h"

namespace tool::ops {

struct ListRequest {
  ListOrder order = ListOrder::kNumber;
};

// The types; none is a model only when the catalogue lists none, else the
// refusal says why none could be read.
Result<ListModel> List(const Session& session, const ListRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_LIST_H
