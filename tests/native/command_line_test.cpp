// Start-up's reading of the command line: which mode, and which host window
// a preview goes into; what the live preview shows and how often it draws.
#include "scr/start/command_line.h"

#include <gtest/gtest.h>

#include "renderer/frame_pacer.h"
#include "scr/start/preview_plan.h"

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

TEST(PreviewPlan, LayersAreWhatTheSaverWouldShow) {
  using Kind = PreviewLayer::Kind;
  SaverSettings s;
  s.ObjFile() = "C:\\a.jpg";
  s.BackFile() = "C:\\b.png";
  s.SlideFolder = "C:\\Pics";
  s.BackColour = 0x00FF0000;
  const struct {
    std::int16_t obj, back;
    PreviewLayer sheet, backdrop;
  } cases[] = {
      {0, 0, {Kind::kSample, "", 0}, {Kind::kColour, "", 0x00FF0000}},
      {1, 2, {Kind::kPicture, "C:\\a.jpg", 0}, {Kind::kPicture, "C:\\b.png", 0}},
      {2, 1, {Kind::kFirstInFolder, "C:\\Pics", 0}, {Kind::kFirstInFolder, "C:\\Pics", 0}},
      {0, 1, {Kind::kSample, "", 0}, {Kind::kSample, "", 0}},  // both the desktop capture
      {7, 9, {Kind::kPicture, "C:\\a.jpg", 0}, {Kind::kPicture, "C:\\a.jpg", 0}},
  };
  for (const auto& c : cases) {
    s.ObjKind = c.obj;
    s.BackKind = c.back;
    const PreviewLayers layers = PreviewLayersFor(s);
    EXPECT_TRUE(layers.sheet == c.sheet) << c.obj << "/" << c.back;
    EXPECT_TRUE(layers.backdrop == c.backdrop) << c.obj << "/" << c.back;
  }
  EXPECT_EQ(PreviewPictureSide(152, 112), 304);
  EXPECT_EQ(PreviewPictureSide(40, 30), 128);
  EXPECT_EQ(PreviewPictureSide(1920, 1080), 512);
}

TEST(PreviewPlan, FramesKeepToThirtyASecondWhateverTheTimerDoes) {
  // Timer turns every 10 ms, every 16 ms, every 47 ms, and after a stall.
  for (const double step : {0.010, 0.015625, 0.047, 0.3}) {
    FramePacer pacer(1.0 / 30.0);
    int frames = 0;
    double t = 0;
    for (; t < 10.0; t += step) {
      frames += pacer.Due(t);
      EXPECT_GE(pacer.WaitMilliseconds(t), 1u);
      EXPECT_LE(pacer.WaitMilliseconds(t), 34u);
    }
    EXPECT_LE(frames, 301) << step;
    EXPECT_GE(frames, step < 0.034 ? 295 : int(10.0 / step) - 1) << step;
  }
}

}  // namespace
}  // namespace gelmo
