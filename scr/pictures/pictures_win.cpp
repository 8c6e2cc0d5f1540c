// Picture loading through the system's imaging component (WIC): whatever
// formats its installed decoders read, the first frame, turned upright by the
// picture's own orientation tag and reduced once to the longest side asked
// for.  Where WIC cannot be created, the older picture loader (OleLoadPicture,
// BMP, JPEG, GIF and icons) reads the picture at its own size, as it always did.
#include <ole2.h>
#include <olectl.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "scr/pictures/pictures_win.h"

#include "scr/forms/text_win.h"
#include "scr/pictures/bmp_writer.h"
#include "scr/pictures/picture_files.h"
#include "scr/pictures/picture_header.h"
#include "scr/pictures/picture_orientation.h"
#include "scr/pictures/picture_reduction.h"

// Reduced-size decoding (JPEG by 2, 4 or 8 on Windows); mingw-w64's headers
// do not declare it.
MIDL_INTERFACE("3B16811B-6A43-4EC9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                               UINT stride, UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3B16811B, 0x6A43, 0x4EC9, 0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40)

namespace gelmo::pictures {

using forms::Cp932PathOf;
using forms::Dib24Info;
using forms::Narrow;
using forms::Wide;
using forms::WriteBitmapFile;

namespace {

// A COM pointer released when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() { if (p_) p_->Release(); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// The calling thread's imaging factory and whether the thread's COM was
// started for it.  Plain values: nothing of COM is released as the process
// ends, when the imaging component may already be gone.
thread_local IWICImagingFactory* t_factory = nullptr;
thread_local bool t_factoryTried = false;
thread_local bool t_comStarted = false;

// The imaging factory of the calling thread, made in the thread's own COM
// apartment at its first picture; null where the system has no WIC.  The
// window thread keeps it for the program's life; a thread that decodes beside
// it holds a PictureThread, which releases it.
IWICImagingFactory* Factory() {
  if (t_factoryTried) return t_factory;
  t_factoryTried = true;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  t_comStarted = SUCCEEDED(com);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) return nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&t_factory))))
    t_factory = nullptr;
  return t_factory;
}

// A picture file's bytes read through its stream, for the orientation tag.
class StreamBytes final : public PictureBytes {
 public:
  explicit StreamBytes(IStream* stream) : stream_(stream) {
    STATSTG stat = {};
    if (SUCCEEDED(stream_->Stat(&stat, STATFLAG_NONAME))) size_ = stat.cbSize.QuadPart;
  }
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t n) const override {
    if (offset >= size_) return 0;
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    ULONG got = 0;
    if (FAILED(stream_->Seek(at, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream_->Read(dst, ULONG(std::min<std::uint64_t>(n, size_ - offset)), &got)))
      return 0;
    return got;
  }

 private:
  IStream* stream_;
  std::uint64_t size_ = 0;
};

// Pictures beyond these are refused: the reducer's sides, and a quarter of a
// gigapixel (a 200-megapixel camera's photo still passes).
constexpr UINT kMostPictureSide = 65535;
constexpr std::uint64_t kMostPicturePixels = std::uint64_t{1} << 28;

// Pixels with alpha laid over the back colour, so that the picture is opaque.
void LayOver(std::uint8_t* bgra, std::size_t pixels, COLORREF background) {
  const unsigned back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  for (std::size_t i = 0; i < pixels; ++i, bgra += 4) {
    const unsigned a = bgra[3];
    if (a == 255) continue;
    for (int c = 0; c < 3; ++c) bgra[c] = std::uint8_t((bgra[c] * a + back[c] * (255 - a) + 127) / 255);
    bgra[3] = 255;
  }
}

