// MakeDatFileName: "<prefix><four digits>.DAT", formed with snprintf so
// that both builds give the same bytes.
#include <cstdio>
#include <cstring>

#include "host/host.h"
#include "typedata_catalogue.h"

int MakeDatFileName(char* destination, int typeNo, int configPosition) {
  const unsigned number = static_cast<unsigned>(typeNo) & 0xFFFFu;
  // Config numbers travel in 16 bits: a larger position would wrap round
  // to another config.
  if (destination == nullptr || number > TD_TYPE_NO_MAX || configPosition < 0 || configPosition >= 0xFFFF) {
    return -1;
  }
  ConfigRecord* config = nullptr;
  if (SearchMMIConfigIndex(configPosition + 1, &config) < 0 || config == nullptr) return -1;
  const std::size_t prefix = ::strnlen(config->name, sizeof config->name);
  if (prefix > TD_PREFIX_MAX) return -1;
  std::snprintf(destination, TD_DAT_NAME_SIZE, "%.*s%04u.DAT", static_cast<int>(prefix), config->name,
                number);
  return 0;
}
