#include "renderer/renderer_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "renderer/bitmap_file.h"
#include "renderer/frame_pacer.h"
#include "renderer/gl.h"
#include "renderer/scene.h"
#include "renderer/scene_context_win.h"
#include "renderer/screen_layout.h"
#include "renderer/screen_layout_win.h"
#include "renderer/staged_texture.h"
#include "scr/forms/program_names.h"
#include "scr/forms/program_win.h"

namespace gelmo {
namespace {

unsigned char g_running = 0;  // 1 while the frame loop may draw
HDC g_hdc = nullptr;          // taken once at WM_CREATE, kept (CS_OWNDC)
HGLRC g_hglrc = nullptr;
LONGLONG g_counterStart = 0;
LONGLONG g_counterFrequency = 1;
unsigned char g_keyDown[256] = {};
// Fill mode (the "/fill" switch): the window covers the virtual screen and
// the scene is drawn into one viewport per monitor.  Empty in the default mode.
std::vector<Viewport> g_monitorViewports;
bool g_swapIntervalGranted = false;
UINT g_nextPictureMessage = 0;  // registered kNextPictureMessage

// A change of a sheet's picture, from the saver's message to the end of the
// fade.  The new bitmap is read and its mipmap chain made on a thread of its
// own; the frame loop then uploads a part of it each frame into the spare
// texture (the one the changed sheet showed before the last change) and,
// once it is all in, fades it in over kFadeSeconds.  One change at a time:
// with a picture per monitor, a monitor's message that comes during another's
// change waits its turn.
struct PictureChange {
  static constexpr double kFadeSeconds = 1.5;
  static constexpr std::size_t kPixelsPerFrame = 256 * 1024;
  std::future<std::vector<MipLevel>> reading;
  StagedTexture upload;
  double fadeStart = -1;             // g_time the fade began at; negative before
  std::deque<std::size_t> waiting;  // monitors whose message came during this change, in turn
};
PictureChange g_change;

bool ChangeInProgress() { return g_change.reading.valid() || g_change.upload.Started() || g_change.fadeStart >= 0; }

void BeginPictureChange(std::size_t monitor) {
  if (ChangeInProgress()) {
    if (std::find(g_change.waiting.begin(), g_change.waiting.end(), monitor) == g_change.waiting.end())
      g_change.waiting.push_back(monitor);
    return;
  }
  g_changingMonitor = monitor;
  g_change.reading = std::async(std::launch::async, [path = MonitorBitmapPath(kSheetBitmapPath, monitor)] {
    BmpImage image;
    std::unique_ptr<ByteSource> file = OpenBitmapFile(path.c_str());
    if (!file || ReadHandOffBitmap(*file, image) != BmpResult::kOk) return std::vector<MipLevel>();
    return MipmapChain(image);
  });
}

// One frame's step of a change in progress, before the frame is drawn.
void AdvancePictureChange() {
  if (g_change.reading.valid() &&
      g_change.reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    std::vector<MipLevel> levels = g_change.reading.get();
    if (!levels.empty()) {
      // The spare texture is used again, and where the new picture has its
      // size, its memory too.
      if (g_nextSheetTexture.textureId == 0) g_nextSheetTexture.Create(kSheetBitmapPath);
      g_nextSheetTexture.width = levels.front().width;
      g_nextSheetTexture.height = levels.front().height;
      g_change.upload.Start(std::move(levels));
    }
  }
  if (g_change.upload.Started()) {
    g_nextSheetTexture.Bind();
    if (g_change.upload.UploadSome(PictureChange::kPixelsPerFrame)) {
      g_change.upload.Clear();
      g_change.fadeStart = g_time;
    }
  }
  if (g_change.fadeStart >= 0) {
    g_sheetFade = static_cast<float>((g_time - g_change.fadeStart) / PictureChange::kFadeSeconds);
    if (g_sheetFade >= 1.0f) {  // the new picture is the monitor's now
      BitmapTexture& sheet = MonitorSheetTexture(g_changingMonitor);
      std::swap(sheet.textureId, g_nextSheetTexture.textureId);
      std::swap(sheet.width, g_nextSheetTexture.width);
      std::swap(sheet.height, g_nextSheetTexture.height);
      g_sheetFade = 0.0f;
      g_change.fadeStart = -1;
    }
  }
  if (!g_change.waiting.empty() && !ChangeInProgress()) {
    const std::size_t monitor = g_change.waiting.front();
    g_change.waiting.pop_front();
    BeginPictureChange(monitor);
  }
}

template <typename Function>
Function GlFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

// Asks the driver, with the context current, to present one frame per
// display refresh.  The loop never sleeps; without this a fast card draws
// thousands of frames a second, hot and loud for hours, of a picture no
// display shows faster than it refreshes.
bool AskForSwapInterval(HDC hdc) {
  const char* extensions = nullptr;
  if (auto arb = GlFunction<const char*(WINAPI*)(HDC)>("wglGetExtensionsStringARB"))
    extensions = arb(hdc);
  else if (auto ext = GlFunction<const char*(WINAPI*)()>("wglGetExtensionsStringEXT"))
    extensions = ext();
  if (!extensions || !ListsExtension(extensions, "WGL_EXT_swap_control")) return false;
  auto swapInterval = GlFunction<BOOL(WINAPI*)(int)>("wglSwapIntervalEXT");
  return swapInterval && swapInterval(1);
}

void ReleaseContext() {
  wglMakeCurrent(g_hdc, nullptr);
  wglDeleteContext(g_hglrc);
}

double SecondsSinceStart() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return SecondsBetween(g_counterStart, now.QuadPart, g_counterFrequency);
}

// The refresh rate of the display the window opens on (the primary).
int DisplayHertz() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? int(mode.dmDisplayFrequency) : 0;
}

