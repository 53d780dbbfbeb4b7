#include "fuzz_support.h"

#include <algorithm>
#include <cstring>

#include "start/start.h"

namespace td::fuzz {
namespace {

class BytesFile final : public platform::ReadableFile {
 public:
  explicit BytesFile(const std::string& bytes) : bytes_(bytes) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<std::int64_t>(n);
  }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

class NowhereFile final : public platform::WritableFile {
 public:
  bool Append(const char*, std::size_t) override { return true; }
  bool Sync() override { return true; }
  bool Close() override { return true; }
};

}  // namespace

std::unique_ptr<platform::ReadableFile> BytesFileSystem::OpenRead(const std::string&) {
  return std::make_unique<BytesFile>(bytes_);
}

std::unique_ptr<platform::WritableFile> BytesFileSystem::OpenWrite(const std::string&, platform::WriteMode) {
  return std::make_unique<NowhereFile>();
}

void StartHostOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  mmisim::Start(mmisim::SampleMachine());
  mmisim::SetRecording(false);
  mmisim::AddType(1, "T40+STEEL+FAST");
}

}  // namespace td::fuzz
