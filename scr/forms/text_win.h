// The program's texts at the platform seam.  Inside the program every text is
// code page 932 bytes: its own Japanese texts, the settings file's values and
// the paths it stores.  The platform is called through its wide (UTF-16)
// functions, with the texts converted from and to 932 explicitly, so that the
// programs show and open the same on any machine's ANSI code page (1252, 936,
// or UTF-8) as on a Japanese one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace gelmo::forms {

std::wstring Wide(std::string_view cp932);
// A character that 932 cannot hold becomes "?".
std::string Narrow(std::wstring_view text);
// UTF-8 text (a file an editor saved so) in 932, "?" as above.
std::string Cp932FromUtf8(std::string_view utf8);
// Empty when a character of the text has no exact 932 form.
std::optional<std::string> NarrowExactly(std::wstring_view text);

// A 932 path that opens the same file as `path`: the path itself when 932
// holds it, otherwise the volume's short (8.3) form of it when that exists
// and 932 holds it; empty when there is no such path.
std::optional<std::string> Cp932PathOf(std::wstring_view path);

}  // namespace gelmo::forms
