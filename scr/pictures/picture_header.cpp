#include "scr/pictures/picture_header.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace gelmo {
namespace {

// Bounds of the walks.  Each is far beyond what a real file has; a walk that
// reaches one with more of the file to go marks the claim unread.
constexpr std::uint32_t kMostGifBlocks = 1u << 20;    // blocks and sub-blocks: over 250 MB of real GIF
constexpr std::uint32_t kMostJpegSteps = 1u << 16;    // markers and fill bytes before the frame
constexpr int kMostTiffDirectories = 4096;            // pages
constexpr std::uint32_t kMostTiffEntries = 1u << 18;  // over all directories
constexpr int kMostRiffChunks = 1 << 16;              // a WebP's frames and metadata
constexpr int kMostBoxes = 4096;                      // HEIF boxes, at every depth together
constexpr int kMostBoxDepth = 8;    // meta/iprp/ipco is 3 deep; deeper boxes are not looked into
constexpr int kMostBrands = 64;     // of a HEIF file's type box

std::uint64_t Unsigned(const std::uint8_t* p, int n, bool little) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[little ? n - 1 - i : i];
  return v;
}
std::uint32_t Le16(const std::uint8_t* p) { return std::uint32_t(Unsigned(p, 2, true)); }
std::uint32_t Le24(const std::uint8_t* p) { return std::uint32_t(Unsigned(p, 3, true)); }
std::uint32_t Le32(const std::uint8_t* p) { return std::uint32_t(Unsigned(p, 4, true)); }
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t(Unsigned(p, 4, false)); }
std::uint32_t Saturated(std::uint64_t v) { return std::uint32_t(std::min<std::uint64_t>(v, UINT32_MAX)); }
bool Is(const std::uint8_t* p, const char* text) { return std::memcmp(p, text, std::strlen(text)) == 0; }

// The file's bytes through a small cache of the last bytes fetched: the
// walks take many small steps close together.
class Reader {
 public:
  explicit Reader(const PictureBytes& bytes) : bytes_(bytes), size_(bytes.Size()) {}
  std::uint64_t Size() const { return size_; }

  // All n bytes at `at`, or false.
  bool Read(std::uint64_t at, void* dst, std::size_t n) {
    if (at > size_ || n > size_ - at) return false;
    if (n > sizeof cache_) return bytes_.ReadAt(at, dst, n) == n;
    if (at < cacheAt_ || at + n > cacheAt_ + cached_) {
      cacheAt_ = at;
      cached_ = bytes_.ReadAt(at, cache_, std::size_t(std::min<std::uint64_t>(sizeof cache_, size_ - at)));
      if (cached_ < n) {
        cached_ = 0;
        return false;
      }
    }
    std::memcpy(dst, cache_ + (at - cacheAt_), n);
    return true;
  }

 private:
  const PictureBytes& bytes_;
  std::uint64_t size_;
  std::uint8_t cache_[1024];
  std::uint64_t cacheAt_ = 0;
  std::size_t cached_ = 0;
};

class Claims {
 public:
  // One image's sides; `positive`: its format allows no side of 0.
  void Add(std::uint32_t width, std::uint32_t height, bool positive) {
    PictureClaim& c = claim_ ? *claim_ : claim_.emplace();
    c.widest = std::max(c.widest, width);
    c.tallest = std::max(c.tallest, height);
    c.mostPixels = std::max(c.mostPixels, std::uint64_t{width} * height);
    if (positive && (width == 0 || height == 0)) c.emptySide = true;
  }
  void AddEmpty() { (claim_ ? *claim_ : claim_.emplace()).emptySide = true; }
  void AddUnread() { (claim_ ? *claim_ : claim_.emplace()).unread = true; }
  const std::optional<PictureClaim>& Result() const { return claim_; }

 private:
  std::optional<PictureClaim> claim_;
};

// ---- PNG --------------------------------------------------------------------

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsPng(Reader& file, std::uint64_t at) {
  std::uint8_t signature[8];
  return file.Read(at, signature, sizeof signature) && std::memcmp(signature, kPngSignature, 8) == 0;
}

// The IHDR chunk, which must come first: length, type, width, height (big-endian).
void PngClaim(Reader& file, std::uint64_t at, Claims& claims) {
  std::uint8_t start[24];
  if (!file.Read(at, start, sizeof start) || !Is(start + 12, "IHDR")) return;
  claims.Add(Be32(start + 16), Be32(start + 20), true);
}

