// Runs the renderer's own main loop in this process for a fixed time and
// reports how fast it presents frames:
//   renderer_bench.exe SECONDS
// Frames are counted as the repaints the loop takes from its queue (one drawn
// and presented frame each); Escape is posted to the window when the time is up.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "renderer/renderer_win.h"

namespace {

LONGLONG g_frequency = 1;
LONGLONG g_firstFrame = 0, g_lastFrame = 0;
long g_frames = 0;
double g_cpuAtFirstFrame = 0;
FILETIME g_firstFrameWall = {};
DWORD g_seconds = 10;

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME f) {
    return (ULONGLONG(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

LRESULT CALLBACK CountRepaints(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_PAINT) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // The first repaint taken from the queue is the first frame of the loop;
    // it is complete when the next one is taken.
    if (g_frames == 1) {
      g_firstFrame = now.QuadPart;
      g_cpuAtFirstFrame = ProcessCpuSeconds();
      GetSystemTimePreciseAsFileTime(&g_firstFrameWall);
    }
    g_lastFrame = now.QuadPart;
    ++g_frames;
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

DWORD WINAPI StopAfterTime(void*) {
  HWND window = nullptr;
  while (!(window = FindWindowA(gelmo::kRendererClassName, gelmo::kRendererClassName))) Sleep(10);
  Sleep(g_seconds * 1000);
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  return 0;
}

double FileTimeSeconds(FILETIME f) { return (ULONGLONG(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; }

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_seconds = DWORD(std::atoi(argv[1]));
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_frequency = f.QuadPart;
  SetWindowsHookExA(WH_GETMESSAGE, CountRepaints, nullptr, GetCurrentThreadId());
  CloseHandle(CreateThread(nullptr, 0, StopAfterTime, nullptr, 0, nullptr));

  int rc = gelmo::RendererMain(GetModuleHandleA(nullptr));

  const double cpu = ProcessCpuSeconds() - g_cpuAtFirstFrame;
  const double wall = double(g_lastFrame - g_firstFrame) / double(g_frequency);
  const long frames = g_frames - 2;  // frames completed between the two marks
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  // Windows file times count from 1601; the script compares with Unix time.
  const double unixFirstFrame = FileTimeSeconds(g_firstFrameWall) - 11644473600.0;
  std::printf("frames %ld\nseconds %.3f\ncpu_seconds %.3f\nfps %.2f\nframes_per_cpu_second %.2f\n"
              "first_frame_after_process_creation %.3f\nfirst_frame_unix_time %.6f\nexit_code %d\n",
              frames, wall, cpu, frames / wall, cpu > 0 ? frames / cpu : 0.0,
              FileTimeSeconds(g_firstFrameWall) - FileTimeSeconds(created), unixFirstFrame, rc);
  return rc;
}
