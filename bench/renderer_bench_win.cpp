// Runs the renderer's own main loop in this process for a fixed time and
// reports how fast it presents frames:
//   renderer_bench.exe SECONDS [WINESERVER-PID]
// or the screensaver program's live preview, embedded in a 152 x 112 host
// window of this process, with the settings' defaults (the sample landscape
// over black): its time to the first frame and its share of one core:
//   renderer_bench.exe preview SECONDS [WINESERVER-PID]
// Installed as the renderer beside the saver (scripts/bench-pictures), it is
// started without arguments: GELMO_BENCH_SECONDS then gives the time and
// GELMO_BENCH_REPORT the file the report goes to.
// The renderer's window procedure is wrapped as the window is created (a CBT
// hook that is removed at once), and a frame is counted at every repaint that
// drew one.  No hook stays installed: under Wine every message taken with a
// hook in place costs a round trip to the wineserver, which the shipped
// renderer does not pay.  CPU time is the whole process's, the GL's threads
// included, plus the wineserver's when its process id is given (read from
// /proc through Wine's drive Z:).  Escape is posted when the time is up.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "renderer/renderer_win.h"
#include "renderer/scene.h"
#include "scr/forms/program_names.h"
#include "scr/start/preview_win.h"

namespace {

HHOOK g_cbtHook = nullptr;
double g_seconds = 10;
char g_wineserverStat[64] = "";

LONGLONG g_frequency = 1;
long g_frames = 0, g_framesAtLastFrame = 0;
LONGLONG g_firstFrame = 0, g_lastFrame = 0;
double g_cpuAtFirstFrame = 0, g_cpuAtLastFrame = 0;
double g_serverAtFirstFrame = 0, g_serverAtLastFrame = 0;
FILETIME g_firstFrameWall = {};
double g_lastTime = 0;

double FileTimeSeconds(FILETIME f) { return (ULONGLONG(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; }

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

// User and system time of the wineserver, from fields 14 and 15 of its
// /proc stat line (in 1/100 s); 0 when no process id was given.
double WineserverCpuSeconds() {
  if (!g_wineserverStat[0]) return 0;
  HANDLE file = CreateFileA(g_wineserverStat, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char text[1024] = {};
  DWORD got = 0;
  ReadFile(file, text, sizeof text - 1, &got, nullptr);
  CloseHandle(file);
  const char* p = std::strrchr(text, ')');  // the command name may hold blanks
  unsigned long long user = 0, system = 0;
  if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system) != 2)
    return 0;
  return double(user + system) / 100.0;
}

// The saver's changes of picture: every frame's length is kept, to compare
// those during a change (until kChangeSeconds after the saver's message) with
// the median.
constexpr double kChangeSeconds = 3.0;
UINT g_nextPictureMessage = 0;
LONGLONG g_previousFrame = 0, g_changeAsked = 0;
int g_changes = 0;
std::vector<double> g_frameMs;
double g_longestChangeFrameMs = 0;

void CountFrameLength(LONGLONG now) {
  if (g_previousFrame != 0) {
    const double ms = 1000.0 * double(now - g_previousFrame) / double(g_frequency);
    g_frameMs.push_back(ms);
    if (g_changeAsked != 0 && double(now - g_changeAsked) / double(g_frequency) <= kChangeSeconds)
      g_longestChangeFrameMs = std::max(g_longestChangeFrameMs, ms);
  }
  g_previousFrame = now;
}

double MedianFrameMs() {
  if (g_frameMs.empty()) return 0;
  std::vector<double> sorted = g_frameMs;
  std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
  return sorted[sorted.size() / 2];
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_nextPictureMessage && g_frames > 0) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    g_changeAsked = counter.QuadPart;
    ++g_changes;
  }
  const LRESULT result = gelmo::RendererWndProc(window, message, wParam, lParam);
  // A repaint of the running loop sets a new g_time; the ones before the loop
  // starts leave it at 0.
  if (message != WM_PAINT || gelmo::g_time == g_lastTime) return result;
  g_lastTime = gelmo::g_time;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const LONGLONG now = counter.QuadPart;
  if (g_frames > 0 && g_lastFrame == 0) CountFrameLength(now);
  if (g_frames++ == 0) {
    g_previousFrame = now;
    g_firstFrame = now;
    g_cpuAtFirstFrame = ProcessCpuSeconds();
    g_serverAtFirstFrame = WineserverCpuSeconds();
    GetSystemTimePreciseAsFileTime(&g_firstFrameWall);
  } else if (double(now - g_firstFrame) / double(g_frequency) >= g_seconds && g_lastFrame == 0) {
    g_lastFrame = now;
    g_framesAtLastFrame = g_frames;
    g_cpuAtLastFrame = ProcessCpuSeconds();
    g_serverAtLastFrame = WineserverCpuSeconds();
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  return result;
}

LRESULT CALLBACK WrapRendererWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    char name[32] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (!lstrcmpA(name, gelmo::kRendererClassName)) {
      SetWindowLongPtrA(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
      UnhookWindowsHookEx(g_cbtHook);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

double Seconds(LONGLONG from, LONGLONG to) { return double(to - from) / double(g_frequency); }

LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void PumpFor(double seconds, const gelmo::PreviewForm& preview, bool untilFirstFrame) {
  const LONGLONG start = Now();
  MSG msg;
  while (Seconds(start, Now()) < seconds && !(untilFirstFrame && preview.framesDrawn() > 0)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

int PreviewMain() {
  const LONGLONG start = Now();
  HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 40, 40, 152, 112, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  static gelmo::PreviewForm preview;
  if (!gelmo::EmbedPreview(preview, host) || !gelmo::StartLivePreview(preview, gelmo::SaverSettings{})) {
    std::printf("preview_live 0\n");
    return 1;
  }
  PumpFor(10, preview, true);
  const double firstFrame = Seconds(start, Now());
  const int framesBefore = preview.framesDrawn();
  const double cpuBefore = ProcessCpuSeconds(), serverBefore = WineserverCpuSeconds();
  const LONGLONG measured = Now();
  PumpFor(g_seconds, preview, false);
  const double wall = Seconds(measured, Now());
  const double cpu = ProcessCpuSeconds() - cpuBefore, server = WineserverCpuSeconds() - serverBefore;
  std::printf("preview_live 1\npreview_first_frame_seconds %.3f\npreview_fps %.2f\npreview_cpu_seconds %.3f\n"
              "preview_wineserver_cpu_seconds %.3f\npreview_core_share %.4f\n",
              firstFrame, (preview.framesDrawn() - framesBefore) / wall, cpu, server, (cpu + server) / wall);
  DestroyWindow(host);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* seconds = std::getenv("GELMO_BENCH_SECONDS")) g_seconds = std::atof(seconds);
  if (const char* report = std::getenv("GELMO_BENCH_REPORT")) std::freopen(report, "w", stdout);
  g_nextPictureMessage = RegisterWindowMessageA(gelmo::kNextPictureMessage);
  const bool preview = argc > 1 && !std::strcmp(argv[1], "preview");
  if (preview) --argc, ++argv;
  if (argc > 1 && argv[1][0] != '/') g_seconds = std::atof(argv[1]);
  if (argc > 2) std::snprintf(g_wineserverStat, sizeof g_wineserverStat, "Z:\\proc\\%s\\stat", argv[2]);
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_frequency = f.QuadPart;
  if (preview) return PreviewMain();
  g_cbtHook = SetWindowsHookExA(WH_CBT, WrapRendererWindow, nullptr, GetCurrentThreadId());

  const int rc = gelmo::RendererMain(GetModuleHandleA(nullptr));

  const long frames = g_framesAtLastFrame - 1;  // frames completed between the two marks
  const double wall = double(g_lastFrame - g_firstFrame) / double(g_frequency);
  const double cpu = g_cpuAtLastFrame - g_cpuAtFirstFrame;
  const double server = g_serverAtLastFrame - g_serverAtFirstFrame;
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  // Windows file times count from 1601; the script compares with Unix time.
  const double unixFirstFrame = FileTimeSeconds(g_firstFrameWall) - 11644473600.0;
  std::printf("frames %ld\nseconds %.3f\ncpu_seconds %.3f\nwineserver_cpu_seconds %.3f\nfps %.2f\n"
              "frames_per_cpu_second %.2f\nfirst_frame_after_process_creation %.3f\nfirst_frame_unix_time %.6f\n"
              "swap_interval_granted %d\nmedian_frame_ms %.2f\nchanges %d\nlongest_change_frame_ms %.2f\nexit_code %d\n",
              frames, wall, cpu, server, frames / wall, cpu + server > 0 ? frames / (cpu + server) : 0.0,
              FileTimeSeconds(g_firstFrameWall) - FileTimeSeconds(created), unixFirstFrame,
              gelmo::SwapIntervalGranted() ? 1 : 0, MedianFrameMs(), g_changes, g_longestChangeFrameMs, rc);
  return rc;
}
