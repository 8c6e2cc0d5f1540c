// The pictures of a folder on the sheet, one after another (object kind 2).
// The folder is listed on a thread of its own, which pauses while the first
// picture is read and the renderer starts; each next picture is decoded,
// turned upright and reduced on another thread before its time comes, then
// put in place of the object hand-off bitmap in one rename, and the renderer
// is told with a posted message.  A picture that cannot be read is passed
// over at once.
// In fill mode on a desk of several monitors, each monitor has a picture of
// its own, reduced for its size, from the one order, none on two monitors at
// once while the folder has enough; the monitors change in turn, monitor k
// k/N of the interval after the first, one picture prepared at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scr/forms/forms_win.h"
#include "scr/pictures/pictures_win.h"
#include "scr/saver/slide_order.h"
#include "scr/settings/settings.h"

namespace gelmo {

// The seed of the shuffled orders of a run: GELMO_SHUFFLE_SEED from the
// environment when it holds a number (so that a run can be repeated), else
// the time and the process.
std::uint32_t ShuffleSeed();

class SlideShow {
 public:
  // `longestSides`: for each monitor in layout order, the longest side its
  // pictures are reduced to; a single entry where one picture serves them all.
  SlideShow(const std::string& folder, std::int32_t seconds, COLORREF background, std::vector<int> longestSides);
  ~SlideShow();
  SlideShow(const SlideShow&) = delete;
  SlideShow& operator=(const SlideShow&) = delete;

  // The first picture, shuffled among the first ones the listing finds; null
  // when the folder holds none that can be read.  With a picture per monitor
  // it is the first monitor's, and the others' are read side by side with it
  // and written to their hand-off bitmaps.
  std::shared_ptr<forms::Picture> First();
  // Whether each monitor has a picture of its own: on several monitors,
  // unless the folder holds a single picture that can be read.
  bool PicturePerMonitor() const { return screens_.size() > 1; }
  // Called often (a few times a second): takes in the pictures listed since,
  // and once a monitor's picture's time is up and its next one is ready,
  // hands it to the renderer and begins on the one after.
  void Tick();

 private:
  struct Listing;
  struct Preparing;
  struct Screen {
    int longestSide;
    std::string showing;     // the picture file it shows
    std::uint64_t dueAt = 0;  // GetTickCount64 when it is to change
  };
  void TakeListed();
  bool ChooseFirstPictures();
  void PrepareNext();
  std::vector<std::string> Showing() const;

  std::shared_ptr<Listing> listing_;
  std::shared_ptr<Preparing> preparing_;
  SlideOrder order_;
  std::int32_t seconds_;
  COLORREF background_;
  std::vector<Screen> screens_;
  std::uint64_t prepareFrom_ = 0;  // GetTickCount64 from when the next one may be prepared
};

}  // namespace gelmo
