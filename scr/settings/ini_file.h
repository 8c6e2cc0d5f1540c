// ゲルモ.ini as the program reads and writes it itself: code page 932 bytes
// and CRLF line ends whatever the machine's code page, so that a file moves
// between machines unchanged.  It behaves as the platform's profile routines
// do on a Japanese system: sections and keys are found without regard to the
// case of their ASCII letters, a value loses the blanks and one pair of
// quotes around it, and every other line stays as it was.
//
// A file that a text editor has re-saved as UTF-8 (with a byte-order mark, or
// without one but holding the program's keys in their UTF-8 form) is read
// through a conversion to code page 932; the next save writes it in 932.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gelmo {

// Converts UTF-8 text to code page 932; a character that 932 cannot hold
// becomes "?".  The platform's converter, or iconv in the native tests.
using Utf8ToCp932 = std::function<std::string(std::string_view utf8)>;

class IniFile {
 public:
  IniFile() = default;
  // The file's bytes as read from disk (empty for a missing file).
  static IniFile Parse(std::string_view bytes, const Utf8ToCp932& toCp932);

  // The value of the first key of that name in the first section of that
  // name; empty when either is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's line with "key=value", or adds it after the last line
  // of the section, or adds the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole file: code page 932, each line ended by CR LF.
  std::string Bytes() const;

 private:
  std::optional<std::size_t> FindSection(std::string_view section) const;
  std::vector<std::string> lines_;  // without their line ends
};

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace gelmo
