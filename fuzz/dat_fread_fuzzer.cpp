// The type data file reader on arbitrary files, against the sample machine,
// with offline twins on. The first byte picks the config. The same file
// with a blank in front of every line, which sends each line the general
// way past the reader's short way for the writer's lines, must give the
// same result and the same blocks, byte for byte.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "mmisim.h"
#include "typedata.h"

namespace {

// The blocks of a config's table as bytes, a dash for an empty slot.
std::string TableBytes(const BlockTable* table) {
  std::string bytes;
  if (!table) return bytes;
  for (const void* block : table->slot) {
    if (!block) {
      bytes += '-';
      continue;
    }
    const auto* values = static_cast<const ValueBlock*>(block);  // kind and count lie alike in both
    const std::uint32_t size =
        values->kind == 'V' ? TD_TEXT_BLOCK_SIZE(values->count) : TD_VALUE_BLOCK_SIZE(values->count);
    bytes.append(static_cast<const char*>(block), size);
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  td::fuzz::StartHostOnce();
  static td::fuzz::BytesFileSystem files;
  if (size == 0) return 0;
  const int position = data[0] % GetMMITypeInfo()->configCount;
  files.Serve(data + 1, size - 1);
  td::platform::FileSystem* before = td::platform::SetFileSystem(&files);
  TypeRecord* type = nullptr;
  GetMMITypeNameAndStruc(1, nullptr, &type);
  const int result = DAT_fread(type->configs[position].datName, position, type);
  const std::string blocks = TableBytes(type->configs[position].blocks);

  std::string blanks = " ";
  for (std::size_t i = 1; i < size; ++i) {
    blanks += static_cast<char>(data[i]);
    if (data[i] == '\n') blanks += ' ';
  }
  files.Serve(reinterpret_cast<const std::uint8_t*>(blanks.data()), blanks.size());
  if (DAT_fread(type->configs[position].datName, position, type) != result ||
      TableBytes(type->configs[position].blocks) != blocks)
    __builtin_trap();
  td::platform::SetFileSystem(before);
  return 0;
}
