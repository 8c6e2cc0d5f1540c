// The pictures of a folder on the sheet, one after another (object kind 2).
// The folder is listed on a thread of its own, which pauses while the first
// picture is read and the renderer starts; each next picture is decoded,
// turned upright and reduced on another thread before its time comes, then
// put in place of the object hand-off bitmap in one rename, and the renderer
// is told with a posted message.  A picture that cannot be read is passed
// over at once.
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
  SlideShow(const std::string& folder, std::int32_t seconds, const pictures::PictureLoad& how);
  ~SlideShow();
  SlideShow(const SlideShow&) = delete;
  SlideShow& operator=(const SlideShow&) = delete;

  // The first picture, shuffled among the first ones the listing finds; null
  // when the folder holds none that can be read.
  std::shared_ptr<forms::Picture> First();
  // Called often (a few times a second): takes in the pictures listed since,
  // and once the shown picture's time is up and the next one is ready, hands
  // it to the renderer and begins on the one after.
  void Tick();

 private:
  struct Listing;
  struct Preparing;
  void TakeListed();
  void PrepareNext();

  std::shared_ptr<Listing> listing_;
  std::shared_ptr<Preparing> preparing_;
  SlideOrder order_;
  std::int32_t seconds_;
  pictures::PictureLoad how_;
  std::uint64_t shownAt_ = 0;      // GetTickCount64 when the sheet last changed
  std::uint64_t prepareFrom_ = 0;  // and from when the next one may be prepared
};

}  // namespace gelmo
