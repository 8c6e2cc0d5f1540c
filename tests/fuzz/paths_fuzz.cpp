// Any path: the folder is a prefix of it, the file-test path loses at most one
// byte, and a joined path keeps both parts.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scr/settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const std::string folder = gelmo::FolderOfPath(path);
  if (folder.size() > path.size() || path.compare(0, folder.size(), folder) != 0) std::abort();
  // An unchanged path has no separator to cut at.
  if (folder.size() == path.size() && !path.empty() && path.back() != ':') std::abort();

  const std::string tested = gelmo::PathForFileTest(path);
  if (tested.size() + 1 < path.size() || path.compare(0, tested.size(), tested) != 0) std::abort();

  const std::string joined = gelmo::JoinPath(folder, "x");
  if (joined.compare(0, folder.size(), folder) != 0 || joined.back() != 'x' ||
      joined.size() > folder.size() + 2)
    std::abort();
  return 0;
}
