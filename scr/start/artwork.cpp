#include "scr/start/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gelmo {
namespace {

constexpr int kSize = 32;

// ---- file images ----------------------------------------------------------

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

// One-image .ico (fileType 1) or .cur (fileType 2).  The directory entry's two
// 16-bit fields after the colour count are the planes and bit count of an icon
// and the hot spot of a cursor.  The image is a BITMAPINFOHEADER of twice the
// height (colour mask above AND mask), the palette, the colour rows and the
// AND rows, each row bottom-up and padded to 4 bytes.
std::vector<std::uint8_t> EncodeIconFile(std::uint16_t fileType, const IndexedArtwork& art,
                                         int bitsPerPixel, std::uint16_t field1,
                                         std::uint16_t field2) {
  const std::uint32_t colours = 1u << bitsPerPixel;
  const std::uint32_t xorRow = (std::uint32_t(art.width) * bitsPerPixel + 31) / 32 * 4;
  const std::uint32_t andRow = (std::uint32_t(art.width) + 31) / 32 * 4;
  const std::uint32_t imageBits = (xorRow + andRow) * std::uint32_t(art.height);
  const std::uint32_t imageBytes = 40 + colours * 4 + imageBits;
  constexpr std::uint32_t kDirectoryBytes = 6 + 16;

  std::vector<std::uint8_t> file;
  file.reserve(kDirectoryBytes + imageBytes);
  Put16(file, 0);  // reserved
  Put16(file, fileType);
  Put16(file, 1);                           // one image
  file.push_back(std::uint8_t(art.width));  // 256 would be written as 0
  file.push_back(std::uint8_t(art.height));
  file.push_back(colours >= 256 ? 0 : std::uint8_t(colours));
  file.push_back(0);  // reserved
  Put16(file, field1);
  Put16(file, field2);
  Put32(file, imageBytes);
  Put32(file, kDirectoryBytes);  // the image follows the directory

  Put32(file, 40);  // biSize
  Put32(file, std::uint32_t(art.width));
  Put32(file, std::uint32_t(art.height) * 2);  // colour mask and AND mask
  Put16(file, 1);                              // biPlanes
  Put16(file, std::uint32_t(bitsPerPixel));
  Put32(file, 0);  // BI_RGB
  Put32(file, imageBits);
  Put32(file, 0);  // resolution: not used for icons
  Put32(file, 0);
  Put32(file, 0);  // all 1 << bitsPerPixel palette entries
  Put32(file, 0);

  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::uint32_t rgb = i < art.palette.size() ? art.palette[i] : 0;
    file.push_back(rgb & 0xFF);  // RGBQUAD: blue, green, red, 0
    file.push_back((rgb >> 8) & 0xFF);
    file.push_back((rgb >> 16) & 0xFF);
    file.push_back(0);
  }

  const int perByte = 8 / bitsPerPixel;
  for (int y = art.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(xorRow, 0);
    for (int x = 0; x < art.width; ++x) {
      const int shift = 8 - bitsPerPixel * (x % perByte + 1);  // leftmost pixel in the high bits
      row[std::size_t(x / perByte)] |= std::uint8_t(art.Index(x, y) << shift);
    }
    file.insert(file.end(), row.begin(), row.end());
  }
  for (int y = art.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(andRow, 0);
    for (int x = 0; x < art.width; ++x) {
      if (art.Transparent(x, y)) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    }
    file.insert(file.end(), row.begin(), row.end());
  }
  return file;
}

// ---- the window icon ------------------------------------------------------

