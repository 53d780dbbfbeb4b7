#include "support/fault_file_system.h"

#include "platform/last_error.h"

namespace td::testing {
namespace {

class FaultReadableFile final : public platform::ReadableFile {
 public:
  FaultReadableFile(FaultFileSystem* fs, std::unique_ptr<platform::ReadableFile> base)
      : fs_(fs), base_(std::move(base)) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    if (fs_->Fails(FaultFileSystem::Op::kRead)) return -1;
    return base_->Read(buffer, size);
  }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<platform::ReadableFile> base_;
};

class FaultWritableFile final : public platform::WritableFile {
 public:
  FaultWritableFile(FaultFileSystem* fs, std::unique_ptr<platform::WritableFile> base)
      : fs_(fs), base_(std::move(base)) {}
  bool Append(const char* data, std::size_t size) override {
    if (fs_->Fails(FaultFileSystem::Op::kAppend)) return false;
    return base_->Append(data, size);
  }
  bool Sync() override {
    if (fs_->Fails(FaultFileSystem::Op::kSync)) return false;
    return base_->Sync();
  }
  bool Close() override {
    if (closed_) return true;
    closed_ = true;
    const bool fail = fs_->Fails(FaultFileSystem::Op::kClose);
    const bool closed = base_->Close();
    return closed && !fail;
  }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<platform::WritableFile> base_;
  bool closed_ = false;
};

}  // namespace

bool FaultFileSystem::Fails(Op op) {
  ++count_;
  log_.push_back(op);
  if (fail_at_ != 0 && count_ == fail_at_) {
    failed_ = true;
    platform::SetLastErrorCode(kInjectedError);  // as a failing call would
    return true;
  }
  return false;
}

std::unique_ptr<platform::ReadableFile> FaultFileSystem::OpenRead(const std::string& path) {
  if (Fails(Op::kOpenRead)) return nullptr;
  auto file = target().OpenRead(path);
  if (!file) return nullptr;
  return std::make_unique<FaultReadableFile>(this, std::move(file));
}

std::unique_ptr<platform::WritableFile> FaultFileSystem::OpenWrite(const std::string& path,
                                                                   platform::WriteMode mode) {
  if (Fails(Op::kOpenWrite)) return nullptr;
  auto file = target().OpenWrite(path, mode);
  if (!file) return nullptr;
  return std::make_unique<FaultWritableFile>(this, std::move(file));
}

bool FaultFileSystem::Remove(const std::string& path) { return !Fails(Op::kRemove) && target().Remove(path); }
bool FaultFileSystem::Rename(const std::string& from, const std::string& to) {
  return !Fails(Op::kRename) && target().Rename(from, to);
}
bool FaultFileSystem::MakeDir(const std::string& path) {
  return !Fails(Op::kMakeDir) && target().MakeDir(path);
}
bool FaultFileSystem::SyncDir(const std::string& path) {
  return !Fails(Op::kSyncDir) && target().SyncDir(path);
}
bool FaultFileSystem::CopyTimes(const std::string& from, const std::string& to) {
  return !Fails(Op::kCopyTimes) && target().CopyTimes(from, to);
}

}  // namespace td::testing
