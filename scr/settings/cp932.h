// Walking code page 932 (Shift-JIS) byte strings character by character.
// Paths and profile values are ANSI texts; the second byte of a double-byte
// character may be 0x5C ("\"), so a byte-wise search for "\" would cut "表"
// (95 5C) in half.
#pragma once

#include <cstddef>
#include <string_view>

namespace gelmo {

// Lead bytes of double-byte characters: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes of the character that starts at `pos` (pos < text.size()): 2 for a
// lead byte with a byte after it, whatever that byte is; 1 otherwise, so a
// lead byte at the very end counts as a character of its own.
inline std::size_t Cp932CharBytes(std::string_view text, std::size_t pos) {
  return IsCp932LeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Byte offset at which the character numbered `n` (counting from 1) starts;
// text.size() when the text has fewer characters.
std::size_t Cp932CharOffset(std::string_view text, std::size_t n);

// True when the last character of the text is the single byte `c`.
bool Cp932EndsWith(std::string_view text, char c);

}  // namespace gelmo
