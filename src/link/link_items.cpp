// The current type's table of one config.
#include "link_items.h"

#include "host.h"
#include "kinds.h"

namespace td {

BlockTable* CurrentTypeTableOfConfig(int configIndex) {
  ConfigRecord* config = nullptr;
  if (GetMMIConfigStruc(configIndex, &config) < 0 || config == nullptr) return nullptr;
  if (config->configNo == 0) return nullptr;
  const int position = config->configNo - 1;

  const SystemRecord* system = GetMMISystemStruc();
  if (system == nullptr) return nullptr;
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(system->currentTypeNo, nullptr, &type) < 0 || type == nullptr) {
    return nullptr;
  }
  // A config number beyond the catalogue's entries names no entry of the
  // record; reading there would leave the record.
  if (position >= GetMMITypeInfo()->configCount) return nullptr;
  return EntryAt(type, position)->blocks;
}

}  // namespace td
