// What the screensaver host asks for on the command line: the switch is the
// second character, upper-cased ("/p 1234", "/c:1234", "/s", "-s" all work
// because only that character counts), and a preview request carries the host
// window's handle from the fourth character on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gelmo {

enum class StartMode {
  kPreview,             // "P": embed the preview window in the host's window
  kSettings,            // "C": the settings dialog, modal
  kSaver,               // "S": the saver, mouse cursor hidden
  kSaverCursorVisible,  // empty command line: the saver, cursor left as it is
  kEnd,                 // any other switch: end without showing anything
};

struct StartRequest {
  StartMode mode = StartMode::kEnd;
  std::int32_t hostWindow = 0;  // kPreview only; 0 when no handle could be read
};

// Character 2 (counting code page 932 characters from 1) of the command line,
// ASCII letters upper-cased; empty when the line is shorter.  A double-byte
// character comes back as its two bytes.
std::string CommandSwitch(std::string_view commandLine);

// The number a text starts with, read the way the runtime's Val reads it:
// blanks (space, tab, CR, LF) are skipped anywhere, an optional sign, digits
// and one decimal point; reading stops at the first character that cannot
// continue the number, and no digits at all give 0.  Exponents ("1e3" reads 1)
// and "&H" hexadecimal ("&H10" reads 0) are not taken: the host always writes
// plain decimal handles, and an exponent would only turn garbage into huge
// values.  The result is rounded to 32 bits, halves to even; beyond the 32-bit
// signed range there is no value.
std::optional<std::int32_t> ValToInt32(std::string_view text);

// The host window's handle: the command line from character 4 on, as above;
// 0 when nothing usable is there.
std::int32_t PreviewHostWindow(std::string_view commandLine);

// The mode, and for a preview the host window.
StartRequest ParseCommandLine(std::string_view commandLine);

}  // namespace gelmo