// A 32-bit bitmap with its top row first, and where its pixels are.
HBITMAP TopDownBitmap(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// A bitmap of our own holding top-down 32-bit pixels, so that it can be
// selected into device contexts and outlives the decoder.
std::shared_ptr<Picture> PictureOf(const std::uint8_t* bgra, int width, int height) {
  void* bits = nullptr;
  HBITMAP bitmap = TopDownBitmap(width, height, &bits);
  if (!bitmap) return nullptr;
  std::memcpy(bits, bgra, std::size_t(width) * height * 4);
  GdiFlush();
  return std::make_shared<Picture>(bitmap);
}

// The reduced picture turned upright, as a bitmap.
std::shared_ptr<Picture> UprightPicture(BoxReducer& reducer, int width, int height, int orientation) {
  if (!reducer.Done()) return nullptr;
  std::vector<std::uint8_t> pixels = reducer.TakePixels();
  if (orientation != 1) {
    pixels = Orient(pixels.data(), width, height, orientation);
    if (OrientationSwapsSides(orientation)) std::swap(width, height);
  }
  return PictureOf(pixels.data(), width, height);
}

// The source's pixels as 32-bit BGRA, copied out a strip of rows at a time
// into the reducer, so that no second whole copy of a large picture is held.
bool ReduceInStrips(IWICBitmapSource* source, UINT width, UINT height, COLORREF background, BoxReducer& reducer) {
  Com<IWICFormatConverter> converter;
  if (FAILED(Factory()->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)))
    return false;
  const UINT stride = width * 4;
  const UINT rows = std::max<UINT>(1, std::min<UINT>(height, (4u << 20) / stride));
  std::vector<std::uint8_t> strip(std::size_t(stride) * rows);
  for (UINT y = 0; y < height; y += rows) {
    const UINT n = std::min(rows, height - y);
    const WICRect rect = {0, INT(y), INT(width), INT(n)};
    if (FAILED(converter->CopyPixels(&rect, stride, stride * n, strip.data()))) return false;
    LayOver(strip.data(), std::size_t(width) * n, background);
    reducer.AddRows(strip.data(), int(n), stride);
  }
  return true;
}

// Where the decoder can decode at a reduced scale (JPEG by 2, 4 or 8 on
// Windows), the largest such reduction that still leaves at least the target
// size, decoded whole and handed to the reducer.  Empty when there is none.
std::optional<BoxReducer> ReduceThroughDecoder(IWICBitmapFrameDecode* frame, UINT width, UINT height,
                                               int targetWidth, int targetHeight, COLORREF background) {
  Com<IWICBitmapSourceTransform> transform;
  if (FAILED(frame->QueryInterface(__uuidof(IWICBitmapSourceTransform), reinterpret_cast<void**>(transform.out()))))
    return std::nullopt;
  for (UINT factor = 8; factor >= 2; factor /= 2) {
    UINT w = (width + factor - 1) / factor, h = (height + factor - 1) / factor;
    if (w < UINT(targetWidth) || h < UINT(targetHeight)) continue;
    if (FAILED(transform->GetClosestSize(&w, &h)) || w < UINT(targetWidth) || h < UINT(targetHeight) ||
        w >= width || h >= height)
      continue;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    BOOL plain = FALSE;
    if (FAILED(transform->GetClosestPixelFormat(&format)) ||
        FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &plain)) || !plain)
      return std::nullopt;
    const bool bgr24 = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
    const bool alpha = IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA);
    if (!bgr24 && !alpha && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return std::nullopt;
    const UINT stride = bgr24 ? (w * 3 + 3) & ~3u : w * 4;
    std::vector<std::uint8_t> decoded(std::size_t(stride) * h);
    if (FAILED(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride,
                                     UINT(decoded.size()), decoded.data())))
      return std::nullopt;
    std::optional<BoxReducer> reducer(std::in_place, int(w), int(h), targetWidth, targetHeight);
    std::vector<std::uint8_t> row(std::size_t(w) * 4);
    const UINT step = bgr24 ? 3 : 4;
    for (UINT y = 0; y < h; ++y) {
      const std::uint8_t* in = decoded.data() + std::size_t(y) * stride;
      for (UINT x = 0; x < w; ++x, in += step) {
        std::memcpy(&row[x * 4], in, 3);
        row[x * 4 + 3] = alpha ? in[3] : 255;
      }
      LayOver(row.data(), w, background);
      reducer->AddRows(row.data(), 1, std::ptrdiff_t(row.size()));
    }
    return reducer;
  }
  return std::nullopt;
}

bool FitsInMemory(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMostPictureSide && height <= kMostPictureSide &&
         width * height <= kMostPicturePixels;
}

