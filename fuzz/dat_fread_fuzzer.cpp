// The type data file reader on arbitrary files, against the sample machine,
// with offline twins on. The first byte picks the config.
#include <cstdint>

#include "fuzz_support.h"
#include "mmisim.h"
#include "typedata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  td::fuzz::StartHostOnce();
  static td::fuzz::BytesFileSystem files;
  if (size == 0) return 0;
  const int position = data[0] % GetMMITypeInfo()->configCount;
  files.Serve(data + 1, size - 1);
  td::platform::FileSystem* before = td::platform::SetFileSystem(&files);
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(1, nullptr, &type);
  DAT_fread(type->configs[position].datName, position, type);
  td::platform::SetFileSystem(before);
  return 0;
}
