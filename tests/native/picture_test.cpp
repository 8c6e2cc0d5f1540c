// The size picture files claim in their headers and the pictures'
// orientation, read from made-up bytes, the orientation applied, and the
// pictures' reduction to the size the saver shows them at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "scr/pictures/picture_header.h"
#include "scr/pictures/picture_orientation.h"
#include "scr/pictures/picture_reduction.h"

namespace gelmo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void Put(Bytes& b, std::uint64_t v, int n, bool little) {
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

  // The size a JPEG claims, from its first start-of-frame segment (the
  // Huffman tables' C4 is none) before the scan.
  auto frameSize = [](const Bytes& bytes) {
    MemoryPictureBytes source(bytes.data(), bytes.size());
    const std::optional<PictureClaim> claim = ClaimedPictureSize(source);
    return claim ? std::to_string(claim->widest) + "x" + std::to_string(claim->tallest) : std::string("none");
  };
  const Bytes sof2 = Segment(0xC2, {8, 0xEA, 0x60, 0x17, 0x70, 3});  // 6000 wide, 60000 high
  EXPECT_EQ(frameSize(soi + ExifSaying(6) + Segment(0xC4, Bytes(20, 0)) + sof2 + scan + eoi), "6000x60000");
  EXPECT_EQ(frameSize(soi + scanHeader + sof2 + eoi), "none") << "after the scan";
  EXPECT_EQ(frameSize(soi + WithoutLast(sof2, 2)), "none") << "cut short";
  EXPECT_EQ(frameSize(Tiff(true, 8, {{0x0100, kShort, 1, 640}})), "640x0") << "a TIFF by its directory";
}

// ---- the sizes picture files claim in their headers ----

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes From(const Bytes& b, std::size_t n) { return Bytes(b.begin() + n, b.end()); }
Bytes Le(std::uint32_t v, int n) {
  Bytes b;
  Put(b, v, n, true);
  return b;
}
Bytes Be(std::uint32_t v, int n) {
  Bytes b;
  Put(b, v, n, false);
  return b;
}
struct Sides {
  std::uint32_t width, height;
};

Bytes Png(std::uint32_t width, std::uint32_t height) {
  return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Be(13, 4) + Text("IHDR") + Be(width, 4) +
         Be(height, 4) + Bytes{8, 6, 0, 0, 0} + Be(0, 4);
}

// A screen with four colours, a comment, then each image with a frame's
// control extension, two colours of its own and LZW data in two sub-blocks.
// The tables and the data are bytes that look like image introducers.
Bytes Gif(Sides screen, const std::vector<Sides>& images) {
  Bytes b = Text("GIF89a") + Le(screen.width, 2) + Le(screen.height, 2) + Bytes{0x81, 0, 0} + Bytes(12, 0x2C) +
            Bytes{0x21, 0xFE, 2, 0x2C, 0x2C, 0};
  for (const Sides& image : images)
    b = b + Bytes{0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C} + Le(0, 4) + Le(image.width, 2) + Le(image.height, 2) +
        Bytes{0x80} + Bytes(6, 0x2C) + Bytes{2, 3, 0x2C, 0x2C, 0x2C, 1, 0x3B, 0};
  return b + Bytes{0x3B};
}

// A bitmap's info header of headerSize bytes: 16-bit sides in the 12-byte one.
Bytes BitmapInfo(std::uint32_t headerSize, std::uint32_t width, std::uint32_t height) {
  const int side = headerSize == 12 ? 2 : 4;
  Bytes b = Le(headerSize, 4) + Le(width, side) + Le(height, side) + Le(1, 2) + Le(24, 2);
  b.resize(std::max<std::size_t>(b.size(), headerSize), 0);
  return b;
}
Bytes Bmp(std::uint32_t headerSize, std::uint32_t width, std::uint32_t height) {
  return Text("BM") + Le(0, 4) + Le(0, 4) + Le(14 + headerSize, 4) + BitmapInfo(headerSize, width, height);
}

