// Program-level services of the forms layer.
#pragma once

#include <windows.h>

#include <string>

namespace gelmo::forms {

// The command line after the program name, as the system passed it (bytes in
// the ANSI code page; GetCommandLineA, not WinMain's copy, which mangles them).
std::string CommandLineArguments();
// The folder the program file lies in, without a trailing "\" except at a
// drive root (C:\).
std::string ProgramFolder();
// Starts a program by path with a normal, focused window, without waiting.
// The path is quoted on the command line, so folders with blanks work; the
// arguments, if any, follow it after a blank.  False when it could not be
// started.  With `process`, the started process's handle is given there (the
// caller closes it).
bool StartProgram(const std::string& path, const std::string& arguments = {}, HANDLE* process = nullptr);
// Declares the process DPI-aware, so that on a scaled display it sees and
// draws the monitors' own pixels: per monitor where the system knows that,
// otherwise system-wide.  Must come before the process's first window.
bool DeclareDpiAware();
// A message box with the text and an OK button, titled with the program's name.
void MessageBoxOk(const std::string& text);
// True when the file can be opened for reading (and it is closed again).
bool CanOpenForReading(const std::string& path);
// Ends the program at once: no form's unload handlers run.
[[noreturn]] void EndProgram();

}  // namespace gelmo::forms
