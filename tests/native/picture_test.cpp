// The pictures' orientation, read from made-up JPEG and TIFF bytes and
// applied, and their reduction to the size the saver shows them at.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "scr/forms/picture_orientation.h"
#include "scr/forms/picture_reduction.h"

namespace gelmo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void Put(Bytes& b, std::uint32_t v, int n, bool little) {
  for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * (little ? i : n - 1 - i))));
}

struct Entry {
  std::uint16_t tag, type;
  std::uint32_t count;
  std::uint16_t value;  // the first two bytes of the value field
};
constexpr std::uint16_t kOrientation = 0x0112, kShort = 3, kLong = 4, kAscii = 2;

Bytes EntryBytes(const Entry& e, bool little) {
  Bytes b;
  Put(b, e.tag, 2, little);
  Put(b, e.type, 2, little);
  Put(b, e.count, 4, little);
  Put(b, e.value, 2, little);
  Put(b, 0, 2, little);
  return b;
}

// Header, zeros up to IFD0 at `ifdAt`, its entries, then no next directory.
Bytes Tiff(bool little, std::uint32_t ifdAt, const std::vector<Entry>& entries, int declaredCount = -1) {
  Bytes b = little ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42};
  Put(b, ifdAt, 4, little);
  b.resize(ifdAt, 0);
  Put(b, declaredCount < 0 ? std::uint32_t(entries.size()) : std::uint32_t(declaredCount), 2, little);
  for (const Entry& e : entries) b = b + EntryBytes(e, little);
  Put(b, 0, 4, little);
  return b;
}

Bytes Segment(std::uint8_t marker, const Bytes& data) {
  const std::size_t length = data.size() + 2;
  return Bytes{0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)} + data;
}
Bytes Exif(const Bytes& tiff) { return Segment(0xE1, Bytes{'E', 'x', 'i', 'f', 0, 0} + tiff); }
Bytes ExifSaying(int orientation, bool little = true) {
  return Exif(Tiff(little, 8, {{kOrientation, kShort, 1, std::uint16_t(orientation)}}));
}

Bytes WithoutLast(Bytes b, std::size_t n) {
  b.resize(b.size() - n);
  return b;
}

int Orientation(const Bytes& bytes) {
  MemoryPictureBytes source(bytes.data(), bytes.size());
  return PictureOrientation(source);
}