struct TiffTag {
  std::uint16_t tag, type;
  std::uint64_t value;
};
constexpr std::uint16_t kByte = 1, kLong8 = 16;
constexpr int kMostPages = 4096;  // the directories a chain is followed through
// The directories one after another, each linking to the next; the last to
// directory `lastLinksTo` (-1: to none).  BigTIFF when `big`.
Bytes TiffChain(bool little, const std::vector<std::vector<TiffTag>>& directories, int lastLinksTo = -1,
                bool big = false) {
  const std::uint32_t entryBytes = big ? 20 : 12, linkBytes = big ? 8 : 4, countBytes = big ? 8 : 2;
  std::vector<std::uint32_t> at;
  std::uint32_t next = big ? 16 : 8;
  for (const auto& d : directories) at.push_back(next), next += countBytes + entryBytes * d.size() + linkBytes;
  Bytes b = little ? Text("II") : Text("MM");
  Put(b, big ? 43 : 42, 2, little);
  if (big) Put(b, 8, 2, little), Put(b, 0, 2, little);  // offsets' size, 0
  Put(b, at.empty() ? 0 : at[0], linkBytes, little);
  for (std::size_t i = 0; i < directories.size(); ++i) {
    Put(b, std::uint32_t(directories[i].size()), countBytes, little);
    for (const TiffTag& t : directories[i]) {
      Put(b, t.tag, 2, little);
      Put(b, t.type, 2, little);
      Put(b, 1, big ? 8 : 4, little);
      const int valueBytes = t.type == kShort ? 2 : t.type == kByte ? 1 : t.type == kLong8 ? 8 : 4;
      Put(b, t.value, valueBytes, little);
      Put(b, 0, int(linkBytes) - valueBytes, little);
    }
    const int link = i + 1 < directories.size() ? int(i + 1) : lastLinksTo;
    Put(b, link < 0 ? 0 : at[link], linkBytes, little);
  }
  return b;
}

struct IconEntry {
  std::uint8_t width, height;  // 0 for 256
  Bytes data;
};
Bytes Icon(const std::vector<IconEntry>& entries, std::uint16_t type = 1) {
  Bytes b = Le(0, 2) + Le(type, 2) + Le(std::uint32_t(entries.size()), 2), data;
  for (const IconEntry& e : entries) {
    b = b + Bytes{e.width, e.height, 0, 0} + Le(1, 2) + Le(32, 2) + Le(std::uint32_t(e.data.size()), 4) +
        Le(std::uint32_t(6 + 16 * entries.size() + data.size()), 4);
    data = data + e.data;
  }
  return b + data;
}

Bytes Jpeg(std::uint32_t width, std::uint32_t height) {
  return Bytes{0xFF, 0xD8} + Segment(0xC0, Bytes{8} + Be(height, 2) + Be(width, 2) + Bytes{1, 1, 0x11, 0}) +
         Bytes{0xFF, 0xD9};
}

Bytes Chunk(const char* id, const Bytes& data) {
  Bytes b = Text(id) + Le(std::uint32_t(data.size()), 4) + data;
  if (data.size() % 2) b.push_back(0);
  return b;
}
Bytes Webp(const Bytes& chunks) {
  return Text("RIFF") + Le(std::uint32_t(4 + chunks.size()), 4) + Text("WEBP") + chunks;
}
Bytes Vp8(std::uint32_t width, std::uint32_t height) {  // a key frame: its tag, start code, sides
  return Chunk("VP8 ", Bytes{0x50, 0x02, 0x00, 0x9D, 0x01, 0x2A} + Le(width, 2) + Le(height, 2) + Bytes(4, 0));
}
Bytes Vp8l(std::uint32_t width, std::uint32_t height) {
  return Chunk("VP8L", Bytes{0x2F} + Le((width - 1) | (height - 1) << 14, 4) + Bytes{0});
}
Bytes Vp8x(std::uint32_t width, std::uint32_t height) {
  return Chunk("VP8X", Bytes{0x02, 0, 0, 0} + Le(width - 1, 3) + Le(height - 1, 3));
}
Bytes Anmf(std::uint32_t width, std::uint32_t height) {
  return Chunk("ANMF", Le(0, 6) + Le(width - 1, 3) + Le(height - 1, 3) + Le(100, 3) + Bytes{0} + Vp8l(2, 2));
}

Bytes Box(const char* type, const Bytes& contents) {
  return Be(std::uint32_t(8 + contents.size()), 4) + Text(type) + contents;
}
Bytes FullBox(const char* type, const Bytes& contents) { return Box(type, Bytes(4, 0) + contents); }
Bytes Ispe(std::uint32_t width, std::uint32_t height) { return FullBox("ispe", Be(width, 4) + Be(height, 4)); }
Bytes Ftyp(const char* major, const char* compatible) {
  return Box("ftyp", Text(major) + Be(0, 4) + Text(compatible) + Text(major));
}
Bytes Heif(const Bytes& properties, const char* brand = "heic") {
  return Ftyp(brand, "mif1") +
         FullBox("meta", FullBox("hdlr", Be(0, 4) + Text("pict") + Bytes(13, 0)) +
                             Box("iprp", Box("ipco", properties) + FullBox("ipma", Be(0, 4))));
}

