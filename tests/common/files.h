// Writing and removing the files a test hands to the program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace gelmo::testing {

inline bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

inline void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

}  // namespace gelmo::testing
