// ゲルモ.scr started as the screensaver host starts it: the single-copy rule,
// the renderer check and its message, and the preview's embedding; both
// programs' version resources and the name the screen saver list shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::ChildProcess;
using testing::PumpUntil;
using testing::ScratchFolder;

constexpr char kRendererMissing[] = "ゲルモ.dll が同じﾌｫﾙﾀﾞに見つかりません！";

// The program copied into a folder of its own, with or without a renderer file.
struct Installed {
  ScratchFolder folder;
  std::string scr;
  Installed(const std::string& name, bool withRenderer) : folder(name), scr(folder / "ゲルモ.scr") {
    CopyFileA(GELMO_SCR_EXE, scr.c_str(), FALSE);
    if (withRenderer) CopyFileA(GELMO_SCR_EXE, (folder / "ゲルモ.dll").c_str(), FALSE);
  }
};

HWND MakeWindow(const char* caption, DWORD style, int width, int height) {
  return CreateWindowExA(0, "STATIC", caption, style, 0, 0, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(StartUp, MissingRendererShowsItsMessageForEveryModeButPreview) {
  Installed app("gelmo-start-missing", false);
  for (const char* arguments : {"/s", "/c", "/x", ""}) {
    ChildProcess scr(app.scr, arguments);
    ASSERT_TRUE(scr.started());
    HWND box = scr.FindWindowOfClass("#32770", 15000);
    ASSERT_NE(box, nullptr) << "no message for '" << arguments << "'";
    PumpUntil(5000, [box] { return IsWindowVisible(box) != 0; });
    // The box's text and its visible buttons.
    struct Seen { std::string text; std::vector<std::string> buttons; } seen;
    testing::ForEachChildWindow(box, [&seen](HWND child) {
      char cls[32] = {}, text[256] = {};
      GetClassNameA(child, cls, sizeof cls);
      SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
      if (!lstrcmpiA(cls, "Static") && text[0]) seen.text = text;
      if (!lstrcmpiA(cls, "Button") && IsWindowVisible(child)) seen.buttons.push_back(text);
      return true;
    });
    EXPECT_EQ(seen.text, kRendererMissing) << arguments;
    EXPECT_EQ(seen.buttons.size(), 1u) << "OK only";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(scr.WaitExit(5000), 0) << arguments;
  }
}

TEST(StartUp, UnknownSwitchEndsSilentlyWhenTheRendererIsThere) {
  Installed app("gelmo-start-unknown", true);
  ChildProcess scr(app.scr, "/x");
  EXPECT_EQ(scr.WaitExit(15000), 0);
}

TEST(StartUp, SecondCopyEndsWithoutAnyMessage) {
  // No renderer: a copy that went on would show the message.
  Installed app("gelmo-start-second", false);
  for (const char* caption : {"Gelmo_Main", "<ゲルモ>"}) {
    HWND running = MakeWindow(caption, WS_POPUP, 10, 10);
    ASSERT_NE(running, nullptr);
    for (const char* arguments : {"/s", "/c", "/p 1234"}) {
      ChildProcess scr(app.scr, arguments);
      EXPECT_EQ(scr.WaitExit(15000), 0) << caption << " " << arguments;
    }
    DestroyWindow(running);
  }
}

TEST(StartUp, PreviewEmbedsIntoTheHostAndEndsWithIt) {
  // No renderer beside the program: the preview does not look for it.
  Installed app("gelmo-start-preview", false);
  for (const char* form : {"/p %lu", "/P:%lu"}) {
    HWND host = MakeWindow("host", WS_POPUP | WS_VISIBLE, 152, 112);
    ASSERT_NE(host, nullptr);
    char arguments[64];
    wsprintfA(arguments, form, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(host)));
    ChildProcess scr(app.scr, arguments);
    HWND preview = nullptr;
    PumpUntil(15000, [&] { return (preview = FindWindowExA(host, nullptr, nullptr, "Preview Window")) != nullptr; });
    ASSERT_NE(preview, nullptr) << arguments;
    PumpUntil(2000, [&] {
      RECT r;
      GetWindowRect(preview, &r);
      return r.right - r.left == 152 && r.bottom - r.top == 112;
    });
    RECT r;
    GetWindowRect(preview, &r);
    EXPECT_EQ(r.right - r.left, 152);
    EXPECT_EQ(r.bottom - r.top, 112);
    EXPECT_TRUE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(scr.Running());
    PumpUntil(1000, [] { return false; });  // the live scene has started
    DestroyWindow(host);
    const DWORD destroyed = GetTickCount();
    EXPECT_EQ(scr.WaitExit(10000), 0) << "the preview outlived its host";
    EXPECT_LE(GetTickCount() - destroyed, 1000u) << "the preview ended late";
  }
}

TEST(StartUp, PreviewForAHandleThatIsNoWindowEnds) {
  Installed app("gelmo-start-nohost", true);
  for (const char* arguments : {"/p 0", "/p", "/p 305419896", "/p abc"}) {
    ChildProcess scr(app.scr, arguments);
    EXPECT_EQ(scr.WaitExit(15000), 0) << arguments;
  }
}

// What Explorer and the system's screen saver list read from the programs.
// Neither program has a manifest that asks for an execution level: with one,
// Windows would no longer redirect a standard user's hand-off bitmaps at C:\
// to their VirtualStore, and every write there would fail.
TEST(StartUp, ProgramsCarryTheBuildsVersionAndTheSaverItsListedName) {
  for (const wchar_t* program : {L"" GELMO_SCR_EXE, L"" GELMO_RENDERER_EXE}) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    for (int id : {1, 2}) {  // the process's manifest, and an isolation one
      HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24));  // RT_MANIFEST
      if (!manifest) continue;
      const char* text = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
      const std::string xml(text, SizeofResource(module, manifest));
      EXPECT_EQ(xml.find("requestedExecutionLevel"), std::string::npos) << "manifest " << id;
    }
    FreeLibrary(module);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(program, &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoW(program, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(GELMO_VERSION_MINOR, GELMO_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, GELMO_VERSION_PATCH));
    for (const wchar_t* key : {L"FileDescription", L"ProductName", L"ProductVersion", L"FileVersion"}) {
      wchar_t* text = nullptr;
      const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + key;
      ASSERT_TRUE(VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << key;
      const std::wstring value(text);
      if (std::wstring(key) == L"ProductName") EXPECT_EQ(value, L"ゲルモ");
      else if (std::wstring(key).find(L"Version") != std::wstring::npos) EXPECT_EQ(value, L"" GELMO_VERSION_TEXT);
      else EXPECT_EQ(value.rfind(L"ゲルモ ", 0), 0u) << "FileDescription";
    }
  }
  HMODULE scr = LoadLibraryExW(L"" GELMO_SCR_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(scr);
  wchar_t name[32] = {};
  EXPECT_EQ(LoadStringW(scr, 1, name, 32), 3);
  EXPECT_STREQ(name, L"ゲルモ");
  FreeLibrary(scr);
}

}  // namespace
}  // namespace gelmo
