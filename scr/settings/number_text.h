// Numbers as texts: the settings file stores kinds, the CD track and the
// background colour as decimal texts, and the preview's host window comes as
// a number on the command line.
//
// Every conversion works on the decimal digits themselves, never through a
// double, so 2.5 is exactly a half and a text of a thousand digits is simply
// out of range.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gelmo {

// A decimal number as read from a text, exactly enough to round it.
struct DecimalNumber {
  enum class Fraction { kZero, kBelowHalf, kHalf, kAboveHalf };
  bool negative = false;
  std::uint64_t whole = 0;  // the digits before the point, valid unless tooLarge
  bool tooLarge = false;    // more than kMaxWholeDigits significant digits
  Fraction fraction = Fraction::kZero;
};

// More whole digits than any 32-bit value needs, few enough that `whole`
// never overflows.
constexpr int kMaxWholeDigits = 15;

// Accumulates the digits of a number one character at a time.  Both readers
// below are built on it; the start-up's command-line reader too.
class DecimalBuilder {
 public:
  void SetNegative(bool negative) { number_.negative = negative; }
  void AddWholeDigit(char digit);
  void AddFractionDigit(char digit);
  DecimalNumber Result() const;

 private:
  DecimalNumber number_;
  int wholeDigits_ = 0;  // significant digits so far (leading zeros skipped)
  int fractionDigits_ = 0;
  char firstFraction_ = '0';
  bool laterFractionNonZero_ = false;
};

// Reads a whole value text as a number: optional blanks (space, tab), an
// optional "+" or "-", digits with an optional decimal point (at least one
// digit: "1.", ".5" and "1.5" are numbers, "." is not), optional blanks.
// Anything else - letters, an exponent, an empty text - is no number.
std::optional<DecimalNumber> ParseNumberText(std::string_view text);

// Rounded down to a whole number (-0.5 gives -1); empty when beyond 64 bits.
std::optional<std::int64_t> Floor(const DecimalNumber& number);
// Rounded to the nearest whole number, halves to the even neighbour.
std::optional<std::int64_t> RoundHalfEven(const DecimalNumber& number);

// A kind or the CD track: the number rounded down, which must fit 16 bits.
// Empty when the text is no number or the result is outside -32768..32767;
// the setting then keeps 0.
std::optional<std::int16_t> ReadInt16Setting(std::string_view text);
// The background colour: the number rounded to nearest (halves to even),
// which must fit 32 bits signed.  Empty as above.
std::optional<std::int32_t> ReadInt32Setting(std::string_view text);

// The settings file's number format: decimal, one leading blank for a value of
// zero or more, "-" for a negative one (1 -> " 1", -5 -> "-5").
std::string FormatNumber(std::int64_t value);

}  // namespace gelmo
