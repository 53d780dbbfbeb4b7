// The web pages, built into the binary (see embed.cmake).
#ifndef TOOLS_TYPEDATA_SERVE_ASSETS_H
#define TOOLS_TYPEDATA_SERVE_ASSETS_H

#include <cstddef>
#include <string_view>

namespace tool::serve {

struct Asset {
  std::string_view path;  // "/types.html"
  const char* bytes;
  std::size_t size;
};

// The page or script served at path, or nullptr.
const Asset* FindAsset(std::string_view path);

}  // namespace tool::serve

#endif  // TOOLS_TYPEDATA_SERVE_ASSETS_H
