#include "scr/settings/number_text.h"

#include <limits>

namespace gelmo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

template <typename Int>
std::optional<Int> Narrow(std::optional<std::int64_t> value) {
  if (!value || *value < std::numeric_limits<Int>::min() || *value > std::numeric_limits<Int>::max())
    return std::nullopt;
  return static_cast<Int>(*value);
}

}  // namespace

void DecimalBuilder::AddWholeDigit(char digit) {
  if (wholeDigits_ == 0 && digit == '0') return;  // leading zeros do not count
  if (++wholeDigits_ > kMaxWholeDigits) {
    number_.tooLarge = true;
    return;
  }
  number_.whole = number_.whole * 10 + static_cast<std::uint64_t>(digit - '0');
}

void DecimalBuilder::AddFractionDigit(char digit) {
  // Rounding only needs the first digit and whether any digit after it is not 0.
  if (fractionDigits_++ == 0)
    firstFraction_ = digit;
  else if (digit != '0')
    laterFractionNonZero_ = true;
}

DecimalNumber DecimalBuilder::Result() const {
  DecimalNumber number = number_;
  using Fraction = DecimalNumber::Fraction;
  if (firstFraction_ > '5' || (firstFraction_ == '5' && laterFractionNonZero_))
    number.fraction = Fraction::kAboveHalf;
  else if (firstFraction_ == '5')
    number.fraction = Fraction::kHalf;
  else if (firstFraction_ > '0' || laterFractionNonZero_)
    number.fraction = Fraction::kBelowHalf;
  else
    number.fraction = Fraction::kZero;
  return number;
}

std::optional<DecimalNumber> ParseNumberText(std::string_view text) {
  std::size_t pos = 0;
  const std::size_t end = text.size();
  while (pos < end && IsBlank(text[pos])) ++pos;
  DecimalBuilder builder;
  if (pos < end && (text[pos] == '+' || text[pos] == '-')) builder.SetNegative(text[pos++] == '-');
  bool anyDigit = false;
  for (; pos < end && IsDigit(text[pos]); ++pos, anyDigit = true) builder.AddWholeDigit(text[pos]);
  if (pos < end && text[pos] == '.') {
    for (++pos; pos < end && IsDigit(text[pos]); ++pos, anyDigit = true)
      builder.AddFractionDigit(text[pos]);
  }
  while (pos < end && IsBlank(text[pos])) ++pos;
  if (!anyDigit || pos != end) return std::nullopt;
  return builder.Result();
}

std::optional<std::int64_t> Floor(const DecimalNumber& number) {
  if (number.tooLarge) return std::nullopt;
  const auto whole = static_cast<std::int64_t>(number.whole);  // below 10^15
  if (!number.negative) return whole;
  return number.fraction == DecimalNumber::Fraction::kZero ? -whole : -whole - 1;
}

std::optional<std::int64_t> RoundHalfEven(const DecimalNumber& number) {
  if (number.tooLarge) return std::nullopt;
  auto magnitude = static_cast<std::int64_t>(number.whole);
  using Fraction = DecimalNumber::Fraction;
  if (number.fraction == Fraction::kAboveHalf ||
      (number.fraction == Fraction::kHalf && magnitude % 2 != 0))
    ++magnitude;
  return number.negative ? -magnitude : magnitude;
}

std::optional<std::int16_t> ReadInt16Setting(std::string_view text) {
  const std::optional<DecimalNumber> number = ParseNumberText(text);
  if (!number) return std::nullopt;
  return Narrow<std::int16_t>(Floor(*number));
}

std::optional<std::int32_t> ReadInt32Setting(std::string_view text) {
  const std::optional<DecimalNumber> number = ParseNumberText(text);
  if (!number) return std::nullopt;
  return Narrow<std::int32_t>(RoundHalfEven(*number));
}

std::string FormatNumber(std::int64_t value) {
  if (value < 0) return std::to_string(value);
  return " " + std::to_string(value);
}

}  // namespace gelmo
