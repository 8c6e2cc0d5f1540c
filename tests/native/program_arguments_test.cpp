#include "scr/forms/command_line.h"

#include <gtest/gtest.h>

namespace gelmo {
namespace {

TEST(ProgramArguments, FollowTheProgramName) {
  const struct { const char* line; const char* arguments; } cases[] = {
      {"\"C:\\Windows\\ゲルモ.scr\" /s", "/s"},
      {"\"C:\\Program Files\\ゲルモ.scr\"   /p 1234", "/p 1234"},
      {"C:\\WINDOWS\\GELMO~1.SCR /c:4321", "/c:4321"},
      {"ゲルモ.scr", ""},
      {"\"C:\\x.scr\"", ""},
      {"  \"C:\\x.scr\" -s", "-s"},
      {"\"C:\\x\"y.scr /s", "/s"},       // quote inside the name
      {"\"C:\\unterminated /s", ""},    // the name takes the rest
      {"x.scr\t/S", "/S"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsAfterProgramName(c.line), c.arguments) << c.line;
}

}  // namespace
}  // namespace gelmo
