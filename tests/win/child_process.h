// Starting a program of the project from a Windows test and watching it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace gelmo::testing {

// EnumWindows and EnumChildWindows with a C++ visitor: `visit` returns false to
// stop.  The platform calls back through a named CALLBACK (__stdcall on i686)
// function; a lambda would convert to the wrong calling convention there.
using WindowVisitor = std::function<bool(HWND)>;
inline BOOL CALLBACK VisitWindow(HWND window, LPARAM visitor) {
  return (*reinterpret_cast<const WindowVisitor*>(visitor))(window) ? TRUE : FALSE;
}
inline void ForEachTopWindow(const WindowVisitor& visit) {
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}
inline void ForEachChildWindow(HWND parent, const WindowVisitor& visit) {
  EnumChildWindows(parent, VisitWindow, reinterpret_cast<LPARAM>(&visit));
}
// The first top-level window of process `pid` with this class (visible ones
// only, if asked), or null.
inline HWND TopWindowOf(DWORD pid, const char* className, bool visibleOnly = false) {
  HWND found = nullptr;
  ForEachTopWindow([&](HWND w) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (owner == pid && !lstrcmpA(cls, className) && (!visibleOnly || IsWindowVisible(w))) found = w;
    return found == nullptr;
  });
  return found;
}

// Handles messages of this thread for up to `ms` milliseconds, or until
// `done` returns true; returns `done`'s last answer.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    Sleep(10);
  } while (GetTickCount() < end);
  return done();
}

class ChildProcess {
 public:
  // Starts `program` with the command line "\"program\" arguments".
  ChildProcess(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info_) != 0;
  }
  ~ChildProcess() {
    if (!started_) return;
    if (Running()) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }
  DWORD id() const { return info_.dwProcessId; }
  bool Running() const { return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // Waits (handling this thread's messages) until the process ends; its exit
  // code, or -1 if it is still running after `ms`.
  long WaitExit(DWORD ms) {
    if (!PumpUntil(ms, [this] { return !Running(); })) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return long(code);
  }
  // A top-level window of this process with the given class, if one shows up.
  HWND FindWindowOfClass(const char* className, DWORD ms) {
    HWND found = nullptr;
    PumpUntil(ms, [&] { return (found = TopWindowOf(id(), className)) != nullptr; });
    return found;
  }

 private:
  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
};

// A fresh folder under C:\ for one test, removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) : path_("C:\\" + name) {
    Remove();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { Remove(); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  void Remove() {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string file = path_ + "\\" + found.cFileName;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
      } while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string path_;
};

}  // namespace gelmo::testing
