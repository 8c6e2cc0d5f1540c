// The renderer's frame loop in this process, driven by window messages from a
// second thread: what ends it, what does not, and what it does to the cursor.
// Each case runs in a process of its own (the window class is registered once
// per process).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "renderer/renderer_win.h"
#include "renderer/scene.h"

namespace gelmo {
namespace {

std::atomic<int> g_paints{0};

LRESULT CALLBACK CountPaints(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_PAINT) ++g_paints;
  return CallNextHookEx(nullptr, code, removed, lParam);
}

// The cursor's display count, read without changing it.
int CursorCount() {
  ShowCursor(TRUE);
  return ShowCursor(FALSE);
}

// Waits until the loop has drawn `more` further frames.
void WaitFrames(int more) {
  const int target = g_paints + more;
  for (int i = 0; i < 1000 && g_paints < target; ++i) Sleep(5);
}

struct LoopRun {
  int exitCode = -1;
  int paints = 0;
  int cursorBefore = 0, cursorAfter = 0;
};

// Runs RendererMain while `drive` acts on its window from another thread.
LoopRun RunLoop(const std::function<void(HWND)>& drive) {
  LoopRun run;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountPaints, nullptr, GetCurrentThreadId());
  std::thread driver([&] {
    HWND window = nullptr;
    for (int i = 0; i < 2000 && !window; ++i) {
      window = FindWindowA(kRendererClassName, kRendererClassName);
      if (!window) Sleep(5);
    }
    WaitFrames(3);
    drive(window);
  });
  run.cursorBefore = CursorCount();
  run.exitCode = RendererMain(GetModuleHandleA(nullptr));
  driver.join();
  run.cursorAfter = CursorCount();
  run.paints = g_paints;
  UnhookWindowsHookEx(hook);
  return run;
}

TEST(RendererLoop, EscapeHeldAtARepaintEndsWithOneCursorRestore) {
  LoopRun run = RunLoop([](HWND w) { PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(run.exitCode, 0);
  // One hide per repaint (the first, from UpdateWindow, is sent, not queued;
  // the last sees Escape), then a single show.
  ASSERT_GE(run.paints, 3);
  EXPECT_EQ(run.cursorAfter, run.cursorBefore - (run.paints + 1) + 1);
}

TEST(RendererLoop, OtherKeysAndMouseDoNotEndIt) {
  std::atomic<int> paintsAfterInput{0};
  LoopRun run = RunLoop([&](HWND w) {
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_SPACE), WPARAM(VK_RETURN), WPARAM(VK_F1)}) {
      PostMessageA(w, WM_KEYDOWN, key, 0);
      PostMessageA(w, WM_KEYUP, key, 0);
    }
    PostMessageA(w, WM_SYSKEYDOWN, VK_MENU, 0);
    PostMessageA(w, WM_SYSKEYUP, VK_MENU, 0);
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 100));
    PostMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(200, 100));
    const int before = g_paints;
    WaitFrames(10);
    paintsAfterInput = g_paints - before;
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_GE(paintsAfterInput, 10) << "the loop stopped drawing after other input";
  EXPECT_EQ(run.exitCode, 0);
}

// Where nothing else paces the frames (a virtual screen has no vertical
// blank, and the driver grants the swap interval all the same), they keep to
// the display's refresh rate; Escape still ends the loop at once.
TEST(RendererLoop, FramesKeepToTheDisplaysRateAndEscapeStaysImmediate) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  const int hertz = mode.dmDisplayFrequency > 1 ? int(mode.dmDisplayFrequency) : 60;
  std::atomic<int> frames{0};
  std::atomic<DWORD> escapeAt{0};
  LoopRun run = RunLoop([&](HWND w) {
    const int before = g_paints;
    Sleep(10000);
    frames = g_paints - before;
    escapeAt = GetTickCount();
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  const DWORD ended = GetTickCount();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_LE(frames, hertz * 10 * 105 / 100) << hertz << " Hz";
  EXPECT_GE(frames, 100) << "it still draws";
  EXPECT_LT(ended - escapeAt, 100u);
}

TEST(RendererLoop, EscapeReleasedBeforeAnyRepaintIsMissed) {
  std::atomic<int> paintsAfterTap{0};
  LoopRun run = RunLoop([&](HWND w) {
    // Posted messages come before the next repaint: down and up are both
    // handled before a repaint could see the key.
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(w, WM_KEYUP, VK_ESCAPE, 0);
    const int before = g_paints;
    WaitFrames(5);
    paintsAfterTap = g_paints - before;
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_GE(paintsAfterTap, 5);
  EXPECT_EQ(run.exitCode, 0);
}

TEST(RendererLoop, CloseFromOutsideEndsWithoutCursorRestore) {
  LoopRun run = RunLoop([](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_GE(run.paints, 3);
  EXPECT_EQ(run.cursorAfter, run.cursorBefore - (run.paints + 1));
}

TEST(RendererLoop, ZeroHeightSizeKeepsTheReportedClientHeight) {
  std::atomic<int> heightSeen{-1};
  LoopRun run = RunLoop([&](HWND w) {
    SendMessageA(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 0));
    heightSeen = g_clientHeight;
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(heightSeen, 0);
  EXPECT_EQ(g_clientWidth, 640);
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
}  // namespace gelmo