struct Rgb {
  double r, g, b;  // 0..255
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Signed distance from the edge of the icon's rounded square (negative inside).
double RoundedSquareDistance(double x, double y) {
  constexpr double kHalf = kSize / 2.0, kRadius = 6.5;
  const double qx = std::fabs(x - kHalf) - (kHalf - kRadius);
  const double qy = std::fabs(y - kHalf) - (kHalf - kRadius);
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - kRadius;
}

// A point as seen on the wobbling sheet centred at (cx, cy).
struct SheetPoint {
  double radius;  // below 1 inside the sheet, 1 on its edge
  double slope;   // -1..1: how far the wave there turns the sheet towards the light
};

// The sheet is a rounded rectangle, tilted a little, bent along its width by
// a wave, so that its top and bottom edges swing like cloth.
SheetPoint SheetAt(double x, double y, double cx, double cy) {
  constexpr double kCos = 0.978, kSin = -0.208;  // tilted by 12 degrees
  const double u = ((x - cx) * kCos + (y - cy) * kSin) / 11.2;
  const double phase = 3.1 * u + 0.6;
  const double v = (-(x - cx) * kSin + (y - cy) * kCos) / 8.2 - 0.22 * std::sin(phase);
  const double p = 3.2;
  const double r = std::pow(std::pow(std::fabs(u), p) + std::pow(std::fabs(v), p), 1 / p);
  return {r / (1 + 0.04 * std::sin(5 * std::atan2(v, u) + 1.0)), -std::cos(phase)};
}

// The icon's colour at one point of the 32 x 32 square (y downwards).
Rgb IconScene(double x, double y) {
  // backdrop: deep blue at the top left to teal at the bottom right, with a
  // faint light band turning across it
  const double t = Clamp01((y * 0.8 + x * 0.35) / (kSize * 1.15));
  Rgb c = Mix({16, 58, 122}, {42, 168, 154}, Smooth(0.0, 1.0, t));
  const double band = std::sin((x * 0.55 - y * 0.85) * 0.32 + 1.2);
  c = Mix(c, {120, 210, 220}, 0.10 * Smooth(0.6, 1.0, band));

  // the sheet's shadow on the backdrop, for the floating look
  constexpr double kCx = 16.0, kCy = 15.5;
  const SheetPoint shadow = SheetAt(x, y, kCx + 1.2, kCy + 2.0);
  c = Mix(c, {6, 20, 48}, 0.45 * Smooth(1.1, 0.85, shadow.radius));

  // the sheet: translucent peach, lighter where the wave faces the light and
  // towards the top left, with a denser orange rim
  const SheetPoint sheetPoint = SheetAt(x, y, kCx, kCy);
  const double s = sheetPoint.radius;
  if (s < 1.0) {
    const double lit =
        Clamp01(0.45 - ((x - kCx) * 0.5 + (y - kCy) * 0.8) / 26.0 + 0.5 * sheetPoint.slope);
    Rgb sheet = Mix({248, 118, 58}, {255, 212, 156}, lit);
    double alpha = 0.78;
    const double rim = Smooth(0.72, 0.97, s);
    sheet = Mix(sheet, {226, 86, 40}, rim * 0.7);
    alpha += rim * 0.18;
    const double coverage = Smooth(1.0, 0.93, s);
    c = Mix(c, sheet, alpha * coverage);

    // the highlight near the top left
    const double h = std::hypot((x - 10.5) / 2.8, (y - 9.8) / 1.8);
    c = Mix(c, {255, 246, 222}, 0.92 * Smooth(1.0, 0.4, h) * coverage);
  }

  // a thin dark frame keeps the square's shape on light desktops
  const double d = RoundedSquareDistance(x, y);
  c = Mix(c, {8, 28, 64}, 0.85 * Smooth(-1.6, -0.6, d));
  return c;
}

struct Sample {
  Rgb colour{0, 0, 0};
  bool opaque = false;
};

// Each pixel is the mean of 4 x 4 samples; it is opaque when at least half of
// them lie inside the rounded square.
std::vector<Sample> RenderIcon() {
  constexpr int kSub = 4;
  std::vector<Sample> pixels(kSize * kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Rgb sum{0, 0, 0};
      int inside = 0;
      for (int j = 0; j < kSub; ++j) {
        for (int i = 0; i < kSub; ++i) {
          const double sx = x + (i + 0.5) / kSub, sy = y + (j + 0.5) / kSub;
          if (RoundedSquareDistance(sx, sy) >= 0) continue;
          const Rgb s = IconScene(sx, sy);
          sum = {sum.r + s.r, sum.g + s.g, sum.b + s.b};
          ++inside;
        }
      }
      Sample& p = pixels[std::size_t(y) * kSize + x];
      p.opaque = inside * 2 >= kSub * kSub;
      if (inside > 0) p.colour = {sum.r / inside, sum.g / inside, sum.b / inside};
    }
  }
  return pixels;
}

std::uint32_t Pack(Rgb c) {
  auto byte = [](double v) { return std::uint32_t(v <= 0 ? 0 : v >= 255 ? 255 : v + 0.5); };
  return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}
int Channel(std::uint32_t rgb, int channel) { return int(rgb >> (16 - 8 * channel)) & 0xFF; }

