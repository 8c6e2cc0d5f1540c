// Native builds (tests, fuzzing): the bitmap file through stdio.
#include <cstdio>

#include "renderer/bitmap_file.h"

namespace gelmo {
namespace {

class StdioSource final : public ByteSource {
 public:
  StdioSource(std::FILE* f, std::uint64_t size) : f_(f), size_(size) {}
  ~StdioSource() override { std::fclose(f_); }
  std::size_t Read(void* dst, std::size_t n) override { return std::fread(dst, 1, n, f_); }
  std::uint64_t Size() const override { return size_; }

 private:
  std::FILE* f_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenBitmapFile(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return nullptr;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  if (size < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return nullptr;
  }
  return std::make_unique<StdioSource>(f, static_cast<std::uint64_t>(size));
}

}  // namespace gelmo
