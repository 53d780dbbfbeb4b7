// SaveAllCurrentTypeData on a machine of 8 configs, two of them shared
// through the first name part, whose catalogue holds 1,001 types with the
// same first part: every config of the current type saved, then the two
// shared files pushed to the 1,000 other types. Beside it, the same 2,000
// copies made with the system's copy (std::filesystem::copy_file), the same
// copies made atomic and durable by hand, and the saves alone.
//
// The service replaces every target atomically and durably: the copy is
// written to a temporary file, flushed to disk, renamed over the target and
// the folder flushed. Wall-clock times are reported (UseRealTime), since
// the flushes wait for the disk; CPU times are in the JSON output too.
//
// This machine's disk may flush fast. BM_SaveAllSlowFlush makes the same
// push on a simulated disk whose every flush takes 10 ms: the platform's
// file system with a 10 ms wait in front of each flush it is asked for (a
// file's, a folder's, and each grouped flush of files or folders, which is
// one flush of the one file system the type tree is on).
//
//   build/release/bin/bench_shared_configs
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "mmisim.h"
#include "platform/file_system.h"
#include "platform/posix_folder_listing.h"
#include "support/bench_folder.h"
#include "support/large_machine.h"
#include "typedata.h"

namespace {

constexpr int kTypes = 1001;  // the current type 0 and 1,000 others
constexpr int kShared = 2;    // configs bound to name part 1
constexpr int kConfigs = 8;
constexpr int kNumbers = 1000;

std::string TypeName(int typeNo) { return "LINE+T" + std::to_string(typeNo); }

class Setting {
 public:
  Setting() {
    bench::MachineShape shape;
    shape.nameParts = 2;
    for (int c = 1; c <= kConfigs; ++c) {
      bench::ConfigShape config = bench::ProportionalConfig("P" + std::to_string(c), kNumbers);
      config.part = c <= kShared ? 1 : 0;
      shape.configs.push_back(config);
    }
    bench::WriteCatalogue(kTypes, TypeName);
    bench::StartMachine(shape, /*catalogue=*/true);
    if (GetMMITypeInfo()->typeCount != kTypes) std::abort();
    // Copies go into type folders that exist.
    for (int typeNo = 1; typeNo < kTypes; ++typeNo) {
      char folder[16];
      std::snprintf(folder, sizeof folder, "../type/%04d", typeNo);
      std::filesystem::create_directories(folder);
    }
    bench::MakeTypeData(0, 11);
    const std::vector<std::string> paths = bench::TypeDataPaths(0);
    for (int c = 0; c < kShared; ++c) {
      shared_.push_back(bench::SystemPath(paths[static_cast<std::size_t>(c)]));
      prefixes_.push_back("P" + std::to_string(c + 1));
    }
    if (SaveAllCurrentTypeData() != 0) std::abort();  // every target exists from here on
  }
  ~Setting() { mmisim::Stop(); }

  // The system paths of the current type's shared files and of the copy of
  // shared file c for type typeNo.
  const std::vector<std::string>& shared() const { return shared_; }
  std::string Target(std::size_t c, int typeNo) const {
    char path[64];
    std::snprintf(path, sizeof path, "../type/%04d/%s%04d.DAT", typeNo, prefixes_[c].c_str(), typeNo);
    return path;
  }
  std::int64_t copiedBytes() const {
    std::int64_t bytes = 0;
    for (const std::string& path : shared_)
      bytes += static_cast<std::int64_t>(std::filesystem::file_size(path));
    return bytes * (kTypes - 1);
  }

 private:
  bench::BenchFolder folder_;
  std::vector<std::string> shared_;
  std::vector<std::string> prefixes_;
};

Setting& TheSetting() {
  static Setting setting;
  return setting;
}

void BM_SaveAllCurrentTypeData(benchmark::State& state) {
  Setting& setting = TheSetting();
  const std::uint64_t reads = td::platform::FolderReads();
  for (auto _ : state) {
    if (SaveAllCurrentTypeData() != 0) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * setting.copiedBytes());
  state.counters["copies"] = kShared * (kTypes - 1);
  // Folders read to find names without regard to case, per copy.
  state.counters["folder_reads"] = static_cast<double>(td::platform::FolderReads() - reads) /
                                   static_cast<double>(state.iterations() * kShared * (kTypes - 1));
}
BENCHMARK(BM_SaveAllCurrentTypeData)->Unit(benchmark::kMillisecond)->UseRealTime();

// The platform's file system on a disk whose flushes take 10 ms each.
class SlowFlushFileSystem final : public td::platform::FileSystem {
 public:
  static constexpr std::chrono::milliseconds kFlush{10};

  long flushes() const { return flushes_; }

