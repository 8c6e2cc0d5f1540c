// The bitmap file through CreateFileA and ReadFile.
#include <windows.h>

#include "renderer/bitmap_file.h"

namespace gelmo {
namespace {

class Win32FileSource final : public ByteSource {
 public:
  Win32FileSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
  ~Win32FileSource() override { CloseHandle(file_); }
  std::size_t Read(void* dst, std::size_t n) override {
    std::size_t total = 0;
    auto* out = static_cast<char*>(dst);
    while (total < n) {  // ReadFile takes 32-bit counts
      DWORD chunk = n - total > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n - total);
      DWORD got = 0;
      if (!ReadFile(file_, out + total, chunk, &got, nullptr) || got == 0) break;
      total += got;
    }
    return total;
  }
  std::uint64_t Size() const override { return size_; }

 private:
  HANDLE file_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenBitmapFile(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32FileSource>(file, static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace gelmo