std::shared_ptr<Picture> Decode(IWICStream* stream, const PictureLoad& how) {
  const StreamBytes bytes(stream);
  const int orientation = PictureOrientation(bytes);
  // A decoder may take the whole frame into memory as it opens (Wine's PNG
  // and JPEG decoders do), so a picture that could never fit, by what its own
  // headers claim, is refused before one is made.
  if (const std::optional<PictureClaim> claim = ClaimedPictureSize(bytes);
      claim && !ClaimFits(*claim, kMostPictureSide, kMostPicturePixels))
    return nullptr;
  LARGE_INTEGER start = {};
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
      FAILED(Factory()->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetSize(&width, &height)))
    return nullptr;
  if (!FitsInMemory(width, height)) return nullptr;

  // Reduced on the sides as stored, then turned: the same picture as turned
  // and then reduced, with only the small one turned.
  int targetWidth = 0, targetHeight = 0;
  ReducedSize(int(width), int(height), how.longestSide > 0 ? how.longestSide : int(kMostPictureSide),
              &targetWidth, &targetHeight);

  if (targetWidth < int(width)) {
    std::optional<BoxReducer> reduced =
        ReduceThroughDecoder(frame.get(), width, height, targetWidth, targetHeight, how.background);
    if (reduced) return UprightPicture(*reduced, targetWidth, targetHeight, orientation);
  }
  BoxReducer whole(int(width), int(height), targetWidth, targetHeight);
  if (!ReduceInStrips(frame.get(), width, height, how.background, whole)) return nullptr;
  return UprightPicture(whole, targetWidth, targetHeight, orientation);
}

// ---- without WIC: the older picture loader ----------------------------------

std::shared_ptr<Picture> FromOleStream(IStream* stream) {
  IPicture* loaded = nullptr;
  if (FAILED(OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&loaded))) || !loaded)
    return nullptr;
  std::shared_ptr<Picture> result;
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  loaded->get_Width(&hmWidth);
  loaded->get_Height(&hmHeight);
  HDC screen = GetDC(nullptr);
  // HIMETRIC is 1/100 mm: pixels = himetric * dpi / 2540
  const int w = MulDiv(hmWidth, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int h = MulDiv(hmHeight, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  if (w > 0 && h > 0) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Render takes the source rectangle upside down in HIMETRIC.
    loaded->Render(dc, 0, 0, w, h, 0, hmHeight, hmWidth, -hmHeight, nullptr);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (bitmap) result = std::make_shared<Picture>(bitmap);
  }
  ReleaseDC(nullptr, screen);
  loaded->Release();
  return result;
}

std::shared_ptr<Picture> FromOleMemory(const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  std::shared_ptr<Picture> picture = FromOleStream(stream);
  stream->Release();  // frees the memory too
  return picture;
}

std::shared_ptr<Picture> FromOleFile(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  std::shared_ptr<Picture> picture;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
    std::vector<std::uint8_t> bytes(std::size_t(size.QuadPart));
    DWORD got = 0;
    if (ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size())
      picture = FromOleMemory(bytes.data(), bytes.size());
  }
  CloseHandle(file);
  return picture;
}

}  // namespace

std::shared_ptr<Picture> LoadPictureFromMemory(const void* data, std::size_t size, const PictureLoad& how) {
  if (!data || size == 0 || size > 0x7FFFFFFF) return nullptr;
  if (!Factory()) return FromOleMemory(data, size);
  Com<IWICStream> stream;
  if (FAILED(Factory()->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), DWORD(size))))
    return nullptr;
  return Decode(stream.get(), how);
}

std::shared_ptr<Picture> LoadPicture(const std::string& path, const PictureLoad& how) {
  if (!Factory()) return FromOleFile(path);
  Com<IWICStream> stream;
  if (FAILED(Factory()->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromFilename(Wide(path).c_str(), GENERIC_READ)))
    return nullptr;
  return Decode(stream.get(), how);
}

std::shared_ptr<Picture> CapturePicture(HDC source, int width, int height, int longestSide) {
  if (width <= 0 || height <= 0) return nullptr;
  void* bits = nullptr;
  HBITMAP screen = TopDownBitmap(width, height, &bits);
  if (!screen) return nullptr;
  HDC dc = CreateCompatibleDC(source);
  HGDIOBJ old = SelectObject(dc, screen);
  BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  GdiFlush();
  int w = 0, h = 0;
  ReducedSize(width, height, longestSide, &w, &h);
  std::shared_ptr<Picture> picture;
  if (w == width && h == height) {
    picture = std::make_shared<Picture>(screen);  // pixel for pixel: the capture itself
  } else {
    BoxReducer reducer(width, height, w, h);
    reducer.AddRows(static_cast<const std::uint8_t*>(bits), height, std::ptrdiff_t(width) * 4);
    picture = reducer.Done() ? PictureOf(reducer.Pixels().data(), w, h) : nullptr;
    DeleteObject(screen);
  }
  return picture;
}