// ---- BMP, and the bitmaps inside icons ----------------------------------------

// The sides a bitmap's info header at `at` claims: 16-bit ones in the 12-byte
// header of OS/2 1.x, 32-bit ones in every later header (OS/2 2.x's 16 to 64
// bytes, Windows' 40, 52, 56, 108 and 124).  A negative height is a top-down
// bitmap; a negative width is no bitmap at all, and is taken as the huge
// number its bits make, so that it is refused.
bool BitmapSides(Reader& file, std::uint64_t at, std::uint32_t& width, std::uint32_t& height) {
  std::uint8_t header[12];
  if (!file.Read(at, header, 4)) return false;
  const std::uint32_t headerSize = Le32(header);
  if (headerSize == 12) {
    if (!file.Read(at, header, 8)) return false;
    width = Le16(header + 4), height = Le16(header + 6);
    return true;
  }
  if (headerSize < 16 || !file.Read(at, header, 12)) return false;
  width = Le32(header + 4);
  const std::uint32_t rawHeight = Le32(header + 8);
  height = rawHeight & 0x80000000u ? 0u - rawHeight : rawHeight;  // 2^31 for the most negative
  return true;
}

void BmpClaims(Reader& file, Claims& claims) {
  std::uint32_t width, height;
  if (BitmapSides(file, 14, width, height)) claims.Add(width, height, true);  // after the file header
}

// ---- GIF --------------------------------------------------------------------

// Past the data sub-blocks at `pos`: each a length byte and that many bytes,
// up to a length of 0.  False when the file ends first or the bound is reached.
bool SkipSubBlocks(Reader& file, std::uint64_t& pos, std::uint32_t& blocks, Claims& claims) {
  for (;; --blocks) {
    if (blocks == 0) {
      claims.AddUnread();
      return false;
    }
    std::uint8_t length;
    if (!file.Read(pos, &length, 1)) return false;
    pos += 1 + length;
    if (length == 0) return true;
  }
}

std::uint64_t ColourTableBytes(std::uint8_t packed) {
  return packed & 0x80 ? 3u << ((packed & 7) + 1) : 0;
}

// The logical screen and every image descriptor, up to the trailer.
void GifClaims(Reader& file, Claims& claims) {
  std::uint8_t screen[13];  // signature and version, then the logical screen descriptor
  if (!file.Read(0, screen, sizeof screen)) return;
  claims.Add(Le16(screen + 6), Le16(screen + 8), false);
  std::uint64_t pos = sizeof screen + ColourTableBytes(screen[10]);
  for (std::uint32_t blocks = kMostGifBlocks;; --blocks) {
    if (blocks == 0) return claims.AddUnread();
    std::uint8_t introducer;
    if (!file.Read(pos++, &introducer, 1)) return;
    if (introducer == 0x2C) {  // image: left, top, width, height, packed fields
      std::uint8_t image[9];
      if (!file.Read(pos, image, sizeof image)) return;
      claims.Add(Le16(image + 4), Le16(image + 6), false);
      pos += sizeof image + ColourTableBytes(image[8]) + 1;  // and the LZW code size
    } else if (introducer == 0x21) {  // extension: its label, then sub-blocks
      ++pos;
    } else {
      return;  // the trailer, or no GIF block
    }
    if (!SkipSubBlocks(file, pos, blocks, claims)) return;
  }
}

// ---- TIFF -------------------------------------------------------------------

