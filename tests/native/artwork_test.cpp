// The window icon and hand cursor files, read back the way the platform reads
// them: directory, BITMAPINFOHEADER, palette, bottom-up colour and AND rows.
#include "scr/start/artwork.h"

#include <gtest/gtest.h>

#include <set>

namespace gelmo {
namespace {

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

// One-image .ico / .cur file, decoded.
struct IconFile {
  std::vector<std::uint8_t> bytes;
  std::uint32_t type, count, width, height, colourCount, field1, field2, imageBytes, imageOffset;
  std::uint32_t headerSize, bmpWidth, bmpHeight, planes, bitCount, compression, coloursUsed;

  explicit IconFile(std::vector<std::uint8_t> file) : bytes(std::move(file)) {
    type = U16(bytes, 2);
    count = U16(bytes, 4);
    width = bytes.at(6);
    height = bytes.at(7);
    colourCount = bytes.at(8);
    field1 = U16(bytes, 10);
    field2 = U16(bytes, 12);
    imageBytes = U32(bytes, 14);
    imageOffset = U32(bytes, 18);
    headerSize = U32(bytes, imageOffset);
    bmpWidth = U32(bytes, imageOffset + 4);
    bmpHeight = U32(bytes, imageOffset + 8);
    planes = U16(bytes, imageOffset + 12);
    bitCount = U16(bytes, imageOffset + 14);
    compression = U32(bytes, imageOffset + 16);
    coloursUsed = U32(bytes, imageOffset + 32);
  }
  std::uint32_t PaletteEntries() const { return coloursUsed ? coloursUsed : 1u << bitCount; }
  std::size_t PaletteAt() const { return imageOffset + headerSize; }
  std::size_t XorAt() const { return PaletteAt() + 4 * PaletteEntries(); }
  std::uint32_t XorRow() const { return (width * bitCount + 31) / 32 * 4; }
  std::uint32_t AndRow() const { return (width + 31) / 32 * 4; }
  std::size_t AndAt() const { return XorAt() + std::size_t(XorRow()) * height; }
  std::size_t End() const { return AndAt() + std::size_t(AndRow()) * height; }