std::vector<std::string> PictureFileExtensions() {
  std::vector<std::string> extensions;
  if (!Factory()) return extensions;
  Com<IEnumUnknown> components;
  if (FAILED(Factory()->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, components.out())))
    return extensions;
  for (;;) {
    Com<IUnknown> component;
    ULONG fetched = 0;
    if (components->Next(1, component.out(), &fetched) != S_OK || fetched != 1) break;
    Com<IWICBitmapDecoderInfo> decoder;
    UINT length = 0;
    if (FAILED(component->QueryInterface(IID_IWICBitmapDecoderInfo, reinterpret_cast<void**>(decoder.out()))) ||
        FAILED(decoder->GetFileExtensions(0, nullptr, &length)) || length == 0)
      continue;
    std::wstring text(length, L'\0');
    if (FAILED(decoder->GetFileExtensions(length, text.data(), &length))) continue;
    text.resize(wcsnlen(text.c_str(), text.size()));
    extensions.push_back(Narrow(text));
  }
  return extensions;
}

std::vector<std::uint8_t> PictureRows(const Picture& picture) {
  const int width = picture.width(), height = picture.height();
  if (!picture.bitmap() || width <= 0 || height <= 0) return {};
  std::vector<std::uint8_t> rows(std::size_t(Bmp24RowBytes(width)) * std::size_t(height));
  BITMAPINFO info = Dib24Info(width, height);
  HDC screen = GetDC(nullptr);
  const int got = GetDIBits(screen, picture.bitmap(), 0, UINT(height), rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (got != height) rows.clear();
  return rows;
}

bool SavePictureAsBitmap(const Picture& picture, const std::string& path) {
  const std::vector<std::uint8_t> rows = PictureRows(picture);
  return !rows.empty() && WriteBitmapFile(path, picture.width(), picture.height(), rows);
}

namespace {

// Depth first through the folder; false once `found` has said to stop or the
// limit is reached.
bool ListFolder(const std::wstring& folder, const std::vector<std::string>& extensions, std::size_t& left,
                const std::function<bool(const std::string&)>& found) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return true;
  std::vector<std::wstring> folders;  // after the folder's own files
  bool more = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L".." || (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A link to a folder may lead back up: only real folders are entered.
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) folders.push_back(folder + L"\\" + name);
    } else if (HasPictureExtension(Narrow(name), extensions)) {
      // A name 932 cannot hold goes by its short form, where the volume keeps one.
      if (std::optional<std::string> path = Cp932PathOf(folder + L"\\" + name)) more = left-- > 0 && found(*path);
    }
  } while (more && FindNextFileW(search, &entry));
  FindClose(search);
  for (std::size_t i = 0; more && i < folders.size(); ++i) more = ListFolder(folders[i], extensions, left, found);
  return more;
}

}  // namespace

void ListFiles(const std::string& folder, const std::vector<std::string>& extensions, std::size_t limit,
                      const std::function<bool(const std::string&)>& found) {
  std::wstring root = Wide(folder);
  while (!root.empty() && root.back() == L'\\') root.pop_back();
  if (root.empty() || extensions.empty()) return;
  ListFolder(root, extensions, limit, found);
}

PictureThread::~PictureThread() {
  if (t_factory) t_factory->Release();
  t_factory = nullptr;
  t_factoryTried = false;
  if (t_comStarted) CoUninitialize();
  t_comStarted = false;
}

std::shared_ptr<Picture> FirstPictureIn(const std::string& folder, std::size_t limit, const PictureLoad& how) {
  std::shared_ptr<Picture> first;
  if (!folder.empty())
    ListFiles(folder, PictureExtensionsOf(PictureFileExtensions()), limit,
                     [&](const std::string& path) {
      first = LoadPicture(path, how);
      return !first;
    });
  return first;
}

}  // namespace gelmo::pictures
