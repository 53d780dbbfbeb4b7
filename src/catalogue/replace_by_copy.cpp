#include "catalogue/replace_by_copy.h"

#include <memory>

#include "platform/last_error.h"
#include "platform/temp_file.h"

namespace td::catalogue {
namespace {

constexpr std::size_t kPiece = std::size_t{64} * 1024;

// Every byte, NUL and Ctrl-Z included, until the source ends.
bool CopyBytes(platform::ReadableFile& source, platform::WritableFile& target) {
  // Not zero-filled first: only what the source gives is written.
  const std::unique_ptr<char[]> piece(new char[kPiece]);
  for (;;) {
    const std::int64_t got = source.Read(piece.get(), kPiece);
    if (got < 0) return false;
    if (got == 0) return true;
    if (!target.Append(piece.get(), static_cast<std::size_t>(got))) return false;
  }
}

}  // namespace

bool AddCopy(platform::ReplaceGroup& group, std::unique_ptr<platform::ReadableFile> source,
             const std::string& target) {
  if (!platform::Fs().Replaceable(target)) return false;
  const bool added = group.Add(target, [&](platform::WritableFile& out) { return CopyBytes(*source, out); });
  source.reset();
  return added;
}

bool ReplaceByCopy(std::unique_ptr<platform::ReadableFile> source, const std::string& target) {
  platform::FileSystem& fs = platform::Fs();
  if (!fs.Replaceable(target)) return false;
  std::string temp;
  auto out = platform::CreateTemporaryFile(platform::ParentOf(target), &temp);
  if (!out) return false;
  bool copied = CopyBytes(*source, *out);
  // Closed before the rename: Windows will not replace an open file, and
  // source and target may be one file.
  source.reset();
  copied = copied && out->Sync();
  copied = out->Close() && copied;
  out.reset();
  if (!copied || !fs.Rename(temp, target)) {
    const platform::KeepLastError keep;
    fs.Remove(temp);
    return false;
  }
  // The copy is in place; a failed folder flush only weakens durability.
  fs.SyncDir(platform::ParentOf(target));
  return true;
}

}  // namespace td::catalogue