// Median cut: the opaque pixels' colours are split, box by box along the
// widest channel, into at most `boxes` groups; each group's mean colour is one
// palette entry.  Ties are broken by pixel position so the result is the same
// with every standard library.
void Quantize(const std::vector<std::uint32_t>& colours, const std::vector<int>& members, int boxes,
              std::vector<std::uint32_t>& palette, std::vector<std::uint8_t>& index,
              std::uint8_t firstIndex) {
  std::vector<std::vector<int>> groups{members};
  auto range = [&](const std::vector<int>& g, int ch) {
    int lo = 255, hi = 0;
    for (int m : g) {
      lo = std::min(lo, Channel(colours[m], ch));
      hi = std::max(hi, Channel(colours[m], ch));
    }
    return g.empty() ? 0 : hi - lo;
  };
  while (int(groups.size()) < boxes) {
    int best = -1, bestChannel = 0, bestRange = 0;
    for (int g = 0; g < int(groups.size()); ++g) {
      for (int ch = 0; ch < 3; ++ch) {
        const int r = range(groups[g], ch);
        if (r > bestRange) best = g, bestChannel = ch, bestRange = r;
      }
    }
    if (best < 0) break;  // every group is a single colour
    std::vector<int>& g = groups[best];
    std::sort(g.begin(), g.end(), [&](int a, int b) {
      const int ca = Channel(colours[a], bestChannel), cb = Channel(colours[b], bestChannel);
      return ca != cb ? ca < cb : a < b;
    });
    std::vector<int> upper(g.begin() + std::ptrdiff_t(g.size() / 2), g.end());
    g.resize(g.size() / 2);
    groups.push_back(std::move(upper));
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].empty()) continue;
    std::array<double, 3> sum{};
    for (int m : groups[g]) {
      for (int ch = 0; ch < 3; ++ch) sum[ch] += Channel(colours[m], ch);
    }
    const double n = double(groups[g].size());
    const std::uint8_t entry = std::uint8_t(firstIndex + g);
    palette[entry] = Pack({sum[0] / n, sum[1] / n, sum[2] / n});
    for (int m : groups[g]) index[std::size_t(m)] = entry;
  }
}

// ---- the hand cursor ------------------------------------------------------

// '#' black outline, 'o' white fill, '.' transparent.  The finger tip is the
// black pixel at (12, 10).
constexpr const char* kHand[kSize] = {
    "................................",  //  0
    "................................",  //  1
    "................................",  //  2
    "................................",  //  3
    "................................",  //  4
    "................................",  //  5
    "................................",  //  6
    "................................",  //  7
    "................................",  //  8
    "................................",  //  9
    "...........###..................",  // 10
    "..........#ooo#.................",  // 11
    "..........#ooo#.................",  // 12
    "..........#ooo#.................",  // 13
    "..........#ooo#.................",  // 14
    "..........#ooo####..............",  // 15
    "..........#ooo#ooo####..........",  // 16
    "..........#ooo#ooo#ooo###.......",  // 17
    "......###.#ooo#ooo#ooo#oo#......",  // 18
    ".....#ooo##ooo#ooo#ooo#oo#......",  // 19
    ".....#oooo#ooooooooooooooo#.....",  // 20
    "......#oooooooooooooooooooo#....",  // 21
    "......#oooooooooooooooooooo#....",  // 22
    ".......#ooooooooooooooooooo#....",  // 23
    ".......#oooooooooooooooooo#.....",  // 24
    "........#ooooooooooooooooo#.....",  // 25
    ".........#ooooooooooooooo#......",  // 26
    "..........#oooooooooooooo#......",  // 27
    "..........#oooooooooooooo#......",  // 28
    "..........################......",  // 29
    "................................",  // 30
    "................................",  // 31
};

}  // namespace

IndexedArtwork WindowIconArtwork() {
  const std::vector<Sample> pixels = RenderIcon();
  IndexedArtwork art;
  art.width = art.height = kSize;
  art.palette.assign(256, 0);
  art.index.assign(pixels.size(), 0);
  art.mask.assign(pixels.size(), 1);
  std::vector<std::uint32_t> colours(pixels.size());
  std::vector<int> opaque;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    colours[i] = Pack(pixels[i].colour);
    if (pixels[i].opaque) {
      opaque.push_back(int(i));
      art.mask[i] = 0;
    }
  }
  // Entry 0 stays black for the transparent pixels: black under a set AND bit
  // leaves the screen as it is.
  Quantize(colours, opaque, 255, art.palette, art.index, 1);
  return art;
}

IndexedArtwork HandCursorArtwork() {
  IndexedArtwork art;
  art.width = art.height = kSize;
  art.palette = {0x000000, 0xFFFFFF};
  art.index.assign(kSize * kSize, 0);
  art.mask.assign(kSize * kSize, 1);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const char c = kHand[y][x];
      const std::size_t i = std::size_t(y) * kSize + x;
      if (c == '.') continue;
      art.mask[i] = 0;
      art.index[i] = c == 'o' ? 1 : 0;
    }
  }
  return art;
}

std::vector<std::uint8_t> WindowIconFile() {
  return EncodeIconFile(1, WindowIconArtwork(), 8, 1, 8);
}

std::vector<std::uint8_t> HandCursorFile() {
  return EncodeIconFile(2, HandCursorArtwork(), 1, kHandHotSpotX, kHandHotSpotY);
}

}  // namespace gelmo
