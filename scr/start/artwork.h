// The screensaver program's own icon and cursor, drawn in code: the window
// icon (also the icon of ゲルモ.scr itself), a translucent peach sheet floating
// over a blue-to-teal backdrop, and the pointing-hand cursor of the settings
// dialog.  Both come out as complete .ico / .cur file images, which the build
// writes next to the resource script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gelmo {

// A palette picture with a transparency mask: what one icon or cursor image
// holds.  Rows are stored top row first; the files store them bottom row first.
struct IndexedArtwork {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB, 1 << bitsPerPixel entries
  std::vector<std::uint8_t> index;     // width * height palette indices
  std::vector<std::uint8_t> mask;      // width * height; 1 where the screen shows through

  std::uint8_t Index(int x, int y) const { return index[std::size_t(y) * width + x]; }
  bool Transparent(int x, int y) const { return mask[std::size_t(y) * width + x] != 0; }
  std::uint32_t Colour(int x, int y) const { return palette[Index(x, y)]; }
};

// The window icon: 32 x 32, 256 colours.  The corners outside a rounded square
// are transparent; transparent pixels hold index 0, which is black.
IndexedArtwork WindowIconArtwork();

// The hand cursor: 32 x 32, two colours (index 0 black, 1 white), transparent
// around the hand.  The tip of the index finger is the hot spot.
constexpr int kHandHotSpotX = 12;
constexpr int kHandHotSpotY = 10;
IndexedArtwork HandCursorArtwork();

// The whole .ico file of WindowIconArtwork(): one 32 x 32 image at 8 bits per
// pixel with its 256-entry palette, colour mask and AND mask.
std::vector<std::uint8_t> WindowIconFile();

// The whole .cur file of HandCursorArtwork(): one 32 x 32 image at 1 bit per
// pixel, hot spot (kHandHotSpotX, kHandHotSpotY).
std::vector<std::uint8_t> HandCursorFile();

}  // namespace gelmo
