// Start-up's reading of the command line: which mode, and which host window
// a preview goes into.
#include "scr/start/command_line.h"

#include <gtest/gtest.h>

namespace gelmo {
namespace {

TEST(CommandLine, SecondCharacterSelectsTheModeAndPreviewReadsItsHost) {
  const struct {
    std::string line;
    StartMode mode;
    std::int32_t host;
  } cases[] = {
      {"/p 1234", StartMode::kPreview, 1234},  {"/p:1234", StartMode::kPreview, 1234},
      {"/P:4321", StartMode::kPreview, 4321},  {"/p1234", StartMode::kPreview, 234},
      {"/p", StartMode::kPreview, 0},          {"/p abc", StartMode::kPreview, 0},
      {"/p 99999999999", StartMode::kPreview, 0}, {"/p 2147483647", StartMode::kPreview, 2147483647},
      {"/p 12 34", StartMode::kPreview, 1234}, {"/p 12x34", StartMode::kPreview, 12},
      // "表" (95 5C) is one character: the switch is the "p" after it
      {"\x95\x5Cp 77", StartMode::kPreview, 77},
      {"/s", StartMode::kSaver, 0},            {"/S", StartMode::kSaver, 0},
      {"-s", StartMode::kSaver, 0},            {"/s 1234", StartMode::kSaver, 0},
      {"/c:4321", StartMode::kSettings, 0},    {"/c", StartMode::kSettings, 0},
      {"", StartMode::kSaverCursorVisible, 0},
      {"/x", StartMode::kEnd, 0},              {"/", StartMode::kEnd, 0},
      {"s", StartMode::kEnd, 0},               {" /s", StartMode::kEnd, 0},
      {"/\x95\x5C", StartMode::kEnd, 0},       {"/\xBD", StartMode::kEnd, 0},  // ｽ, not S
  };
  for (const auto& c : cases) {
    const StartRequest request = ParseCommandLine(c.line);
    EXPECT_EQ(request.mode, c.mode) << '"' << c.line << '"';
    EXPECT_EQ(request.hostWindow, c.host) << '"' << c.line << '"';
  }
}

TEST(CommandLine, SwitchIsOneCharacterUpperCased) {
  EXPECT_EQ(CommandSwitch("/p"), "P");
  EXPECT_EQ(CommandSwitch("/C:1"), "C");
  EXPECT_EQ(CommandSwitch("/"), "");
  EXPECT_EQ(CommandSwitch(""), "");
  EXPECT_EQ(CommandSwitch("/\x95\x5C"), "\x95\x5C");
  EXPECT_EQ(CommandSwitch("/\x95"), "\x95");  // a lone lead byte at the end
}

TEST(CommandLine, HandleNumberFollowsValAndRoundsHalfToEven) {
  const struct {
    std::string text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"1234", 1234}, {"  12 34  ", 1234}, {"\t1\r\n2", 12}, {"-5", -5}, {"- 5", -5}, {"+7", 7},
      {"1234.5", 1234}, {"1235.5", 1236}, {"1.2.3", 1}, {". 5", 0}, {"1e3", 1}, {"&H10", 0},
      {"", 0}, {"-", 0}, {"abc", 0}, {"--5", 0}, {"5-", 5},
      {std::string(300, '0') + "42", 42},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt}, {"99999999999", std::nullopt},
      {"1" + std::string(400, '0'), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ValToInt32(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace gelmo
