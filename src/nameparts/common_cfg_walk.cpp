#include "nameparts/common_cfg_walk.h"

#include <cstdint>
#include <cstring>

#include "nameparts/cursors.h"

namespace td::nameparts {
namespace {

// A prefix that fits the 8-byte buffer, and so a datName with its number.
bool PrefixFits(const ConfigRecord& config) {
  return ::strnlen(config.name, sizeof config.name) <= TD_PREFIX_MAX;
}

}  // namespace

int WalkFromCursor(int position, char* prefix) {
  const auto wanted = static_cast<std::uint16_t>(position & 0xFFFF);
  while (commonCfgCursor != nullptr && (commonCfgCursor->partNo != wanted || !PrefixFits(*commonCfgCursor))) {
    commonCfgCursor = commonCfgCursor->next;
  }
  if (commonCfgCursor == nullptr) return 0;
  if (prefix != nullptr) std::memcpy(prefix, commonCfgCursor->name, std::strlen(commonCfgCursor->name) + 1);
  return 1;
}

}  // namespace td::nameparts
