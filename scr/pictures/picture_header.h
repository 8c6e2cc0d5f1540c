// The size a picture file claims in its own headers, read before any decoder
// opens it: some decoders take the whole claimed frame into memory as they
// open a file, so a small file claiming a huge picture can cost gigabytes.
//
// Read: PNG (IHDR), GIF (the logical screen and every image), BMP (every
// header version), TIFF and BigTIFF (every directory of the chain), ICO and CUR
// (every entry and the PNG or bitmap it holds), JPEG (the frame header), WebP
// (VP8, VP8L, VP8X and every animation frame) and HEIF/AVIF (every image
// spatial extent, 'ispe', in meta/iprp/ipco).  Everything goes through
// PictureBytes, never outside the file, and every walk is bounded: a hostile
// file cannot make it run long.
#pragma once

#include <cstdint>
#include <optional>

#include "scr/pictures/picture_orientation.h"

namespace gelmo {

// What a file claims over all of its images, frames or directories.  The
// largest width and the largest height may come from different images.
struct PictureClaim {
  std::uint32_t widest = 0;
  std::uint32_t tallest = 0;
  std::uint64_t mostPixels = 0;  // the largest width x height of one image
  // Some image claims a side of 0 where its format allows none: PNG, BMP,
  // TIFF, WebP's VP8 frames, HEIF, a JPEG's width.  GIF sides and a JPEG's
  // height (given later in the scan) may be 0.
  bool emptySide = false;
  // The walk reached one of its bounds (far beyond any real file) with more
  // of the file to go: images past it were not read.
  bool unread = false;
};

// Nothing for a file in none of the formats above, or one whose first header
// is cut short: the file then goes to the decoder as before.  A walk that
// ends early otherwise (the file cut short or malformed, a directory chain
// that loops) gives what it read until then.
std::optional<PictureClaim> ClaimedPictureSize(const PictureBytes& bytes);

// Whether every image of the claim is at most mostSide on each side and
// mostPixels in all, none has a side of 0 its format forbids, and none was
// left unread.
bool ClaimFits(const PictureClaim& claim, std::uint32_t mostSide, std::uint64_t mostPixels);

}  // namespace gelmo