std::string Claim(const Bytes& bytes) {
  MemoryPictureBytes source(bytes.data(), bytes.size());
  const std::optional<PictureClaim> c = ClaimedPictureSize(source);
  if (!c) return "none";
  return std::to_string(c->widest) + "x" + std::to_string(c->tallest) + " " + std::to_string(c->mostPixels) +
         (c->emptySide ? " empty" : "") + (c->unread ? " unread" : "") +
         (ClaimFits(*c, 65535, std::uint64_t{1} << 28) ? "" : " refused");
}

TEST(PictureHeader, ReadsTheLargestClaimOfEveryImage) {
  const Bytes nothing;
  const std::vector<TiffTag> vga{{256, kShort, 640}, {257, kShort, 480}};
  const Bytes tiffLoop = TiffChain(true, {vga, {{256, kLong, 800}, {257, kLong, 600}}}, 0);
  const Bytes tiffSelfLoop = TiffChain(false, {vga}, 0);
  // The second directory's entries run past the end: no decoder reads it.
  const Bytes ifdPastTheEnd =
      WithoutLast(TiffChain(true, {vga, {{256, kLong, 70000}, {257, kLong, 70000}}}), 5);
  // Walks as long as their bounds, and longer, each before a huge image:
  // what is left unread is refused.
  auto gifAfterSubBlocks = [](std::size_t n) {
    Bytes comment{0x21, 0xFE};
    for (std::size_t i = 0; i < n; ++i) comment.insert(comment.end(), {1, 0x2C});
    return WithoutLast(Gif({10, 10}, {}), 1) + comment + Bytes{0} + From(Gif({1, 1}, {{60000, 60000}}), 31);
  };
  std::vector<std::vector<TiffTag>> pages(kMostPages - 1);
  pages.push_back(vga);
  const Bytes tiffAtTheBound = TiffChain(true, pages);
  pages.insert(pages.begin(), std::vector<TiffTag>{});
  const Bytes tiffPastTheBound = TiffChain(true, pages);
  Bytes restarts{0xFF, 0xD8}, junk, free;
  for (int i = 0; i < 1 << 16; ++i) {
    restarts.insert(restarts.end(), {0xFF, 0xD0});
    const Bytes chunk = Chunk("JUNK", {}), box = Box("free", {});
    junk.insert(junk.end(), chunk.begin(), chunk.end());
    if (i < 4096) free.insert(free.end(), box.begin(), box.end());
  }
  const Bytes heifAfterFreeBoxes = Ftyp("heic", "mif1") + free + From(Heif(Ispe(70000, 70000)), 24);

  Bytes heif64 = Ftyp("avif", "mif1") +  // an ipco with a 64-bit size, in a meta running to the end
                 Be(0, 4) + Text("meta") + Be(0, 4) +
                 Box("iprp", Be(1, 4) + Text("ipco") + Be(0, 4) + Be(16 + 20, 4) + Ispe(70000, 2));

  struct Case {
    const char* what;
    Bytes bytes;
    const char* expected;  // widest x tallest, most pixels of one image
  };
  const Case cases[] = {
      {"PNG", Png(640, 480), "640x480 307200"},
      {"PNG, a side at the most", Png(65535, 4096), "65535x4096 268431360"},
      {"PNG, a side past the most", Png(65536, 1), "65536x1 65536 refused"},
      {"PNG, pixels at the most", Png(16384, 16384), "16384x16384 268435456"},
      {"PNG, pixels past the most", Png(16384, 16385), "16384x16385 268451840 refused"},
      {"PNG, 30000 x 30000", Png(30000, 30000), "30000x30000 900000000 refused"},
      {"PNG, width 0", Png(0, 10), "0x10 0 empty refused"},
      {"PNG, another chunk before IHDR", WithoutLast(Png(1, 1), 25) + Chunk("sRGB", {0}) + Png(1, 1), "none"},
      {"GIF", Gif({320, 200}, {{320, 200}, {10, 10}}), "320x200 64000"},
      {"GIF, the second image huge", Gif({320, 200}, {{320, 200}, {65535, 65535}}),
       "65535x65535 4294836225 refused"},
      {"GIF, screen of 0 x 0", Gif({0, 0}, {{5, 7}}), "5x7 35"},
      {"GIF, nothing read after the trailer", Gif({8, 8}, {}) + From(Gif({1, 1}, {{60000, 60000}}), 13),
       "8x8 64"},
      {"BMP, 12-byte header", Bmp(12, 300, 200), "300x200 60000"},
      {"BMP, 12-byte header, 16-bit sides", Bmp(12, 65535, 65535), "65535x65535 4294836225 refused"},
      {"BMP, 40-byte header", Bmp(40, 640, 480), "640x480 307200"},
      {"BMP, top-down", Bmp(40, 640, std::uint32_t(-480)), "640x480 307200"},
      {"BMP, the most negative height", Bmp(40, 1, 0x80000000u), "1x2147483648 2147483648 refused"},
      {"BMP, negative width", Bmp(40, std::uint32_t(-1), 1), "4294967295x1 4294967295 refused"},
      {"BMP, height 0", Bmp(40, 5, 0), "5x0 0 empty refused"},
      {"BMP, 52-byte header", Bmp(52, 16, 16), "16x16 256"},
      {"BMP, 56-byte header", Bmp(56, 16, 16), "16x16 256"},
      {"BMP, OS/2 2.x 64-byte header", Bmp(64, 70000, 2), "70000x2 140000 refused"},
      {"BMP, 108-byte header", Bmp(108, 16384, std::uint32_t(-16384)), "16384x16384 268435456"},
      {"BMP, 124-byte header", Bmp(124, 16384, std::uint32_t(-16385)), "16384x16385 268451840 refused"},
      {"TIFF, the second directory huge",
       TiffChain(true, {vga, {{256, kLong, 70000}, {257, kLong, 10}}}), "70000x480 700000 refused"},
      {"TIFF, big-endian, LONG sides", TiffChain(false, {{{256, kLong, 4000}, {257, kLong, 3000}}}),
       "4000x3000 12000000"},
      {"TIFF, big-endian, the second directory huge",
       TiffChain(false, {vga, {{256, kShort, 30000}, {257, kShort, 30000}}}), "30000x30000 900000000 refused"},
      {"TIFF, BYTE sides", TiffChain(true, {{{256, kByte, 200}, {257, kByte, 100}}}), "200x100 20000"},
      {"TIFF, a directory without sides", TiffChain(true, {{{274, kShort, 1}}, vga}), "640x480 307200"},
      {"TIFF, a directory without a height", TiffChain(true, {vga, {{256, kShort, 10}}}),
       "640x480 307200 empty refused"},
      {"TIFF, the last directory links to the first", tiffLoop, "800x600 480000"},
      {"TIFF, a directory links to itself", tiffSelfLoop, "640x480 307200"},
      {"TIFF, the second directory cut short", ifdPastTheEnd, "640x480 307200"},
      {"BigTIFF, LONG8 sides, one past 32 bits",
       TiffChain(true, {vga, {{256, kLong8, 100000}, {257, kLong8, (std::uint64_t{1} << 32) + 1}}}, -1, true),
       "100000x4294967295 429496729500000 refused"},
      {"BigTIFF, big-endian", TiffChain(false, {vga}, -1, true), "640x480 307200"},
      {"ICO, a bitmap (its height counts the mask) and a PNG",
       Icon({{16, 16, BitmapInfo(40, 16, 32)}, {32, 32, Png(32, 32)}}), "32x32 1024"},
      {"ICO, a side of 0 is 256", Icon({{0, 0, Png(256, 256)}}), "256x256 65536"},
      {"ICO, an entry holding a huge PNG", Icon({{16, 16, Png(16, 16)}, {32, 32, Png(30000, 30000)}}),
       "30000x30000 900000000 refused"},
      {"CUR, an entry holding a huge bitmap", Icon({{32, 32, BitmapInfo(40, 100000, 200000)}}, 2),
       "100000x100000 10000000000 refused"},
      {"ICO with no entries", Icon({}), "none"},
      {"JPEG", Jpeg(6000, 4000), "6000x4000 24000000"},
      {"JPEG, pixels past the most", Jpeg(65535, 65535), "65535x65535 4294836225 refused"},
      {"JPEG, fill bytes before the frame's marker", Bytes{0xFF, 0xD8, 0xFF, 0xFF} + From(Jpeg(300, 200), 2),
       "300x200 60000"},
      {"JPEG, height given later in the scan", Jpeg(640, 0), "640x0 0"},
      {"JPEG, width 0", Jpeg(0, 480), "0x480 0 empty refused"},
      {"WebP, lossy", Webp(Vp8(640, 480)), "640x480 307200"},
      {"WebP, lossy, scaling bits above the sides", Webp(Vp8(640 | 0xC000, 480 | 0x4000)), "640x480 307200"},
      {"WebP, lossy without its start code", Webp(Chunk("VP8 ", Bytes(10, 0))), "none"},
      {"WebP, lossless at the most", Webp(Vp8l(16384, 16384)), "16384x16384 268435456"},
      {"WebP, extended canvas", Webp(Vp8x(20000, 20000) + Vp8l(2, 2)), "20000x20000 400000000 refused"},
      {"WebP, an animation frame past the most, after a chunk of odd size",
       Webp(Vp8x(100, 100) + Chunk("ICCP", {1, 2, 3}) + Chunk("ANIM", Bytes(6, 0)) + Anmf(100, 100) +
            Anmf(1 << 24, 1)),
       "16777216x100 16777216 refused"},
      {"HEIF, the picture and its thumbnail", Heif(Ispe(4032, 3024) + Ispe(320, 240)), "4032x3024 12192768"},
      {"AVIF, a second image huge", Heif(Ispe(100, 100) + Ispe(70000, 70000), "avif"),
       "70000x70000 4900000000 refused"},
      {"HEIF, an image of 0 x 0", Heif(Ispe(0, 0), "mif1"), "0x0 0 empty refused"},
      {"AVIF, 64-bit box size inside a box running to the end", heif64, "70000x2 140000 refused"},
      {"MP4, not a HEIF brand", Ftyp("isom", "mp41") + From(Heif(Ispe(70000, 70000)), 24), "none"},
      {"GIF, the huge image after half the bound", gifAfterSubBlocks(1 << 19),
       "60000x60000 3600000000 refused"},
      {"GIF, the huge image past the bound", gifAfterSubBlocks(1 << 20), "10x10 100 unread refused"},
      {"TIFF, the last directory at the bound", tiffAtTheBound, "640x480 307200"},
      {"TIFF, the last directory past the bound", tiffPastTheBound, "0x0 0 unread refused"},
      {"JPEG, the frame after too many markers", restarts + From(Jpeg(1, 1), 2), "0x0 0 unread refused"},
      {"WebP, the canvas after too many chunks", Webp(junk + Vp8x(70000, 1)), "0x0 0 unread refused"},
      {"HEIF, the images after too many boxes", heifAfterFreeBoxes, "0x0 0 unread refused"},
      {"empty file", nothing, "none"},
      {"no picture", Text("hello, world"), "none"},
  };
  for (const Case& c : cases) EXPECT_EQ(Claim(c.bytes), c.expected) << c.what;
}

