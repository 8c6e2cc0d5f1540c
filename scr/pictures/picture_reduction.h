// Bringing a large photo down to the size the saver shows it at: the reduced
// size, and an area-averaging reducer that takes the photo a strip of rows at a
// time, so that the full-size picture never has to be held at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace gelmo {

// width x height brought down so that the longer side is `longest`, the other
// side in proportion (rounded to nearest, at least 1).  Unchanged when it is
// no longer than that already.
void ReducedSize(int width, int height, int longest, int* outWidth, int* outHeight);

// The longest source side a BoxReducer takes; its sums are sized for it.
constexpr int kMaxReducerSide = 65535;

// Each destination pixel is the average of the source area it covers, edge
// pixels of the source counting with the share of them that is covered; every
// channel on its own.  A flat colour stays exactly that colour; any other
// result is within 1 of the exact average.  Memory besides the result: three
// rows of sums at the destination width.
class BoxReducer {
 public:
  // 1 <= dst <= src <= kMaxReducerSide on each side; sizes outside are brought
  // inside (a wrong picture then, never a read outside the rows given).
  BoxReducer(int srcWidth, int srcHeight, int dstWidth, int dstHeight);

  // The next `rows` source rows, top-down, 4 bytes a pixel (B,G,R,A), `stride`
  // bytes apart (negative for a bottom-up buffer).  Rows past the source
  // height are not read.
  void AddRows(const std::uint8_t* pixels, int rows, std::ptrdiff_t stride);
  bool Done() const { return rowsAdded_ == srcH_; }  // every source row has been added
  // dstWidth*dstHeight*4 bytes, top-down rows without padding; complete once Done().
  const std::vector<std::uint8_t>& Pixels() const { return pixels_; }
  std::vector<std::uint8_t> TakePixels() { return std::move(pixels_); }

 private:
  // n / d exactly for every 32-bit n, by a multiply and two shifts instead of
  // a division (Granlund and Montgomery's round-up method).
  class Divider {
   public:
    explicit Divider(std::uint32_t d = 1);
    std::uint32_t operator()(std::uint32_t n) const {
      const std::uint32_t t = static_cast<std::uint32_t>((std::uint64_t{multiplier_} * n) >> 32);
      return (t + ((n - t) >> shift1_)) >> shift2_;
    }

   private:
    std::uint32_t multiplier_;
    int shift1_, shift2_;
  };
  // The source pixels first..last that one destination column covers: the
  // first and the last with the given weights, those between with dstWidth each.
  struct Column {
    std::uint32_t first, last, firstWeight, lastWeight;
  };

  static void SumAcross(const std::uint8_t* row, const Column& c, std::uint32_t inner, std::uint32_t sum[4]);
  std::uint32_t Value(std::uint32_t total) const;
  void AddRow(const std::uint8_t* row);
  void AddWholeRows();
  void FinishDestinationRow();

  int srcW_, srcH_, dstW_, dstH_;
  bool copy_;       // same size: the rows are only copied
  bool sameWidth_;  // only the height shrinks: each column is one pixel
  int rowsAdded_ = 0;
  int dstRow_ = 0;  // the destination row the next source row begins in
  int wholeRows_ = 0;       // source rows added up in whole_
  int wholeRowsLimit_ = 1;  // as many as keep whole_ below 2^24
  std::vector<Column> columns_;
  std::vector<std::uint32_t> current_, next_;  // weighted values of destination row dstRow_ and the one below
  std::vector<std::uint32_t> whole_;           // row sums of whole source rows inside destination row dstRow_
  std::uint32_t across_ = 0;                   // round(2^32 / srcW): see Value
  Divider down_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace gelmo
