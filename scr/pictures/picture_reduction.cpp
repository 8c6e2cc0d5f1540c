#include "scr/pictures/picture_reduction.h"

#include <algorithm>
#include <cstring>

namespace gelmo {
namespace {

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

void ReducedSize(int width, int height, int longest, int* outWidth, int* outHeight) {
  *outWidth = width;
  *outHeight = height;
  if (width <= 0 || height <= 0 || longest <= 0 || std::max(width, height) <= longest) return;
  const bool wide = width >= height;
  const std::int64_t longSide = wide ? width : height, shortSide = wide ? height : width;
  // shortSide * longest / longSide, half up
  const int other = static_cast<int>(
      std::max<std::int64_t>(1, (2 * shortSide * longest + longSide) / (2 * longSide)));
  *outWidth = wide ? longest : other;
  *outHeight = wide ? other : longest;
}

BoxReducer::Divider::Divider(std::uint32_t d) {
  if (d == 0) d = 1;
  int log = 0;  // ceil(log2 d)
  while ((std::uint64_t{1} << log) < d) ++log;
  multiplier_ =
      static_cast<std::uint32_t>(((std::uint64_t{1} << 32) * ((std::uint64_t{1} << log) - d)) / d + 1);
  shift1_ = std::min(log, 1);
  shift2_ = std::max(log - 1, 0);
}

// Units: along each axis a source pixel spans dst units and a destination
// pixel src units, so every overlap is a whole number.
//
// Along a row, a destination column's sum s (its pixels times their overlaps)
// is at most 255 * srcW < 2^24.  Whole source rows, those lying inside one
// destination row, all weigh the same, so their sums are first added up as
// they are, as many as keep the total t below 2^24.  A total (or the sum of a
// row split between two destination rows) becomes a value with 8 fractional
// bits, h ~ t * 256 / srcW, by a multiply instead of a division:
// h = (t * 256 * M + 2^31) >> 32, M = round(2^32 / srcW), where t * 256 < 2^32
// and M <= 2^31 (srcW >= 2 here: at the same width s is the pixel itself and
// h = s * 256).  With e = srcW * M - 2^32, |e| <= srcW / 2:
//  - when t is a flat colour v times n rows, t * 256 * M = v * n * 256 * 2^32 +
//    v * n * 256 * e, and |v * n * 256 * e| <= (t * 256) / 2 < 2^31, so
//    h = v * n * 256 exactly;
//  - otherwise h is within 1 of t * 256 / srcW.
// Down the rows, the values are weighted by overlaps that add up to srcH for
// each destination row: at most (255 * 256 + 1) * srcH, plus 128 * srcH to
// round, <= 65409 * 65535 < 2^32.  That sum is divided exactly by 256 * srcH.
// So every sum is 32-bit, a flat colour comes out as it went in, and any other
// result is within 1/2 + 1/256 of the true mean.
BoxReducer::BoxReducer(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
    : srcW_(Clamp(srcWidth, 1, kMaxReducerSide)),
      srcH_(Clamp(srcHeight, 1, kMaxReducerSide)),
      dstW_(Clamp(dstWidth, 1, srcW_)),
      dstH_(Clamp(dstHeight, 1, srcH_)),
      copy_(srcW_ == dstW_ && srcH_ == dstH_),
      sameWidth_(srcW_ == dstW_),
      down_(256u * static_cast<std::uint32_t>(srcH_)),
      pixels_(static_cast<std::size_t>(dstW_) * static_cast<std::size_t>(dstH_) * 4) {
  if (copy_) return;
  const std::uint32_t rowSumLimit = sameWidth_ ? 255u : 255u * static_cast<std::uint32_t>(srcW_);
  wholeRowsLimit_ = static_cast<int>(((1u << 24) - 1) / rowSumLimit);  // at least 1
  if (!sameWidth_)
    across_ = static_cast<std::uint32_t>(((std::uint64_t{1} << 32) + srcW_ / 2) / std::uint64_t(srcW_));
  columns_.resize(static_cast<std::size_t>(dstW_));
  const std::uint64_t span = static_cast<std::uint64_t>(srcW_), unit = static_cast<std::uint64_t>(dstW_);
  for (std::uint64_t j = 0; j < unit; ++j) {
    Column& c = columns_[j];
    if (sameWidth_) {
      c = {static_cast<std::uint32_t>(j), static_cast<std::uint32_t>(j), 1, 0};
      continue;
    }
    const std::uint64_t begin = j * span, end = begin + span;
    c.first = static_cast<std::uint32_t>(begin / unit);
    c.last = static_cast<std::uint32_t>((end - 1) / unit);
    c.firstWeight = static_cast<std::uint32_t>(std::min((c.first + 1) * unit, end) - begin);
    c.lastWeight = c.last > c.first ? static_cast<std::uint32_t>(end - c.last * unit) : 0;
  }
  current_.assign(columns_.size() * 4, 0);
  next_.assign(columns_.size() * 4, 0);
  whole_.assign(columns_.size() * 4, 0);
}

void BoxReducer::AddRows(const std::uint8_t* pixels, int rows, std::ptrdiff_t stride) {
  for (int i = 0; i < rows && rowsAdded_ < srcH_; ++i) {
    const std::uint8_t* row = pixels + i * stride;
    if (copy_) {
      std::memcpy(pixels_.data() + static_cast<std::size_t>(rowsAdded_) * srcW_ * 4, row,
                  static_cast<std::size_t>(srcW_) * 4);
      ++rowsAdded_;
    } else {
      AddRow(row);
    }
  }
}

// The sums of one destination column along a source row, per channel.  The
// channels are spelt out: GCC keeps them in registers then.
inline void BoxReducer::SumAcross(const std::uint8_t* row, const Column& c, std::uint32_t inner,
                                  std::uint32_t sum[4]) {
  const std::uint8_t* p = row + std::size_t{c.first} * 4;
  std::uint32_t s0 = p[0] * c.firstWeight, s1 = p[1] * c.firstWeight, s2 = p[2] * c.firstWeight,
                s3 = p[3] * c.firstWeight;
  if (c.last > c.first) {
    // The pixels between the first and the last are covered whole: added up
    // plainly, weighted once.
    const std::uint8_t* last = row + std::size_t{c.last} * 4;
    std::uint32_t b0 = 0, b1 = 0, b2 = 0, b3 = 0;
    for (const std::uint8_t* q = p + 4; q < last; q += 4) {
      b0 += q[0];
      b1 += q[1];
      b2 += q[2];
      b3 += q[3];
    }
    s0 += b0 * inner + last[0] * c.lastWeight;
    s1 += b1 * inner + last[1] * c.lastWeight;
    s2 += b2 * inner + last[2] * c.lastWeight;
    s3 += b3 * inner + last[3] * c.lastWeight;
  }
  sum[0] = s0;
  sum[1] = s1;
  sum[2] = s2;
  sum[3] = s3;
}

std::uint32_t BoxReducer::Value(std::uint32_t total) const {
  if (sameWidth_) return total << 8;
  return static_cast<std::uint32_t>((std::uint64_t{total * 256u} * across_ + 0x80000000u) >> 32);
}

void BoxReducer::AddRow(const std::uint8_t* row) {
  // This source row spans [k * dstH, (k + 1) * dstH) down the picture, and
  // destination row dstRow_ ends at (dstRow_ + 1) * srcH; since dstH <= srcH
  // the source row reaches at most into the destination row below.
  const std::uint64_t begin = std::uint64_t(rowsAdded_) * std::uint64_t(dstH_);
  const std::uint64_t end = begin + std::uint64_t(dstH_);
  const std::uint64_t boundary = std::uint64_t(dstRow_ + 1) * std::uint64_t(srcH_);
  const std::uint32_t inner = static_cast<std::uint32_t>(dstW_);
  std::uint32_t sum[4];
  if (end <= boundary) {
    std::uint32_t* total = whole_.data();
    for (const Column& c : columns_) {
      SumAcross(row, c, inner, sum);
      total[0] += sum[0];
      total[1] += sum[1];
      total[2] += sum[2];
      total[3] += sum[3];
      total += 4;
    }
    if (++wholeRows_ == wholeRowsLimit_) AddWholeRows();
  } else {
    const std::uint32_t below = static_cast<std::uint32_t>(end - boundary);
    const std::uint32_t here = static_cast<std::uint32_t>(dstH_) - below;
    std::uint32_t* cur = current_.data();
    std::uint32_t* nxt = next_.data();
    for (const Column& c : columns_) {
      SumAcross(row, c, inner, sum);
      for (int k = 0; k < 4; ++k) {
        const std::uint32_t v = Value(sum[k]);
        cur[k] += v * here;
        nxt[k] += v * below;
      }
      cur += 4;
      nxt += 4;
    }
  }
  ++rowsAdded_;
  if (end >= boundary) {
    AddWholeRows();
    FinishDestinationRow();
  }
}

void BoxReducer::AddWholeRows() {
  if (wholeRows_ == 0) return;
  const std::uint32_t weight = static_cast<std::uint32_t>(dstH_);
  for (std::size_t i = 0; i < whole_.size(); ++i) {
    current_[i] += Value(whole_[i]) * weight;
    whole_[i] = 0;
  }
  wholeRows_ = 0;
}

void BoxReducer::FinishDestinationRow() {
  std::uint8_t* out = pixels_.data() + static_cast<std::size_t>(dstRow_) * current_.size();
  const std::uint32_t half = 128u * static_cast<std::uint32_t>(srcH_);
  for (std::size_t i = 0; i < current_.size(); ++i)
    out[i] = static_cast<std::uint8_t>(down_(current_[i] + half));
  current_.swap(next_);
  std::fill(next_.begin(), next_.end(), 0u);
  ++dstRow_;
}

}  // namespace gelmo