TEST(PictureHeader, CutShortHeadersClaimNothing) {
  // Each file cut anywhere before the end of its first header claims
  // nothing; from there on, what the whole file claims.
  struct Case {
    const char* what;
    Bytes bytes;
    std::size_t header;  // where the first header ends
  };
  const Case cases[] = {
      {"PNG", Png(70000, 3), 24},
      {"GIF", Gif({300, 200}, {{300, 200}}), 13},
      {"BMP, 12-byte header", Bmp(12, 3, 70000), 22},
      {"BMP, 40-byte header", Bmp(40, 70000, 3), 26},
      {"TIFF", TiffChain(false, {{{256, kLong, 70000}, {257, kShort, 3}}}), 34},
      {"BigTIFF", TiffChain(true, {{{256, kLong, 70000}, {257, kShort, 3}}}, -1, true), 64},
      {"ICO", Icon({{32, 32, Png(32, 32)}}), 22},
      {"JPEG", Jpeg(640, 480), 15},
      {"WebP, lossy", Webp(Vp8(640, 480)), 30},
      {"WebP, lossless", Webp(Vp8l(640, 480)), 25},
      {"WebP, extended", Webp(Vp8x(70000, 3)), 30},
      {"HEIF", Heif(Ispe(70000, 3)), 105},  // ftyp 24, meta 12, hdlr 33, iprp 8, ipco 8, ispe 20
  };
  for (const Case& c : cases) {
    const std::string whole = Claim(c.bytes);
    ASSERT_NE(whole, "none") << c.what;
    for (std::size_t n = 0; n < c.bytes.size(); ++n)
      EXPECT_EQ(Claim(Bytes(c.bytes.begin(), c.bytes.begin() + n)), n < c.header ? "none" : whole)
          << c.what << ", the first " << n << " bytes";
  }
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