TEST(PictureOrientation, ReadsTheRecordedOrientation) {
  const Bytes soi{0xFF, 0xD8}, eoi{0xFF, 0xD9};
  const Bytes jfif = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  const Bytes scanHeader = Segment(0xDA, {1, 1, 0, 0, 63, 0});
  const Bytes scan = scanHeader + Bytes{0x12, 0x34, 0xFF, 0x00, 0x56};
  const std::string xmpId = "http://ns.adobe.com/xap/1.0/";
  const Bytes xmp = Segment(0xE1, Bytes(xmpId.begin(), xmpId.end()) + Bytes{0, '<', 'x', '/', '>'});

  // IFD0 says it has two entries, but the segment holds only the first; a
  // read past the segment would find an orientation of 6 right behind it.
  const Bytes cut = WithoutLast(Tiff(true, 8, {{0x0100, kShort, 1, 640}}, 2), 4);
  const Bytes overrun = Exif(cut) + EntryBytes({kOrientation, kShort, 1, 6}, true);

  Bytes farIfd = Tiff(true, 8, {{kOrientation, kShort, 1, 6}});
  farIfd[4] = 0xF8, farIfd[5] = 0xFF, farIfd[6] = 0xFF, farIfd[7] = 0xFF;  // IFD0 at 2^32 - 8

  struct Case {
    const char* what;
    Bytes bytes;
    int expected;
  };
  const Case cases[] = {
      {"JPEG, little-endian Exif", soi + ExifSaying(6) + scan + eoi, 6},
      {"JPEG, big-endian Exif", soi + ExifSaying(8, false) + scan + eoi, 8},
      {"JPEG, big-endian, the tag after others",
       soi + Exif(Tiff(false, 8,
                       {{0x010F, kAscii, 4, 0}, {0x0110, kAscii, 4, 0}, {kOrientation, kShort, 1, 5}})),
       5},
      {"JPEG, JFIF segment and fill bytes first", soi + jfif + Bytes{0xFF, 0xFF} + ExifSaying(3) + eoi, 3},
      {"JPEG, IFD0 not right after the header",
       soi + Exif(Tiff(true, 30, {{0x0100, kShort, 1, 640}, {kOrientation, kShort, 1, 7}})), 7},
      {"JPEG, XMP segment before the Exif one", soi + xmp + ExifSaying(2) + eoi, 2},
      {"JPEG, the first Exif segment decides", soi + ExifSaying(4) + ExifSaying(6) + eoi, 4},
      {"JPEG without Exif", soi + jfif + Segment(0xDB, Bytes(65, 1)) + scan + eoi, 1},
      {"JPEG, Exif only after the start of the scan", soi + scanHeader + ExifSaying(6) + eoi, 1},
      {"JPEG, orientation 9", soi + ExifSaying(9) + eoi, 1},
      {"JPEG, orientation 0", soi + ExifSaying(0) + eoi, 1},
      {"JPEG, Exif segment cut short by the end of the file", WithoutLast(soi + ExifSaying(6), 1), 1},
      {"JPEG, entry count running past the segment", soi + overrun + eoi, 1},
      {"JPEG, segment length 1", soi + Bytes{0xFF, 0xE0, 0, 1} + ExifSaying(6), 1},
      {"TIFF, little-endian, IFD0 at 20",
       Tiff(true, 20, {{0x0100, kShort, 1, 640}, {kOrientation, kShort, 1, 8}}), 8},
      {"TIFF, big-endian, IFD0 at 100", Tiff(false, 100, {{kOrientation, kShort, 1, 2}}), 2},
      {"TIFF, more entries declared than there are, the tag among those there",
       WithoutLast(Tiff(true, 8, {{kOrientation, kShort, 1, 3}}, 40), 4), 3},
      {"TIFF, orientation as a LONG", Tiff(true, 8, {{kOrientation, kLong, 1, 6}}), 1},
      {"TIFF, orientation with no values", Tiff(true, 8, {{kOrientation, kShort, 0, 6}}), 1},
      {"TIFF, IFD0 near 2^32", farIfd, 1},
      {"empty file", {}, 1},
      {"start-of-image marker only", soi, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Orientation(c.bytes), c.expected) << c.what;

  // The frame size a JPEG claims, from its first start-of-frame segment (the
  // Huffman tables' C4 is none) before the scan.
  auto frameSize = [](const Bytes& bytes) {
    MemoryPictureBytes source(bytes.data(), bytes.size());
    const std::optional<PictureSize> size = JpegFrameSize(source);
    return size ? std::to_string(size->width) + "x" + std::to_string(size->height) : std::string("none");
  };
  const Bytes sof2 = Segment(0xC2, {8, 0xEA, 0x60, 0x17, 0x70, 3});  // 6000 wide, 60000 high
  EXPECT_EQ(frameSize(soi + ExifSaying(6) + Segment(0xC4, Bytes(20, 0)) + sof2 + scan + eoi), "6000x60000");
  EXPECT_EQ(frameSize(soi + scanHeader + sof2 + eoi), "none") << "after the scan";
  EXPECT_EQ(frameSize(soi + WithoutLast(sof2, 2)), "none") << "cut short";
  EXPECT_EQ(frameSize(Tiff(true, 8, {{0x0100, kShort, 1, 640}})), "none") << "not a JPEG";
}

// Pixel i of the 3 x 2 test picture: distinct bytes in every channel.
Bytes Labelled(int i) {
  const int b = 10 * i;
  return {std::uint8_t(b + 1), std::uint8_t(b + 2), std::uint8_t(b + 3), std::uint8_t(200 + i)};
}

TEST(PictureOrientation, OrientTurnsThePictureUpright) {
  // The source, as it is stored:  A B C
  //                               D E F
  Bytes source;
  for (int i = 0; i < 6; ++i) source = source + Labelled(i);
  struct Case {
    int orientation;
    int width, height;  // of the result
    const char* rows;   // the result's pixels, row after row
  };
  const Case cases[] = {
      {1, 3, 2, "ABC" "DEF"},       {2, 3, 2, "CBA" "FED"},       {3, 3, 2, "FED" "CBA"},
      {4, 3, 2, "DEF" "ABC"},       {5, 2, 3, "AD" "BE" "CF"},    {6, 2, 3, "DA" "EB" "FC"},
      {7, 2, 3, "FC" "EB" "DA"},    {8, 2, 3, "CF" "BE" "AD"},    {0, 3, 2, "ABC" "DEF"},
      {9, 3, 2, "ABC" "DEF"},       {-6, 3, 2, "ABC" "DEF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OrientationSwapsSides(c.orientation), c.width == 2) << c.orientation;
    Bytes expected;
    for (const char* p = c.rows; *p; ++p) expected = expected + Labelled(*p - 'A');
    EXPECT_EQ(Orient(source.data(), 3, 2, c.orientation), expected) << c.orientation;
  }
}

TEST(PictureReduction, ReducedSizeKeepsTheShape) {
  struct Case {
    int width, height, longest, expectedWidth, expectedHeight;
  };
  const Case cases[] = {
      {4032, 3024, 2048, 2048, 1536}, {6000, 4000, 2048, 2048, 1365}, {3024, 4032, 2048, 1536, 2048},
      {100000, 1, 2048, 2048, 1},     {1, 100000, 2048, 1, 2048},     {4000, 3001, 2048, 2048, 1537},
      {2048, 2048, 2048, 2048, 2048}, {640, 480, 2048, 640, 480},     {4097, 3, 2048, 2048, 1},
  };
  for (const Case& c : cases) {
    int w = 0, h = 0;
    ReducedSize(c.width, c.height, c.longest, &w, &h);
    EXPECT_EQ(w, c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(h, c.expectedHeight) << c.width << "x" << c.height;
  }
}

// width x height pixels B,G,R,A from `pixel`, which gives them as 0xAARRGGBB.
Bytes Picture(int width, int height, const std::function<std::uint32_t(int, int)>& pixel) {
  Bytes b;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Put(b, pixel(x, y), 4, true);
  return b;
}

Bytes Reduce(const Bytes& source, int sw, int sh, int dw, int dh) {
  BoxReducer reducer(sw, sh, dw, dh);
  reducer.AddRows(source.data(), sh, std::ptrdiff_t(sw) * 4);
  EXPECT_TRUE(reducer.Done());
  return reducer.TakePixels();
}

TEST(PictureReduction, FlatColourStaysExact) {
  struct Case {
    int sw, sh, dw, dh;
  } const cases[] = {
      {7, 5, 3, 2}, {1000, 3, 7, 1}, {5, 7, 1, 1}, {6, 4, 6, 3},
      // The largest sides, where the sums come closest to 32 bits.
      {65535, 40, 4097, 3}, {65535, 40, 1, 1}, {3, 65535, 2, 1}, {3, 65535, 1, 65534},
  };
  for (std::uint32_t colour : {0xFFFEFF01u, 0x80FF0111u}) {
    for (const Case& c : cases) {
      // One row given again and again: stride 0.
      const Bytes row = Picture(c.sw, 1, [&](int, int) { return colour; });
      BoxReducer reducer(c.sw, c.sh, c.dw, c.dh);
      reducer.AddRows(row.data(), c.sh, 0);
      ASSERT_TRUE(reducer.Done());
      EXPECT_EQ(reducer.Pixels(), Picture(c.dw, c.dh, [&](int, int) { return colour; }))
          << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
    }
  }
}

TEST(PictureReduction, AveragesTheCoveredAreaOfEachChannelAlone) {
  // 5 x 3 to 2 x 2: across, the columns weigh 2 2 1 0 0 and 0 0 1 2 2 (of 5);
  // down, the rows 2 1 0 and 0 1 2 (of 3).
  const int grid[3][5] = {{10, 20, 30, 40, 50}, {60, 70, 80, 90, 100}, {0, 0, 0, 0, 250}};
  // Across: 18 42 / 68 92 / 0 100.  Down: (2*18 + 68)/3 = 34.67, (2*42 + 92)/3
  // = 58.67, (68 + 0)/3 = 22.67, (92 + 200)/3 = 97.33.
  const int averages[4] = {35, 59, 23, 97};
  const std::uint8_t others[4] = {0x00, 0xFF, 0x80, 0x01};  // the channels that stay flat
  for (int channel = 0; channel < 4; ++channel) {
    const Bytes source = Picture(5, 3, [&](int x, int y) {
      std::uint32_t p = 0;
      for (int k = 0; k < 4; ++k) p |= std::uint32_t(k == channel ? grid[y][x] : others[k]) << (8 * k);
      return p;
    });
    const Bytes reduced = Reduce(source, 5, 3, 2, 2);
    ASSERT_EQ(reduced.size(), 16u);
    for (int i = 0; i < 4; ++i)
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(reduced[4 * i + k], k == channel ? averages[i] : others[k])
            << "channel " << channel << ", pixel " << i << ", byte " << k;
  }
}

// The exact mean of the source area under destination pixel (x, y), channel k.
double CoveredMean(const Bytes& src, int sw, int sh, int dw, int dh, int x, int y, int k) {
  double sum = 0;
  for (int sy = 0; sy < sh; ++sy) {
    const long oy = std::min(long(sy + 1) * dh, long(y + 1) * sh) - std::max(long(sy) * dh, long(y) * sh);
    for (int sx = 0; sx < sw && oy > 0; ++sx) {
      const long ox = std::min(long(sx + 1) * dw, long(x + 1) * sw) - std::max(long(sx) * dw, long(x) * sw);
      if (ox > 0) sum += double(src[(std::size_t(sy) * sw + sx) * 4 + k]) * double(ox) * double(oy);
    }
  }
  return sum / (double(sw) * sh);
}

TEST(PictureReduction, StripsOfAnySizeGiveTheSameCloseAverages) {
  struct Case {
    int sw, sh, dw, dh;
  } const cases[] = {{37, 23, 10, 7}, {40, 24, 10, 6}, {37, 23, 37, 5}, {37, 23, 5, 23}};
  std::mt19937 random(12);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " -> " + std::to_string(c.dw) + "x" +
                 std::to_string(c.dh));
    const Bytes source = Picture(c.sw, c.sh, [&](int, int) { return std::uint32_t(random()); });
    const std::size_t rowBytes = std::size_t(c.sw) * 4;
    const Bytes whole = Reduce(source, c.sw, c.sh, c.dw, c.dh);
    for (int y = 0; y < c.dh; ++y)
      for (int x = 0; x < c.dw; ++x)
        for (int k = 0; k < 4; ++k)
          EXPECT_NEAR(whole[(std::size_t(y) * c.dw + x) * 4 + k],
                      CoveredMean(source, c.sw, c.sh, c.dw, c.dh, x, y, k), 1.0)
              << x << "," << y << " channel " << k;

    for (int strip : {1, 2, 3, 4, 5, 7}) {
      // Each strip in a buffer of its own, rows padded and stored bottom-up;
      // the last strip asks for more rows than there are, which must not be read.
      BoxReducer reducer(c.sw, c.sh, c.dw, c.dh);
      for (int y = 0; y < c.sh; y += strip) {
        const int rows = std::min(strip, c.sh - y);
        const std::size_t stride = rowBytes + 8;
        Bytes buffer(stride * rows, 0xEE);
        for (int r = 0; r < rows; ++r)
          std::copy_n(&source[(y + r) * rowBytes], rowBytes, &buffer[(rows - 1 - r) * stride]);
        EXPECT_FALSE(reducer.Done());
        const int asked = y + rows == c.sh ? rows + 9 : rows;
        reducer.AddRows(&buffer[(rows - 1) * stride], asked, -std::ptrdiff_t(stride));
      }
      EXPECT_TRUE(reducer.Done());
      EXPECT_EQ(reducer.Pixels(), whole) << "strips of " << strip;
    }
  }
}

TEST(PictureReduction, SameSizeIsThePictureItself) {
  std::mt19937 random(5);
  const Bytes source = Picture(13, 9, [&](int, int) { return std::uint32_t(random()); });
  EXPECT_EQ(Reduce(source, 13, 9, 13, 9), source);
}

}  // namespace
}  // namespace gelmo
