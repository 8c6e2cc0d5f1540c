#include "scr/forms/program_win.h"

#include <windows.h>

#include "scr/forms/command_line.h"

namespace gelmo::forms {

std::string CommandLineArguments() { return ArgumentsAfterProgramName(GetCommandLineA()); }

std::string ProgramFolder() {
  char path[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return {};
  // The last "\" that is a character of its own, not the trail byte of a
  // double-byte character.
  char* slash = nullptr;
  for (char* p = path; *p; p = CharNextA(p))
    if (*p == '\\') slash = p;
  if (!slash) return {};
  if (slash == path + 2 && path[1] == ':') ++slash;  // keep the root's "\"
  *slash = '\0';
  return path;
}

bool StartProgram(const std::string& path, const std::string& arguments) {
  std::string commandLine = "\"" + path + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool DeclareDpiAware() {
  // SetProcessDpiAwarenessContext came with Windows 10 1703; it is looked up
  // so that the program still starts on older systems.
  using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (HMODULE user32 = GetModuleHandleA("user32.dll"))
    if (FARPROC found = GetProcAddress(user32, "SetProcessDpiAwarenessContext"))
      if (reinterpret_cast<SetAwarenessContext>(reinterpret_cast<void (*)()>(found))(perMonitorV2)) return true;
  return SetProcessDPIAware() != FALSE;
}

void MessageBoxOk(const std::string& text) {
  char title[MAX_PATH] = {};
  char path[MAX_PATH * 2] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  // The program's name: its file name without the extension.
  const char* name = path;
  for (const char* p = path; *p; p = CharNextA(p))
    if (*p == '\\') name = p + 1;
  lstrcpynA(title, name, sizeof title);
  for (char* p = title; *p; p = CharNextA(p))
    if (*p == '.') *p = '\0';
  MessageBoxA(nullptr, text.c_str(), title, MB_OK);
}

bool CanOpenForReading(const std::string& path) {
  // Shared like any reader: only a file that another program holds locked
  // (opened without sharing) or a folder cannot be opened.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void EndProgram() { ExitProcess(0); }

}  // namespace gelmo::forms