// ImageWidth (256) and ImageLength (257) of every directory in the chain, as
// any unsigned integer type.  BigTIFF has 8-byte counts and offsets and
// 20-byte entries.  A directory with neither tag claims nothing, nor one
// whose entries run past the end of the file (no decoder reads it); one with
// only one of the tags claims a side of 0.
void TiffClaims(Reader& file, Claims& claims) {
  std::uint8_t header[16];
  if (!file.Read(0, header, 8)) return;
  bool little;
  if (header[0] == 'I' && header[1] == 'I') {
    little = true;
  } else if (header[0] == 'M' && header[1] == 'M') {
    little = false;
  } else {
    return;
  }
  const std::uint64_t magic = Unsigned(header + 2, 2, little);
  const bool big = magic == 43;
  if (magic != 42 && !big) return;
  std::uint64_t ifd;
  if (big) {  // offsets' size (8), 0, the first directory
    if (!file.Read(0, header, 16) || Unsigned(header + 4, 2, little) != 8 ||
        Unsigned(header + 6, 2, little) != 0)
      return;
    ifd = Unsigned(header + 8, 8, little);
  } else {
    ifd = Unsigned(header + 4, 4, little);
  }
  const int countBytes = big ? 8 : 2, offsetBytes = big ? 8 : 4, entryBytes = big ? 20 : 12;

  std::set<std::uint64_t> seen;  // a chain that comes back to a directory ends there
  std::uint32_t entriesLeft = kMostTiffEntries;
  for (int n = 0; ifd != 0 && seen.insert(ifd).second; ++n) {
    if (n == kMostTiffDirectories) return claims.AddUnread();
    std::uint8_t countField[8];
    if (!file.Read(ifd, countField, countBytes)) return;
    const std::uint64_t count = Unsigned(countField, countBytes, little);
    const std::uint64_t first = ifd + countBytes;  // <= Size(): the count was read before it
    if (count > (file.Size() - first) / entryBytes) return;

    std::uint32_t sides[2] = {0, 0};
    bool found[2] = {false, false};
    bool stop = false;
    for (std::uint64_t i = 0; i < count; ++i) {
      if (entriesLeft == 0) {
        stop = true;
        break;
      }
      --entriesLeft;
      std::uint8_t entry[20];
      if (!file.Read(first + i * entryBytes, entry, entryBytes)) return;
      const std::uint64_t tag = Unsigned(entry, 2, little);
      if (tag != 256 && tag != 257) continue;
      const std::uint64_t type = Unsigned(entry + 2, 2, little);
      const std::uint64_t values = Unsigned(entry + 4, big ? 8 : 4, little);
      const std::uint8_t* value = entry + (big ? 12 : 8);  // the first value sits at its start
      std::uint64_t side;
      if (values == 0) continue;
      if (type == 1) {  // BYTE
        side = value[0];
      } else if (type == 3) {  // SHORT
        side = Unsigned(value, 2, little);
      } else if (type == 4) {  // LONG
        side = Unsigned(value, 4, little);
      } else if (type == 16 && big) {  // LONG8, in the entry only in BigTIFF
        side = Unsigned(value, 8, little);
      } else {
        continue;
      }
      const int which = tag == 256 ? 0 : 1;
      sides[which] = std::max(sides[which], Saturated(side));  // the larger of repeated tags
      found[which] = true;
    }
    if (found[0] || found[1]) claims.Add(sides[0], sides[1], true);
    if (stop) return claims.AddUnread();
    std::uint8_t link[8];
    if (!file.Read(first + count * entryBytes, link, offsetBytes)) return;
    ifd = Unsigned(link, offsetBytes, little);
  }
}

// ---- ICO and CUR ------------------------------------------------------------

bool IsIcon(Reader& file) {
  std::uint8_t header[6];  // 0, type 1 (icon) or 2 (cursor), number of entries
  return file.Read(0, header, sizeof header) && header[0] == 0 && header[1] == 0 &&
         (header[2] == 1 || header[2] == 2) && header[3] == 0 && Le16(header + 4) > 0;
}

// Every entry of the directory (a side of 0 is 256), and the PNG or bitmap
// its data holds.  A bitmap's height counts its mask too: the picture is half
// of it.
void IconClaims(Reader& file, Claims& claims) {
  std::uint8_t header[6];
  if (!file.Read(0, header, sizeof header)) return;
  const std::uint32_t count = Le16(header + 4);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t entry[16];  // width, height, colours, 0, planes, bits, data size, data offset
    if (!file.Read(6 + 16 * i, entry, sizeof entry)) return;
    claims.Add(entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, true);
    const std::uint64_t data = Le32(entry + 12);
    std::uint32_t width, height;
    if (IsPng(file, data))
      PngClaim(file, data, claims);
    else if (BitmapSides(file, data, width, height))
      claims.Add(width, height / 2 + height % 2, true);
  }
}

// ---- JPEG -------------------------------------------------------------------

