// ゲルモ.ini as the program reads and writes it itself: code page 932 bytes
// and CRLF line ends whatever the machine's code page, so that a file moves
// between machines unchanged.  It behaves as the platform's profile routines
// do on a Japanese system: sections and keys are found without regard to the
// case of their ASCII letters, a value loses the blanks and one pair of
// quotes around it, and every other line stays as it was.
//
// A file that a text editor has re-saved as UTF-8 (with a byte-order mark, or
// without one but holding the program's keys in their UTF-8 form), or as
// UTF-16 with a byte-order mark (Notepad's "Unicode" and "Unicode big
// endian"), is read through a conversion to code page 932; the next save
// writes it in 932.  A file that holds a NUL byte otherwise (UTF-16 without a
// mark, UTF-16 that does not decode, anything not text) is unreadable: it has
// no keys, and it must be kept aside before a save writes a new file over it.
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
  // True when the bytes given to Parse could not be read as text.
  bool unreadable() const { return unreadable_; }

 private:
  std::optional<std::size_t> FindSection(std::string_view section) const;
  std::vector<std::string> lines_;  // without their line ends
  bool unreadable_ = false;
};

// UTF-16 text (without its byte-order mark) as UTF-8; nothing when it does not
// decode: an odd number of bytes, a surrogate without its pair, or U+0000.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace gelmo