  // y counted from the top, as the picture is seen
  std::uint32_t Index(int x, int y) const {
    const std::size_t row = XorAt() + std::size_t(XorRow()) * (height - 1 - y);
    const std::uint32_t bit = std::uint32_t(x) * bitCount;
    const int shift = 8 - int(bit % 8) - int(bitCount);
    return (bytes.at(row + bit / 8) >> shift) & ((1u << bitCount) - 1);
  }
  bool Transparent(int x, int y) const {
    const std::size_t row = AndAt() + std::size_t(AndRow()) * (height - 1 - y);
    return (bytes.at(row + x / 8) >> (7 - x % 8)) & 1;
  }
  std::uint32_t Colour(int x, int y) const {  // 0xRRGGBB from the BGR palette
    const std::size_t at = PaletteAt() + 4 * Index(x, y);
    return bytes.at(at + 2) << 16 | bytes.at(at + 1) << 8 | bytes.at(at);
  }
};

int Red(std::uint32_t c) { return c >> 16 & 0xFF; }
int Green(std::uint32_t c) { return c >> 8 & 0xFF; }
int Blue(std::uint32_t c) { return c & 0xFF; }

// What the headers say of the layout must hold for the bytes themselves.
void ExpectOneConsistentImage(const IconFile& f, std::uint32_t bitCount) {
  EXPECT_EQ(U16(f.bytes, 0), 0u);
  EXPECT_EQ(f.count, 1u);
  EXPECT_EQ(f.width, 32u);
  EXPECT_EQ(f.height, 32u);
  EXPECT_EQ(f.imageOffset, 6u + 16u);
  EXPECT_EQ(f.imageOffset + f.imageBytes, f.bytes.size());
  EXPECT_EQ(f.headerSize, 40u);
  EXPECT_EQ(f.bmpWidth, 32u);
  EXPECT_EQ(f.bmpHeight, 64u);  // colour mask and AND mask
  EXPECT_EQ(f.planes, 1u);
  EXPECT_EQ(f.bitCount, bitCount);
  EXPECT_EQ(f.compression, 0u);
  EXPECT_EQ(f.PaletteEntries(), 1u << bitCount);
  EXPECT_EQ(f.End(), f.bytes.size());
  EXPECT_EQ(U32(f.bytes, f.imageOffset + 20), f.End() - f.XorAt());  // biSizeImage
}

// The file holds the very picture the artwork accessors show, and where the
// AND mask lets the screen through the colour is black, so nothing is
// inverted or tinted there.
void ExpectFileShowsArtwork(const IconFile& f, const IndexedArtwork& art) {
  ASSERT_EQ(art.width, 32);
  ASSERT_EQ(art.height, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(f.Transparent(x, y), art.Transparent(x, y)) << x << "," << y;
      const std::uint32_t expected = art.Transparent(x, y) ? 0 : art.Colour(x, y);
      ASSERT_EQ(f.Colour(x, y), expected) << x << "," << y;
    }
  }
}

TEST(Artwork, WindowIconIsOne256ColourImageShowingTheArtwork) {
  const IconFile f(WindowIconFile());
  EXPECT_EQ(f.type, 1u);
  EXPECT_EQ(f.colourCount, 0u);  // 256 colours
  EXPECT_EQ(f.field1, 1u);       // planes
  EXPECT_EQ(f.field2, 8u);       // bits per pixel
  ExpectOneConsistentImage(f, 8);
  EXPECT_EQ(f.bytes.size(), 22u + 40 + 256 * 4 + 32 * 32 + 32 * 4);
  ExpectFileShowsArtwork(f, WindowIconArtwork());
}

TEST(Artwork, HandCursorIsOneMonochromeImageShowingTheArtwork) {
  const IconFile f(HandCursorFile());
  EXPECT_EQ(f.type, 2u);
  EXPECT_EQ(f.field1, 12u);  // hot spot
  EXPECT_EQ(f.field2, 10u);
  ExpectOneConsistentImage(f, 1);
  EXPECT_EQ(f.bytes.size(), 22u + 40 + 2 * 4 + 32 * 4 + 32 * 4);
  EXPECT_EQ(U32(f.bytes, f.PaletteAt()), 0x000000u);
  EXPECT_EQ(U32(f.bytes, f.PaletteAt() + 4), 0xFFFFFFu);
  ExpectFileShowsArtwork(f, HandCursorArtwork());
}

TEST(Artwork, HotSpotIsTheTipOfTheRaisedFinger) {
  const IconFile f(HandCursorFile());
  const int x = int(f.field1), y = int(f.field2);
  ASSERT_FALSE(f.Transparent(x, y));
  EXPECT_EQ(f.Colour(x, y), 0x000000u);  // the outline
  EXPECT_FALSE(f.Transparent(x, y + 1));
  EXPECT_EQ(f.Colour(x, y + 1), 0xFFFFFFu);  // the finger itself below it
  // nothing of the hand reaches higher than the finger tip
  for (int row = 0; row < y; ++row) {
    for (int col = 0; col < 32; ++col) EXPECT_TRUE(f.Transparent(col, row)) << col << "," << row;
  }
}

TEST(Artwork, HandIsWhiteInsideAClosedBlackOutline) {
  const IconFile f(HandCursorFile());
  int white = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (f.Transparent(x, y) || f.Colour(x, y) != 0xFFFFFFu) continue;
      ++white;
      ASSERT_TRUE(x > 0 && x < 31 && y > 0 && y < 31) << x << "," << y;
      EXPECT_FALSE(f.Transparent(x - 1, y) || f.Transparent(x + 1, y) || f.Transparent(x, y - 1) ||
                   f.Transparent(x, y + 1))
          << "white pixel " << x << "," << y << " touches the screen";
    }
  }
  EXPECT_GT(white, 150);  // a hand, not a few dots
}

TEST(Artwork, IconIsARoundedSquareOfManyColoursWithThePeachSheetInTheMiddle) {
  const IconFile f(WindowIconFile());
  for (int x : {0, 31}) {
    for (int y : {0, 31}) EXPECT_TRUE(f.Transparent(x, y)) << x << "," << y;
  }
  for (int i = 8; i < 24; ++i) {  // the square reaches the middle of each edge
    EXPECT_FALSE(f.Transparent(i, 0) || f.Transparent(i, 31) || f.Transparent(0, i) ||
                 f.Transparent(31, i))
        << i;
  }
  std::set<std::uint32_t> colours;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!f.Transparent(x, y)) colours.insert(f.Colour(x, y));
    }
  }
  EXPECT_GT(colours.size(), 100u);
  // the sheet is warm, the backdrop around it cool
  const std::uint32_t sheet = f.Colour(16, 16);
  EXPECT_GT(Red(sheet), Green(sheet));
  EXPECT_GT(Green(sheet), Blue(sheet));
  const int backdrop[][2] = {{16, 2}, {3, 16}, {16, 29}};
  for (const auto& at : backdrop) {
    const std::uint32_t c = f.Colour(at[0], at[1]);
    EXPECT_GT(Blue(c), Red(c)) << at[0] << "," << at[1];
  }
}

}  // namespace
}  // namespace gelmo