// The first start-of-frame segment before the scan (C0 to CF but for C4, the
// Huffman tables, and C8 and CC, arithmetic coding conditions): precision,
// height, width.  Its height may be 0, given later in the scan.
void JpegClaims(Reader& file, Claims& claims) {
  std::uint64_t pos = 2;  // past the start-of-image marker
  for (std::uint32_t steps = kMostJpegSteps;; --steps) {
    if (steps == 0) return claims.AddUnread();
    // A marker is FF, any number of FF fill bytes (a step each), then its code.
    std::uint8_t marker[2];
    if (!file.Read(pos, marker, 2) || marker[0] != 0xFF) return;
    pos += 1;
    if (marker[1] == 0xFF) continue;
    const std::uint8_t code = marker[1];
    pos += 1;
    if (code == 0xDA || code == 0xD9) return;                      // start of scan, end of image
    if ((code >= 0xD0 && code <= 0xD7) || code == 0x01) continue;  // no length follows these

    std::uint8_t segment[7];  // its length (counting itself), then a frame header's first bytes
    if (!file.Read(pos, segment, 2)) return;
    const std::uint32_t length = std::uint32_t(Unsigned(segment, 2, false));
    if (length < 2 || length > file.Size() - pos) return;  // pos <= Size(): two bytes were read there
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
      if (length >= sizeof segment && file.Read(pos, segment, sizeof segment)) {
        const std::uint32_t width = std::uint32_t(Unsigned(segment + 5, 2, false));
        claims.Add(width, std::uint32_t(Unsigned(segment + 3, 2, false)), false);
        if (width == 0) claims.AddEmpty();
      }
      return;
    }
    pos += length;
  }
}

// ---- WebP -------------------------------------------------------------------

bool IsWebp(Reader& file) {
  std::uint8_t header[12];
  return file.Read(0, header, sizeof header) && Is(header, "RIFF") && Is(header + 8, "WEBP");
}

