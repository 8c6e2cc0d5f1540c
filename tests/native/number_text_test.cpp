// Number texts of the settings file: what is a number, how kinds and the
// colour are rounded, where the ranges end, and the format the dialog writes.
#include "scr/settings/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace gelmo {
namespace {

struct Case16 {
  const char* text;
  std::optional<std::int16_t> expected;
};

TEST(NumberText, KindsAreRoundedDownAndMustFit16Bits) {
  const std::string manyDigits = "1" + std::string(400, '0');
  const std::string leadingZeros = std::string(400, '0') + "7";
  const std::string tinyFraction = "-0." + std::string(400, '0') + "1";
  const Case16 cases[] = {
      {"1", 1}, {" 1", 1}, {"\t2 ", 2}, {"1.9", 1}, {"1.7", 1}, {"-1.5", -2}, {"-0.5", -1},
      {"-0", 0}, {"+3", 3}, {".5", 0}, {"-.5", -1}, {"1.", 1}, {"-2.0", -2},
      {"32767", 32767}, {"32767.99", 32767}, {"-32768", -32768},
      {"32768", std::nullopt}, {"40000", std::nullopt}, {"-32768.5", std::nullopt},
      {"-32769", std::nullopt},
      {leadingZeros.c_str(), 7}, {tinyFraction.c_str(), -1},
      {manyDigits.c_str(), std::nullopt}, {"1e400", std::nullopt},
      // not numbers: the field keeps 0
      {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt}, {"1a", std::nullopt},
      {"1e3", std::nullopt}, {".", std::nullopt}, {"+", std::nullopt}, {"-", std::nullopt},
      {"- 3", std::nullopt}, {"1 2", std::nullopt}, {"1.2.3", std::nullopt},
      {"&H10", std::nullopt}, {"1,000", std::nullopt}, {"++1", std::nullopt},
      {"\x82\x50", std::nullopt},  // full-width digit one
  };
  for (const Case16& c : cases) EXPECT_EQ(ReadInt16Setting(c.text), c.expected) << '"' << c.text << '"';
}

struct Case32 {
  const char* text;
  std::optional<std::int32_t> expected;
};

TEST(NumberText, ColourIsRoundedHalfToEvenAndMustFit32Bits) {
  const Case32 cases[] = {
      {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4}, {"0.5", 0}, {"1.5", 2},
      {"2.51", 3}, {"2.4999999999999999999999", 2}, {"2.5000000000000000000001", 3},
      {"-0.4", 0}, {"16777215", 0x00FFFFFF}, {" 16777215", 0x00FFFFFF},
      {"2147483647", 2147483647}, {"2147483646.5", 2147483646},
      {"2147483647.5", std::nullopt},  // the even neighbour is 2147483648
      {"-2147483648.5", std::numeric_limits<std::int32_t>::min()},
      {"2147483648", std::nullopt}, {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"white", std::nullopt}, {"", std::nullopt}, {"&HFFFFFF", std::nullopt},
  };
  for (const Case32& c : cases) EXPECT_EQ(ReadInt32Setting(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumberText, WrittenNumbersHaveALeadingBlankOrMinusAndReadBack) {
  EXPECT_EQ(FormatNumber(1), " 1");
  EXPECT_EQ(FormatNumber(0), " 0");
  EXPECT_EQ(FormatNumber(-5), "-5");
  EXPECT_EQ(FormatNumber(16777215), " 16777215");
  EXPECT_EQ(FormatNumber(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  for (std::int32_t v : {0, 1, -1, 2, 32767, -32768, 16777215, std::numeric_limits<std::int32_t>::max(),
                         std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(ReadInt32Setting(FormatNumber(v)), v) << v;
    if (v >= -32768 && v <= 32767) EXPECT_EQ(ReadInt16Setting(FormatNumber(v)), v) << v;
  }
}

}  // namespace
}  // namespace gelmo
