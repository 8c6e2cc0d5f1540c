// The settings dialog's rules that need no window: which buttons the chosen
// kinds enable, which option is marked, the repeat box's texts, where the
// window opens and the grey of its background gradient.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gelmo {

// The controls that depend on the kinds; everything else stays enabled.
struct KindDependentControls {
  bool objectFileButton = false;      // Cmd_F(0)
  bool colourButton = false;          // Cmd_Color
  bool backgroundFileButton = false;  // Cmd_F(1)
  bool repeatBox = false;             // BGM_Repeat
  bool musicFileButton = false;       // Cmd_F(2)
  bool slideControls = false;         // Cmd_Folder and the time box
  bool musicFolderButton = false;     // Cmd_BgmFolder
  bool operator==(const KindDependentControls& o) const {
    return objectFileButton == o.objectFileButton && colourButton == o.colourButton &&
           backgroundFileButton == o.backgroundFileButton && repeatBox == o.repeatBox &&
           musicFileButton == o.musicFileButton && slideControls == o.slideControls &&
           musicFolderButton == o.musicFolderButton;
  }
};

// Object kind 2 chooses a folder and its time, any other kind but 0 a file;
// background 0 is a colour, 2 a file; music 1 is a CD with its repeat track,
// 2 a file, 3 a folder.  Values outside the ranges enable nothing of their group (but the
// object's file button).
KindDependentControls EnabledControls(std::int16_t objKind, std::int16_t backKind, std::int16_t bgmKind);

// The option of a group of `count` options that shows the mark: the kind
// itself, or none when the kind is outside the group.
std::optional<int> MarkedOption(std::int16_t kind, int count);

// A number as the pattern "##" formats it: no leading zeros, "-" for negative
// values, and empty for 0.
std::string RepeatText(std::int32_t value);
// The repeat box's list: "", "1", ... "30".
std::vector<std::string> RepeatList();

// The entries of the box for the time each picture of a folder stays:
// "10秒", "30秒", "1分", "3分", "5分", "10分", "30分", and a stored time that is
// none of them as an entry of its own in its place ("45秒", "120分").
struct SlideTimeEntry {
  std::string text;  // code page 932
  std::int32_t seconds = 0;
};
std::vector<SlideTimeEntry> SlideTimeList(std::int32_t stored);

// Where the window opens, in twips: centred across, a third of the free height
// from the top (integer division, truncated toward zero).
struct WindowPlace {
  std::int32_t left = 0, top = 0;
};
WindowPlace DialogPlace(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t windowWidth,
                        std::int32_t windowHeight);

// The picture chooser's pattern from the installed decoders' extension lists
// (".jpeg,.jpe,.jpg" each, or with ";"): "*.jpeg;*.jpe;*.jpg;...", each extension once
// whatever its case, in the order given.  Without any decoder, the BMP and
// JPEG files the older picture loader reads: "*.BMP;*.JPG;*.JPEG".
std::string PicturePattern(const std::vector<std::string>& extensionLists);

// The music file chooser's pattern from the players' extensions (without the
// dot), in the order given: "*.mp3;*.m4a;...".  Without any, the MP3 and WAV
// files the older player took: "*.MP3;*.WAV".
std::string MusicPattern(const std::vector<std::string>& extensions);

// The grey of row y of a surface `height` units high: 30 at the edges, 250
// half-way down, following |sin|.
int GradientGrey(double y, double height);

}  // namespace gelmo