// Every chunk of the RIFF form (as far as its size and the file go): a lossy
// frame (14-bit sides after the start code 9D 01 2A), a lossless one (14-bit
// sides less one after the signature 2F), the extended header's canvas and
// each animation frame (24-bit sides less one).
void WebpClaims(Reader& file, Claims& claims) {
  std::uint8_t header[12];
  if (!file.Read(0, header, sizeof header)) return;
  const std::uint64_t end = std::min<std::uint64_t>(8 + std::uint64_t{Le32(header + 4)}, file.Size());
  std::uint64_t pos = sizeof header;
  for (int n = 0; pos + 8 <= end; ++n) {
    if (n == kMostRiffChunks) return claims.AddUnread();
    std::uint8_t chunk[8];
    if (!file.Read(pos, chunk, sizeof chunk)) return;
    const std::uint64_t data = pos + 8, size = Le32(chunk + 4);
    std::uint8_t d[12];
    if (Is(chunk, "VP8 ")) {  // frame tag (3), start code (3), width, height
      if (file.Read(data, d, 10) && d[3] == 0x9D && d[4] == 0x01 && d[5] == 0x2A)
        claims.Add(Le16(d + 6) & 0x3FFF, Le16(d + 8) & 0x3FFF, true);
    } else if (Is(chunk, "VP8L")) {  // signature, then width - 1 and height - 1 in 14 bits each
      if (file.Read(data, d, 5) && d[0] == 0x2F) {
        const std::uint32_t bits = Le32(d + 1);
        claims.Add((bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1, true);
      }
    } else if (Is(chunk, "VP8X")) {  // flags (4), canvas width - 1, height - 1
      if (file.Read(data, d, 10)) claims.Add(Le24(d + 4) + 1, Le24(d + 7) + 1, true);
    } else if (Is(chunk, "ANMF")) {  // x / 2, y / 2, width - 1, height - 1, ...
      if (file.Read(data, d, 12)) claims.Add(Le24(d + 6) + 1, Le24(d + 9) + 1, true);
    }
    pos = data + size + (size & 1);  // chunks are padded to an even size
  }
}

// ---- HEIF and AVIF ----------------------------------------------------------

bool IsHeifBrand(const std::uint8_t* brand) {
  static const char* const kBrands[] = {"mif1", "mif2", "msf1", "miaf", "heic", "heix", "heim", "heis",
                                        "hevc", "hevx", "heif", "avif", "avis", "avio"};
  for (const char* b : kBrands)
    if (Is(brand, b)) return true;
  return false;
}

struct Box {
  std::uint8_t type[4];
  std::uint64_t contents, end;
  bool cut;  // it claimed to run past its parent, and was cut at the parent's end
};

// The box at `at`, which must begin before `parentEnd`: a 32-bit size, its
// type, a 64-bit size after the type when the first is 1; a size of 0 runs to
// the parent's end.
bool ReadBox(Reader& file, std::uint64_t at, std::uint64_t parentEnd, Box& box) {
  std::uint8_t header[16];
  if (parentEnd - at < 8 || !file.Read(at, header, 8)) return false;
  std::memcpy(box.type, header + 4, 4);
  std::uint64_t size = Be32(header);
  box.contents = at + 8;
  if (size == 1) {
    if (parentEnd - at < 16 || !file.Read(at + 8, header + 8, 8)) return false;
    size = Unsigned(header + 8, 8, false);
    box.contents = at + 16;
  } else if (size == 0) {
    size = parentEnd - at;
  }
  if (size < box.contents - at) return false;
  box.cut = size > parentEnd - at;
  box.end = box.cut ? parentEnd : at + size;
  return true;
}

bool IsHeif(Reader& file) {
  Box ftyp;
  if (!ReadBox(file, 0, file.Size(), ftyp) || !Is(ftyp.type, "ftyp")) return false;
  // The major brand, the minor version, then the compatible brands.
  std::uint64_t at = ftyp.contents;
  for (int n = 0; n < kMostBrands && at + 4 <= ftyp.end; ++n) {
    std::uint8_t brand[4];
    if (!file.Read(at, brand, sizeof brand)) return false;
    if (IsHeifBrand(brand)) return true;
    at += n == 0 ? 8 : 4;
  }
  return false;
}

// Every 'ispe' (a full box: version and flags, width, height) among the boxes
// from `at` to `end`, and inside the meta, iprp and ipco boxes among them.
void HeifClaims(Reader& file, std::uint64_t at, std::uint64_t end, int depth, int& boxesLeft, Claims& claims) {
  while (at < end) {
    if (boxesLeft <= 0) return claims.AddUnread();
    --boxesLeft;
    Box box;
    if (!ReadBox(file, at, end, box)) return;
    if (Is(box.type, "ispe")) {
      std::uint8_t extent[12];
      if (box.end - box.contents >= sizeof extent && file.Read(box.contents, extent, sizeof extent))
        claims.Add(Be32(extent + 4), Be32(extent + 8), true);
    } else if (depth < kMostBoxDepth) {
      if (Is(box.type, "meta"))  // a full box: its children follow the version and flags
        HeifClaims(file, std::min(box.contents + 4, box.end), box.end, depth + 1, boxesLeft, claims);
      else if (Is(box.type, "iprp") || Is(box.type, "ipco"))
        HeifClaims(file, box.contents, box.end, depth + 1, boxesLeft, claims);
    }
    if (box.cut) return;
    at = box.end;
  }
}

}  // namespace

std::optional<PictureClaim> ClaimedPictureSize(const PictureBytes& bytes) {
  Reader file(bytes);
  Claims claims;
  std::uint8_t start[8] = {};
  file.Read(0, start, std::min<std::uint64_t>(sizeof start, file.Size()));
  if (IsPng(file, 0)) {
    PngClaim(file, 0, claims);
  } else if (Is(start, "GIF")) {
    GifClaims(file, claims);
  } else if (Is(start, "BM")) {
    BmpClaims(file, claims);
  } else if (Is(start, "II") || Is(start, "MM")) {
    TiffClaims(file, claims);
  } else if (start[0] == 0xFF && start[1] == 0xD8) {
    JpegClaims(file, claims);
  } else if (IsWebp(file)) {
    WebpClaims(file, claims);
  } else if (IsHeif(file)) {
    int boxesLeft = kMostBoxes;
    HeifClaims(file, 0, file.Size(), 0, boxesLeft, claims);
  } else if (IsIcon(file)) {
    IconClaims(file, claims);
  }
  return claims.Result();
}

bool ClaimFits(const PictureClaim& claim, std::uint32_t mostSide, std::uint64_t mostPixels) {
  return !claim.emptySide && !claim.unread && claim.widest <= mostSide && claim.tallest <= mostSide &&
         claim.mostPixels <= mostPixels;
}

}  // namespace gelmo
