// A C++ host's view of the installed header, compiled with -pedantic
// -Werror and -I<prefix>/include alone: the one include a host writes.
#include <typedata/typedata.h>

#include <cstddef>

static_assert(offsetof(TypeRecord, configs) == sizeof(TypeRecord),
              "a type record's entries follow its header");
static_assert(TD_TYPE_RECORD_SIZE(2) == sizeof(TypeRecord) + 2 * sizeof(ConfigEntry), "type record size");

bool FindsTypeOne(const char* line) { return SearchRec(line, 1) == 1; }
