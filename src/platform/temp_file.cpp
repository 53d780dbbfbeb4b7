#include "temp_file.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

#include "last_error.h"

namespace td::platform {
namespace {

// Names differ between processes by their random start and within one
// process by a counter; a name that exists anyway is passed over.
std::uint32_t NextNameNumber() {
  static std::uint64_t state = [] {
    std::uint64_t seed = std::random_device{}();
    seed = (seed << 32) ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return seed;
  }();
  // splitmix64: consecutive states give unrelated numbers.
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>(z ^ (z >> 31));
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(const std::string& text, std::size_t at, const char* part) {
  for (std::size_t i = 0; part[i] != '\0'; ++i) {
    if (at + i >= text.size() || Lower(text[at + i]) != part[i]) return false;
  }
  return true;
}

}  // namespace

bool IsTemporaryName(const std::string& name) {
  constexpr std::size_t kPrefix = sizeof kTemporaryPrefix - 1;
  constexpr std::size_t kSuffix = sizeof kTemporarySuffix - 1;
  if (name.size() != kPrefix + 8 + kSuffix) return false;
  if (!StartsWithIgnoringCase(name, 0, kTemporaryPrefix)) return false;
  for (std::size_t i = kPrefix; i < kPrefix + 8; ++i) {
    if (!IsHexDigit(name[i])) return false;
  }
  return StartsWithIgnoringCase(name, kPrefix + 8, kTemporarySuffix);
}

std::unique_ptr<WritableFile> CreateTemporaryFile(const std::string& folder, std::string* path) {
  constexpr int kAttempts = 32;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    char name[sizeof kTemporaryPrefix + 8 + sizeof kTemporarySuffix];
    std::snprintf(name, sizeof name, "%s%08x%s", kTemporaryPrefix, static_cast<unsigned>(NextNameNumber()),
                  kTemporarySuffix);
    *path = folder + "\\" + name;
    auto file = Fs().OpenWrite(*path, WriteMode::kCreateNew);
    if (file) return file;
    if (!LastErrorIsExists()) return nullptr;
  }
  return nullptr;
}

}  // namespace td::platform
