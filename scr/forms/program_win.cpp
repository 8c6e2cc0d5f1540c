#include "scr/forms/program_win.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "scr/forms/command_line.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {

std::string CommandLineArguments() { return ArgumentsAfterProgramName(Narrow(GetCommandLineW())); }

namespace {

// The program file's full path, as the system knows it.
std::wstring ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string ProgramFolder() {
  const std::wstring path = ProgramFile();
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  // The root keeps its "\" (C:\); a folder that 932 cannot name is reached
  // by its short name.
  const bool root = slash == 2 && path[1] == L':';
  return Cp932PathOf(path.substr(0, root ? slash + 1 : slash)).value_or("");
}

bool StartProgram(const std::string& path, const std::string& arguments, HANDLE* started) {
  std::string commandLine = "\"" + path + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  std::wstring wideCommandLine = Wide(commandLine);
  if (!CreateProcessW(Wide(path).c_str(), wideCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  if (started)
    *started = process.hProcess;
  else
    CloseHandle(process.hProcess);
  return true;
}

bool DeclareDpiAware() {
  // SetProcessDpiAwarenessContext came with Windows 10 1703; it is looked up
  // so that the program still starts on older systems.
  using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (HMODULE user32 = GetModuleHandleW(L"user32.dll"))
    if (FARPROC found = GetProcAddress(user32, "SetProcessDpiAwarenessContext"))
      if (reinterpret_cast<SetAwarenessContext>(reinterpret_cast<void (*)()>(found))(perMonitorV2)) return true;
  return SetProcessDPIAware() != FALSE;
}

void MessageBoxOk(const std::string& text) {
  // The program's name: its file name without the extension.
  std::wstring title = ProgramFile();
  title.erase(0, title.find_last_of(L'\\') + 1);
  title.erase(std::min(title.find(L'.'), title.size()));
  MessageBoxW(nullptr, Wide(text).c_str(), title.c_str(), MB_OK);
}

bool CanOpenForReading(const std::string& path) {
  // Shared like any reader: only a file that another program holds locked
  // (opened without sharing) or a folder cannot be opened.
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void EndProgram() { ExitProcess(0); }

}  // namespace gelmo::forms