  std::unique_ptr<td::platform::ReadableFile> OpenRead(const std::string& path) override {
    return base_.OpenRead(path);
  }
  std::unique_ptr<td::platform::WritableFile> OpenWrite(const std::string& path,
                                                        td::platform::WriteMode mode) override {
    auto file = base_.OpenWrite(path, mode);
    if (!file) return nullptr;
    return std::make_unique<File>(this, std::move(file));
  }
  bool Remove(const std::string& path) override { return base_.Remove(path); }
  bool Rename(const std::string& from, const std::string& to) override { return base_.Rename(from, to); }
  bool MakeDir(const std::string& path) override { return base_.MakeDir(path); }
  bool SyncDir(const std::string& path) override { return Flush() && base_.SyncDir(path); }
  bool SyncFiles(const std::vector<std::string>& paths) override { return Flush() && base_.SyncFiles(paths); }
  bool SyncDirs(const std::vector<std::string>& folders) override {
    return Flush() && base_.SyncDirs(folders);
  }
  bool Exists(const std::string& path) override { return base_.Exists(path); }
  bool Replaceable(const std::string& path) override { return base_.Replaceable(path); }
  bool ListDir(const std::string& path, std::vector<std::string>* names) override {
    return base_.ListDir(path, names);
  }
  bool CopyTimes(const std::string& from, const std::string& to) override {
    return base_.CopyTimes(from, to);
  }

 private:
  class File final : public td::platform::WritableFile {
   public:
    File(SlowFlushFileSystem* fs, std::unique_ptr<td::platform::WritableFile> base)
        : fs_(fs), base_(std::move(base)) {}
    bool Append(const char* data, std::size_t size) override { return base_->Append(data, size); }
    bool Sync() override { return fs_->Flush() && base_->Sync(); }
    bool Close() override { return base_->Close(); }

   private:
    SlowFlushFileSystem* fs_;
    std::unique_ptr<td::platform::WritableFile> base_;
  };

  bool Flush() {
    ++flushes_;
    std::this_thread::sleep_for(kFlush);
    return true;
  }

  td::platform::FileSystem& base_ = td::platform::DefaultFileSystem();
  long flushes_ = 0;
};

// The push on a disk whose flushes take 10 ms; its baseline is
// BM_SystemCopies as before (copies with no flush at all).
void BM_SaveAllSlowFlush(benchmark::State& state) {
  Setting& setting = TheSetting();
  SlowFlushFileSystem slow;
  td::platform::FileSystem* before = td::platform::SetFileSystem(&slow);
  for (auto _ : state) {
    if (SaveAllCurrentTypeData() != 0) state.SkipWithError("save failed");
  }
  td::platform::SetFileSystem(before);
  state.SetBytesProcessed(state.iterations() * setting.copiedBytes());
  state.counters["copies"] = kShared * (kTypes - 1);
  state.counters["flushes"] = static_cast<double>(slow.flushes()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SaveAllSlowFlush)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copies with the system's copy, each over an existing target.
void BM_SystemCopies(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    for (std::size_t c = 0; c < setting.shared().size(); ++c) {
      for (int typeNo = 1; typeNo < kTypes; ++typeNo) {
        std::error_code error;
        std::filesystem::copy_file(setting.shared()[c], setting.Target(c, typeNo),
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error) state.SkipWithError("copy failed");
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * setting.copiedBytes());
  state.counters["copies"] = kShared * (kTypes - 1);
}
BENCHMARK(BM_SystemCopies)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copies made by hand as the service makes each one: the bytes
// written to a temporary file in the target's folder, flushed to disk,
// renamed over the target, and the folder flushed. The least that an
// atomic and durable copy costs.
void BM_SystemCopiesDurable(benchmark::State& state) {
  Setting& setting = TheSetting();
  std::vector<std::string> contents;
  for (const std::string& path : setting.shared()) {
    std::ifstream in(path, std::ios::binary);
    contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (auto _ : state) {
    for (std::size_t c = 0; c < contents.size(); ++c) {
      for (int typeNo = 1; typeNo < kTypes; ++typeNo) {
        const std::string target = setting.Target(c, typeNo);
        const std::string folder = target.substr(0, target.rfind('/'));
        const std::string temp = folder + "/copy.tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        bool ok = fd >= 0 && ::write(fd, contents[c].data(), contents[c].size()) ==
                                 static_cast<ssize_t>(contents[c].size());
        ok = ok && ::fsync(fd) == 0;
        ok = fd >= 0 && ::close(fd) == 0 && ok;
        ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        ok = ok && dir >= 0 && ::fsync(dir) == 0;
        if (dir >= 0) ::close(dir);
        if (!ok) state.SkipWithError("copy failed");
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * setting.copiedBytes());
  state.counters["copies"] = kShared * (kTypes - 1);
}
BENCHMARK(BM_SystemCopiesDurable)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part of SaveAllCurrentTypeData that is no copying: the current
// type's eight configs saved.
void BM_SaveEveryConfig(benchmark::State& state) {
  TheSetting();
  for (auto _ : state) {
    for (int p = 0; p < kConfigs; ++p) {
      if (SaveCurrentTypeData(p) != 0) state.SkipWithError("save failed");
    }
  }
}
BENCHMARK(BM_SaveEveryConfig)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
