#include "renderer/bmp_reader.h"

#include <gtest/gtest.h>

#include "tests/common/bmp_builder.h"

namespace gelmo {
namespace {

using testing::BmpLayout;

BmpResult Read(const std::vector<std::uint8_t>& bytes, BmpImage& image) {
  MemorySource source(bytes.data(), bytes.size());
  return ReadHandOffBitmap(source, image);
}

TEST(BmpReader, ComputesPaddedRowsWhenSizeImageIsZero) {
  struct Case { int width; std::size_t rowBytes; } cases[] = {{100, 300}, {101, 304}, {1, 4}, {3, 12}};
  for (const Case& c : cases) {
    BmpLayout s;
    s.width = c.width;
    s.height = 50;
    BmpImage image;
    auto bytes = testing::Bmp24(s, [](int x, int y) { return std::uint32_t(x * 7 + y * 131); });
    ASSERT_EQ(Read(bytes, image), BmpResult::kOk) << c.width;
    EXPECT_EQ(image.pixels.size(), 50 * c.rowBytes) << c.width;
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, 50);
    // The pixel bytes are the file's, bottom row first, padding included.
    EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), bytes.begin() + 54));
  }
}

TEST(BmpReader, SkipsColourTableBeforePixelData) {
  BmpLayout s;
  s.width = 2;
  s.height = 2;
  s.extraHeaderBytes = 1024;
  auto bytes = testing::Bmp24(s, [](int x, int y) { return y == 0 ? (x ? 0x00FF00u : 0xFF0000u) : 0x0000FFu; });
  BmpImage image;
  ASSERT_EQ(Read(bytes, image), BmpResult::kOk);
  const std::vector<std::uint8_t> expected = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xEE, 0xEE,
                                              0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xEE, 0xEE};
  EXPECT_EQ(image.pixels, expected);
}

TEST(BmpReader, ReadsOnlyWhatTheRowsNeedWhenSizeImageIsLarger) {
  BmpLayout s;
  s.sizeImage = 0xFFFFFFF0u;  // a bogus size must not turn into a huge allocation
  auto bytes = testing::Bmp24Solid(s, 0x123456);
  BmpImage image;
  ASSERT_EQ(Read(bytes, image), BmpResult::kOk);
  EXPECT_EQ(image.pixels.size(), 2 * testing::RowBytes24(4));
}

TEST(BmpReader, RefusesBrokenFiles) {
  struct Case {
    const char* what;
    BmpLayout layout;
    long truncateTo;  // -1: the whole file
    BmpResult expected;
  };
  auto layout = [](auto edit) { BmpLayout s; edit(s); return s; };
  const Case cases[] = {
      {"wrong magic", layout([](BmpLayout& s) { s.magic0 = 'M'; s.magic1 = 'B'; }), -1, BmpResult::kWrongMagic},
      {"empty file", BmpLayout{}, 0, BmpResult::kShortFileHeader},
      {"13-byte file", BmpLayout{}, 13, BmpResult::kShortFileHeader},
      {"header area under 40 bytes", layout([](BmpLayout& s) { s.overrideOffBits = true; s.offBits = 53; }), -1, BmpResult::kBadPixelOffset},
      {"offset below the file header", layout([](BmpLayout& s) { s.overrideOffBits = true; s.offBits = 2; }), -1, BmpResult::kBadPixelOffset},
      {"offset past the file", layout([](BmpLayout& s) { s.overrideOffBits = true; s.offBits = 0xFFFFFF00u; }), -1, BmpResult::kBadPixelOffset},
      {"truncated info header", BmpLayout{}, 30, BmpResult::kBadPixelOffset},
      {"zero width", layout([](BmpLayout& s) { s.width = 0; }), -1, BmpResult::kBadWidth},
      {"negative width", layout([](BmpLayout& s) { s.width = -4; }), -1, BmpResult::kBadWidth},
      {"zero height", layout([](BmpLayout& s) { s.height = 0; }), -1, BmpResult::kBadHeight},
      {"top-down rows", layout([](BmpLayout& s) { s.height = -2; }), -1, BmpResult::kBadHeight},
      {"width that overflows row sizes", layout([](BmpLayout& s) { s.width = 0x7FFFFFFF; s.height = 1; }), -1, BmpResult::kTooLarge},
      {"rows beyond the pixel budget", layout([](BmpLayout& s) { s.width = 16384; s.height = 16384; }), -1, BmpResult::kTooLarge},
      {"height beyond the side limit", layout([](BmpLayout& s) { s.width = 1; s.height = kMaxBitmapSide + 1; }), -1, BmpResult::kTooLarge},
      {"size image below the rows", layout([](BmpLayout& s) { s.sizeImage = 23; }), -1, BmpResult::kShortImageSize},
      {"8-bit rows", layout([](BmpLayout& s) { s.bitCount = 8; }), -1, BmpResult::kBadBitCount},
      {"32-bit rows, as long as 24-bit ones would need", layout([](BmpLayout& s) { s.bitCount = 32; }), -1, BmpResult::kBadBitCount},
      {"pixel data cut short", BmpLayout{}, 54 + 23, BmpResult::kShortPixelData},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = c.layout.width > 0 && c.layout.height > 0 && c.layout.width < 64
                                          ? testing::Bmp24Solid(c.layout, 0x808080)
                                          : testing::BmpHeaders(c.layout);
    if (c.truncateTo >= 0) bytes.resize(static_cast<std::size_t>(c.truncateTo));
    BmpImage image;
    EXPECT_EQ(Read(bytes, image), c.expected) << c.what;
    EXPECT_TRUE(image.pixels.empty()) << c.what;
  }
}

TEST(BmpReader, KeepsDimensionsOfARefusedFileOnceTheHeaderWasRead) {
  BmpLayout s;
  s.width = 640;
  s.height = 480;
  auto bytes = testing::BmpHeaders(s);  // no pixel data at all
  BmpImage image;
  EXPECT_EQ(Read(bytes, image), BmpResult::kShortPixelData);
  EXPECT_TRUE(image.dimensionsRead);
  EXPECT_EQ(image.width, 640);
  EXPECT_EQ(image.height, 480);

  BmpImage early;
  bytes.resize(20);
  EXPECT_NE(Read(bytes, early), BmpResult::kOk);
  EXPECT_FALSE(early.dimensionsRead);
}

TEST(BmpReader, PaddedRowBytesFollowsTheFormula) {
  EXPECT_EQ(PaddedRowBytes(24, 100), 300u);
  EXPECT_EQ(PaddedRowBytes(24, 101), 304u);
  EXPECT_EQ(PaddedRowBytes(8, 5), 8u);
  EXPECT_EQ(PaddedRowBytes(32, 3), 12u);
  EXPECT_EQ(PaddedRowBytes(24, 0), 0u);
  EXPECT_EQ(PaddedRowBytes(0xFFFF, 0x7FFFFFFF), (0xFFFFull * 0x7FFFFFFF + 31) / 32 * 4);
}

}  // namespace
}  // namespace gelmo