void Repaint(HWND window) {
  // Lowers the cursor's display count at every repaint, so it stays hidden.
  ShowCursor(FALSE);
  // Before the loop starts the paint is left pending (not validated).
  if (!g_running) return;

  g_time = SecondsSinceStart();

  if (g_keyDown[VK_ESCAPE]) {
    g_running = 0;
    ShutdownScene();
    ReleaseContext();
    PostQuitMessage(0);
    ShowCursor(TRUE);
    return;
  }
  AdvancePictureChange();
  if (g_monitorViewports.empty())
    DrawScene();
  else
    DrawSceneInViewports(g_monitorViewports);
  SwapBuffers(g_hdc);
  ValidateRect(window, nullptr);
}

ScreenRect VirtualScreen() {
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The viewports of the monitors, in the window as it came out, in layout order.
std::vector<Viewport> ViewportsFor(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  return MonitorViewports({origin.x, origin.y, client.right, client.bottom}, DisplayMonitors());
}

}  // namespace

bool SwapIntervalGranted() { return g_swapIntervalGranted; }

void DebugPrintf(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  OutputDebugStringA(text);
}

void SetupPixelFormat(HDC hdc) {
  const int index = SetScenePixelFormat(hdc);
  DebugPrintf("PixelFormat Selected: %d\nBPP: %d\n", index, GetDeviceCaps(hdc, BITSPIXEL));
}

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_hdc = GetDC(window);
      SetupPixelFormat(g_hdc);
      g_hglrc = wglCreateContext(g_hdc);
      wglMakeCurrent(g_hdc, g_hglrc);
      g_swapIntervalGranted = AskForSwapInterval(g_hdc);
      LoadMultitexture();
      return 0;
    case WM_DESTROY:
      ReleaseContext();
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      g_clientWidth = LOWORD(lParam);
      g_clientHeight = HIWORD(lParam);
      ResizeViewport(g_clientWidth, g_clientHeight);
      return 0;
    case WM_PAINT:
      Repaint(window);
      return 0;
    case WM_KEYDOWN:
      g_keyDown[wParam & 0xFF] = 1;
      return 0;
    case WM_KEYUP:
      g_keyDown[wParam & 0xFF] = 0;
      return 0;
    default:
      if (message == g_nextPictureMessage && g_nextPictureMessage != 0) {
        // With a picture per monitor the message names the monitor; else
        // any message changes the one sheet picture.
        const std::size_t monitor = g_monitorSheetTextures.empty() ? 0 : wParam;
        if (monitor <= g_monitorSheetTextures.size()) BeginPictureChange(monitor);
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int RendererMain(HINSTANCE instance) {
  g_running = 0;
  // Fill mode draws at the monitors' own pixels, so it declares that before
  // its first window; the default window stays as the system scales it.
  const bool fill = HasSwitchWord(forms::CommandLineArguments(), kFillScreenSwitch);
  if (fill) forms::DeclareDpiAware();

  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // GL keeps one DC for the window
  windowClass.lpfnWndProc = RendererWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kRendererClassName;
  if (!RegisterClassA(&windowClass)) return 0;
  g_nextPictureMessage = RegisterWindowMessageA(kNextPictureMessage);

  // A pop-up at CW_USEDEFAULT lands in the screen's top-left corner.  In fill
  // mode it covers every monitor, above every other window (the taskbar too).
  const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const ScreenRect screen = fill ? VirtualScreen() : ScreenRect{int(CW_USEDEFAULT), int(CW_USEDEFAULT), 1024, 768};
  HWND window = CreateWindowExA(fill ? WS_EX_TOPMOST : 0, kRendererClassName, kRendererClassName, style,
                                screen.left, screen.top, screen.width, screen.height, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 0;
  if (fill) g_monitorViewports = ViewportsFor(window);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  LARGE_INTEGER value;
  QueryPerformanceFrequency(&value);
  g_counterFrequency = value.QuadPart;
  QueryPerformanceCounter(&value);
  g_counterStart = value.QuadPart;

  if (!InitScene()) return 0;
  if (HasSwitchWord(forms::CommandLineArguments(), kPicturePerMonitorSwitch))
    LoadMonitorSheets(g_monitorViewports.size());
  if (HasSwitchWord(forms::CommandLineArguments(), kSlideShowSwitch)) {
    // The first change's texture memory, made now and not in a frame of it.
    g_nextSheetTexture.Create(kSheetBitmapPath);
    AllocateLevelsLike(g_sheetTexture, g_nextSheetTexture);
  }
  g_running = 1;

  // Draw when the queue is otherwise empty and a frame is due: an idle turn
  // invalidates the window, and the next turn delivers WM_PAINT.  Frames keep
  // to the display's rate even where the driver does not pace them (vertical
  // sync forced off, remote sessions); between them the loop sleeps until the
  // next frame or the next message, so keys stay immediate.  Motion depends
  // on g_time only.
  FramePacer pacer(FrameIntervalFor(DisplayHertz()));
  timeBeginPeriod(1);  // waits to the millisecond, not the system's 15.6 ms tick
  MSG msg = {};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  while (msg.message != WM_QUIT) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    const double now = SecondsSinceStart();
    if (pacer.Due(now))
      InvalidateRect(window, nullptr, FALSE);
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, pacer.WaitMilliseconds(now), QS_ALLINPUT);
  }
  timeEndPeriod(1);
  g_running = 0;
  ShutdownScene();
  return static_cast<int>(msg.wParam);
}

}  // namespace gelmo
