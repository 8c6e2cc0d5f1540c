// The settings dialog's window-free rules.
#include "scr/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gelmo {
namespace {

TEST(DialogRules, KindsEnableTheirButtons) {
  using C = KindDependentControls;
  const struct { std::int16_t obj, back, bgm; C want; } cases[] = {
      {0, 0, 0, C{false, true, false, false, false, false, false}},
      {1, 1, 1, C{true, false, false, true, false, false, false}},  // background 1: neither colour nor file
      {1, 2, 2, C{true, false, true, false, true, false, false}},
      {2, 0, 0, C{false, true, false, false, false, true, false}},   // a folder: its button and time box
      {0, 0, 3, C{false, true, false, false, false, false, true}},   // a folder of songs: its button only
      {7, 5, 4, C{true, false, false, false, false, false, false}},  // out of range: only the object's file rule
      {7, 5, -1, C{true, false, false, false, false, false, false}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EnabledControls(c.obj, c.back, c.bgm), c.want) << c.obj << " " << c.back << " " << c.bgm;
}

TEST(DialogRules, OnlyAKindInsideTheGroupIsMarked) {
  EXPECT_EQ(MarkedOption(0, 2), 0);
  EXPECT_EQ(MarkedOption(1, 2), 1);
  EXPECT_EQ(MarkedOption(2, 3), 2);
  EXPECT_EQ(MarkedOption(2, 2), std::nullopt);
  EXPECT_EQ(MarkedOption(-1, 3), std::nullopt);
}

TEST(DialogRules, RepeatBoxTexts) {
  EXPECT_EQ(RepeatText(0), "");
  EXPECT_EQ(RepeatText(12), "12");
  EXPECT_EQ(RepeatText(-5), "-5");
  EXPECT_EQ(RepeatText(32767), "32767");
  const std::vector<std::string> list = RepeatList();
  ASSERT_EQ(list.size(), 31u);
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(list[1], "1");
  EXPECT_EQ(list[30], "30");
}

TEST(DialogRules, SlideTimesListAStoredTimeOfItsOwnInItsPlace) {
  auto texts = [](std::int32_t stored) {
    std::string all;
    for (const SlideTimeEntry& e : SlideTimeList(stored)) all += e.text + "=" + std::to_string(e.seconds) + " ";
    return all;
  };
  // 秒 is 95 62 and 分 95 AA in code page 932.
  const std::string standard = "10\x95\x62=10 30\x95\x62=30 1\x95\xAA=60 3\x95\xAA=180 5\x95\xAA=300 10\x95\xAA=600 30\x95\xAA=1800 ";
  EXPECT_EQ(texts(60), standard);
  EXPECT_EQ(texts(10), standard);
  EXPECT_EQ(texts(5), "5\x95\x62=5 " + standard);
  EXPECT_EQ(texts(45), "10\x95\x62=10 30\x95\x62=30 45\x95\x62=45 1\x95\xAA=60 3\x95\xAA=180 5\x95\xAA=300 10\x95\xAA=600 30\x95\xAA=1800 ");
  EXPECT_EQ(texts(86400), standard + "1440\x95\xAA=86400 ");
}

TEST(DialogRules, WindowOpensCentredAndAThirdDown) {
  // 1024 x 768 pixels at 15 twips per pixel
  const WindowPlace p = DialogPlace(15360, 11520, 7650, 6600);
  EXPECT_EQ(p.left, (15360 - 7650) / 2);
  EXPECT_EQ(p.top, (11520 - 6600) / 3);
  const WindowPlace big = DialogPlace(3000, 3000, 4001, 4001);  // larger than the screen
  EXPECT_EQ(big.left, -500);  // truncated toward zero, not floored
  EXPECT_EQ(big.top, -333);
}

TEST(DialogRules, ChooserPatternsListTheExtensionsOrTheOlderDefaults) {
  EXPECT_EQ(PicturePattern({".bmp,.dib,.rle", ".jpeg,.jpe,.jpg,.jfif,.exif", ".JPG;.png", ".heic, .heif"}),
            "*.bmp;*.dib;*.rle;*.jpeg;*.jpe;*.jpg;*.jfif;*.exif;*.png;*.heic;*.heif");
  // Extensions that would break the list are left out; none at all gives the older loader's.
  EXPECT_EQ(PicturePattern({".a*b,.*,,.ok,", "x y"}), "*.ok");
  EXPECT_EQ(PicturePattern({}), "*.BMP;*.JPG;*.JPEG");
  EXPECT_EQ(PicturePattern({",", ""}), "*.BMP;*.JPG;*.JPEG");
  // The music chooser: the players' extensions as given, else MP3 and WAV.
  EXPECT_EQ(MusicPattern({"mp3", "m4a", "", "wma"}), "*.mp3;*.m4a;*.wma");
  EXPECT_EQ(MusicPattern({}), "*.MP3;*.WAV");
}

TEST(DialogRules, GradientIsDarkAtTheEdgesAndLightHalfWay) {
  const double h = 411;
  EXPECT_EQ(GradientGrey(0, h), 30);
  EXPECT_EQ(GradientGrey(h, h), 30);
  EXPECT_EQ(GradientGrey(std::round(h / 2), h), 250);
  for (int y = 0; y <= 411; ++y) {
    EXPECT_GE(GradientGrey(y, h), 30);
    EXPECT_LE(GradientGrey(y, h), 250);
  }
  EXPECT_EQ(GradientGrey(5, 0), 30);  // an empty surface draws nothing brighter
}

}  // namespace
}  // namespace gelmo
