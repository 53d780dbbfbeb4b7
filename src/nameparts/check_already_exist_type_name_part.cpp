// CheckAlreadyExistTypeNamePart: whether a part text is taken, and at which
// position.
#include <algorithm>

#include "host/host.h"
#include "typedata_nameparts.h"

int CheckAlreadyExistTypeNamePart(const char* text, int position) {
  const SystemRecord* system = GetMMISystemStruc();
  if (system == nullptr) return 0;
  // No name has a part beyond the third: positions past it find nothing.
  const int last = std::min<int>(system->namePartCount, TD_NAME_PART_MAX);
  const int wanted = position & 0xFFFF;
  int result = 0;
  for (int k = 1; k <= last; ++k) {
    if (FirstSearchTypeNamePart(text, k) == -1) continue;
    if (k != wanted) return -1;
    result = 1;
  }
  return result;
}
