// Any byte string as a picture file for the reader of the size its headers
// claim: no read outside the input, a bounded number of reads whatever the
// bytes say, the same answer twice, and a claim that holds together.
#include <cstdlib>

#include "scr/pictures/picture_header.h"

namespace {

// The input, counting the reads made of it.
class CountedBytes final : public gelmo::PictureBytes {
 public:
  CountedBytes(const std::uint8_t* data, std::size_t size) : memory_(data, size) {}
  std::uint64_t Size() const override { return memory_.Size(); }
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t n) const override {
    ++reads;
    return memory_.ReadAt(offset, dst, n);
  }
  mutable std::uint64_t reads = 0;

 private:
  gelmo::MemoryPictureBytes memory_;
};

bool Same(const std::optional<gelmo::PictureClaim>& a, const std::optional<gelmo::PictureClaim>& b) {
  if (!a || !b) return !a && !b;
  return a->widest == b->widest && a->tallest == b->tallest && a->mostPixels == b->mostPixels &&
         a->emptySide == b->emptySide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CountedBytes bytes(data, size);
  const std::optional<gelmo::PictureClaim> claim = gelmo::ClaimedPictureSize(bytes);
  // Every step of a walk moves on through the file, and no place is read
  // again and again: the reads grow with the file, not with what it says.
  if (bytes.reads > 64 + 4 * std::uint64_t{size}) std::abort();
  if (!Same(claim, gelmo::ClaimedPictureSize(bytes))) std::abort();
  if (claim) {
    // One image's pixels never pass the largest sides multiplied.
    if (claim->mostPixels > std::uint64_t{claim->widest} * claim->tallest) std::abort();
    const bool fits = gelmo::ClaimFits(*claim, 65535, std::uint64_t{1} << 28);
    if (fits && (claim->emptySide || claim->unread || claim->widest > 65535 || claim->tallest > 65535))
      std::abort();
    if (!gelmo::ClaimFits(*claim, UINT32_MAX, UINT64_MAX) && !claim->emptySide && !claim->unread) std::abort();
  }
  return 0;
}
