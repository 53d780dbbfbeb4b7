// CopyCurrentTypeImageToOffline: the V texts of one config of the current
// type into their offline twin. No memory is written.
#include <cstring>

#include "kinds.h"
#include "link/link_items.h"
#include "typedata_link.h"

int CopyCurrentTypeImageToOffline(int configIndex) {
  BlockTable* table = td::CurrentTypeTableOfConfig(configIndex);
  if (table == nullptr) return -1;
  const TextBlock* online = td::TextSlot(table, TD_SLOT_V);
  TextBlock* twin = td::TextSlot(table, TD_SLOT_OFFLINE_V);
  if (online == nullptr || twin == nullptr) return 0;
  const int kindCode = GetHAIndex(TD_KIND_V) & 0xFF;
  const unsigned count = td::CommonCount(online->count, twin->count);
  for (unsigned item = 0; item < count; ++item) {
    if (td::ItemInUse(TD_CFGID(item, kindCode, configIndex)) == nullptr) continue;
    // The text and its terminator; a text that fills its 260 bytes without
    // one is cut to 259 characters so the twin always ends.
    const char* text = online->texts[item];
    const void* end = std::memchr(text, '\0', TD_TEXT_MAX);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : TD_TEXT_MAX;
    std::memcpy(twin->texts[item], text, length);
    twin->texts[item][length] = '\0';
  }
  return 0;
}
