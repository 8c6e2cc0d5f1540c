#include "scr/start/preview_win.h"

#include <optional>

#include "renderer/gl.h"
#include "renderer/scene.h"
#include "renderer/scene_context_win.h"
#include "scr/forms/resources.h"
#include "scr/pictures/pictures_win.h"
#include "scr/start/sample_pictures.h"

namespace gelmo {
namespace {

std::shared_ptr<forms::Picture> PreviewPicture() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PREVIEW_PICTURE), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? pictures::LoadPictureFromMemory(bytes, SizeofResource(nullptr, found)) : nullptr;
}

std::int64_t Counter() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

// While the host cannot be seen, the timer only looks again this often.
constexpr UINT kHiddenCheckMs = 250;

std::optional<BmpImage> ImageOf(const std::shared_ptr<forms::Picture>& picture) {
  if (!picture) return std::nullopt;
  BmpImage image;
  image.width = picture->width();
  image.height = picture->height();
  image.dimensionsRead = true;
  image.pixels = pictures::PictureRows(*picture);
  if (image.pixels.empty()) return std::nullopt;
  return image;
}

// A layer's picture as the saver would take it, `side` pixels on its longest side.
std::optional<BmpImage> LayerImage(const PreviewLayer& layer, int side) {
  const pictures::PictureLoad how{RGB(0, 0, 0), side};
  switch (layer.kind) {
    case PreviewLayer::Kind::kSample:
      return SampleLandscape(side, side * 3 / 4);
    case PreviewLayer::Kind::kColour: {
      // A colour the saver refuses leaves its backdrop black.
      COLORREF colour = RGB(0, 0, 0);
      forms::AcceptedColour(layer.colour, &colour);
      BmpImage plain;
      plain.width = plain.height = 4;
      plain.dimensionsRead = true;
      for (int i = 0; i < 16; ++i)
        plain.pixels.insert(plain.pixels.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour)});
      return plain;
    }
    case PreviewLayer::Kind::kPicture:
      return ImageOf(pictures::LoadPicture(layer.path, how));
    case PreviewLayer::Kind::kFirstInFolder:
      return ImageOf(pictures::FirstPictureIn(layer.path, kMostSlidePictures, how));
  }
  return std::nullopt;
}

}  // namespace

PreviewForm::PreviewForm() {
  SetCaption("Preview Window");
  SetBackColour(RGB(0, 0, 0));
  border = forms::Border::kNone;
  ownDeviceContext = true;  // the scene's GL context draws into it
  // Drawn at its own size from the top-left corner, whatever the control's size.
  Img_Prev.stretch = false;
  Img_Prev.Move(0, 0, 152 * forms::TwipsPerPixelX(), 112 * forms::TwipsPerPixelY());
  Img_Prev.SetPicture(PreviewPicture());
  FrameTimer.onTimer = [this] { Frame(); };
}

void PreviewForm::OnUnload(bool&) {
  ReleaseScene();
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

bool PreviewForm::StartScene(const BmpImage& sheet, const BmpImage& backdrop) {
  RECT client = {};
  if (!hwnd() || !GetClientRect(hwnd(), &client) || client.right <= 0 || client.bottom <= 0) return false;
  dc_ = GetDC(hwnd());
  if (SetScenePixelFormat(dc_) != 0) context_ = createContext(dc_);
  if (context_ && !wglMakeCurrent(dc_, context_)) {
    wglDeleteContext(context_);
    context_ = nullptr;
  }
  if (!context_) {
    ReleaseDC(hwnd(), dc_);
    dc_ = nullptr;
    return false;
  }
  LoadMultitexture();
  g_clientWidth = client.right;
  g_clientHeight = client.bottom;
  InitSceneView();
  g_sheetTexture.LoadPixels("preview sheet", sheet);
  g_backdropTexture.LoadPixels("preview backdrop", backdrop);

  Img_Prev.SetVisible(false);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  clockFrequency_ = frequency.QuadPart;
  clockStart_ = Counter();
  FrameTimer.SetEnabled(true);
  return true;
}

void PreviewForm::Frame() {
  const double now = SecondsBetween(clockStart_, Counter(), clockFrequency_);
  // Nothing is drawn while the host is hidden or its window minimised.
  HWND top = GetAncestor(hwnd(), GA_ROOT);
  if (!IsWindowVisible(hwnd()) || (top && IsIconic(top))) {
    FrameTimer.SetInterval(kHiddenCheckMs);
    return;
  }
  if (pacer_.Due(now)) {
    g_time = now;
    DrawScene();
    SwapBuffers(dc_);
    ++frames_;
  }
  FrameTimer.SetInterval(pacer_.WaitMilliseconds(SecondsBetween(clockStart_, Counter(), clockFrequency_)));
}

void PreviewForm::ReleaseScene() {
  FrameTimer.SetEnabled(false);
  if (!context_) return;
  g_sheetTexture.Release();
  g_backdropTexture.Release();
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context_);
  context_ = nullptr;
  ReleaseDC(hwnd(), dc_);
  dc_ = nullptr;
}

bool EmbedPreview(PreviewForm& preview, HWND host) {
  RECT r;
  if (!IsWindow(host) || !GetWindowRect(host, &r)) return false;
  // Sizes in twips as 16-bit numbers: a product beyond 32767 leaves that size 0.
  auto twips = [](long perPixel, long pixels) {
    const long v = perPixel * pixels;
    return v >= -32768 && v <= 32767 ? int(v) : 0;
  };
  const int width = twips(forms::TwipsPerPixelX(), r.right - r.left);
  const int height = twips(forms::TwipsPerPixelY(), r.bottom - r.top);
  preview.Load();
  HWND window = preview.hwnd();
  if (!window) return false;
  // A child window of the host; the pop-up style of a borderless form goes, so
  // that the window is a child in every respect (parent, clipping, lifetime).
  SetWindowLongW(window, GWL_STYLE, (GetWindowLongW(window, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  SetParent(window, host);
  preview.Move(0, 0, width, height);
  preview.Img_Prev.Move(0, 0, width, height);
  preview.Show();
  return true;
}

bool StartLivePreview(PreviewForm& preview, const SaverSettings& settings) {
  RECT client = {};
  if (!preview.hwnd() || !GetClientRect(preview.hwnd(), &client)) return false;
  const PreviewLayers layers = PreviewLayersFor(settings);
  const int side = PreviewPictureSide(client.right, client.bottom);
  const std::optional<BmpImage> sheet = LayerImage(layers.sheet, side);
  if (!sheet) return false;
  const std::optional<BmpImage> backdrop = layers.backdrop == layers.sheet ? sheet : LayerImage(layers.backdrop, side);
  return backdrop && preview.StartScene(*sheet, *backdrop);
}

}  // namespace gelmo
