#include "scr/saver/slide_show_win.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "renderer/screen_layout.h"
#include "scr/pictures/picture_files.h"
#include "scr/forms/program_names.h"
#include "scr/forms/text_win.h"
#include "scr/saver/saver_win.h"

namespace gelmo {
namespace {

// The next picture is written here, then renamed over the object bitmap.
constexpr char kNextBitmapPath[] = "C:\\Gelmo01.tmp";
// The renderer reads a new picture at its start and after each hand-over
// (then fades it in).  For that long the listing pauses and the next picture
// waits, so that they take no processor time from the first frame or those of
// the fade.
constexpr std::uint64_t kRendererChangeMs = 2500;

// On a thread beside the window thread: the picture file read, upright and
// reduced as `how` says, and written as a hand-off bitmap; false when it
// cannot be read or written.
bool WriteHandOffBitmap(const std::string& file, const pictures::PictureLoad& how, const std::string& bitmap) {
  const pictures::PictureThread decoding;  // this thread's own imaging factory, released here
  std::shared_ptr<forms::Picture> picture = pictures::LoadPicture(file, how);
  return picture && pictures::SavePictureAsBitmap(*picture, bitmap);
}

}  // namespace

std::uint32_t ShuffleSeed() {
  wchar_t text[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"GELMO_SHUFFLE_SEED", text, 16);
  wchar_t* end = nullptr;
  const unsigned long seed = length > 0 && length < 16 ? wcstoul(text, &end, 10) : 0;
  if (end && end != text && *end == L'\0') return std::uint32_t(seed);
  return static_cast<std::uint32_t>(GetTickCount64() ^ GetCurrentProcessId());
}

// What the listing thread finds.  Shared with the thread, which is left to
// end on its own when the show ends first.
struct SlideShow::Listing {
  std::mutex lock;
  std::vector<std::string> found;  // not yet taken
  std::atomic<bool> done{false};
  std::atomic<bool> stop{false};
  std::atomic<std::uint64_t> quietUntil{0};  // GetTickCount64 until which the listing pauses
};

// The next picture of a monitor, made ready on its own thread.
struct SlideShow::Preparing {
  std::size_t screen = 0;
  std::string path;
  std::atomic<bool> done{false};
  bool ok = false;  // written once done is set
};

SlideShow::SlideShow(const std::string& folder, std::int32_t seconds, COLORREF background,
                     std::vector<int> longestSides)
    : listing_(std::make_shared<Listing>()), order_(ShuffleSeed()), seconds_(seconds), background_(background) {
  for (int side : longestSides) screens_.push_back({side, {}, 0});
  // The decoders' extensions are asked for here, on the window thread.
  std::thread([listing = listing_, folder, extensions = PictureExtensionsOf(pictures::PictureFileExtensions())] {
    pictures::ListFiles(folder, extensions, kMostSlidePictures, [&](const std::string& path) {
      {
        std::lock_guard<std::mutex> hold(listing->lock);
        listing->found.push_back(path);
      }
      while (!listing->stop.load() && GetTickCount64() < listing->quietUntil.load()) Sleep(20);
      return !listing->stop.load();
    });
    listing->done = true;
  }).detach();
}

SlideShow::~SlideShow() { listing_->stop = true; }

void SlideShow::TakeListed() {
  std::vector<std::string> found;
  {
    std::lock_guard<std::mutex> hold(listing_->lock);
    found.swap(listing_->found);
  }
  for (std::string& path : found) order_.Add(std::move(path));
}

std::vector<std::string> SlideShow::Showing() const {
  std::vector<std::string> showing;
  for (const Screen& screen : screens_) showing.push_back(screen.showing);
  return showing;
}

// Gives every monitor without a picture one to show (Screen::showing): the
// first drawn from those found within a short while of the first one, the
// others, where they can be, pictures no monitor shows, waited for a while
// longer.  On a folder of a single picture, that one serves every monitor.
// False when no picture is left.
bool SlideShow::ChooseFirstPictures() {
  constexpr std::uint64_t kGatherMs = 50, kOthersMs = 1000;
  std::uint64_t firstFoundAt = 0, othersFrom = 0;
  for (std::size_t screen = 0; screen < screens_.size();) {
    if (!screens_[screen].showing.empty()) {
      ++screen;
      continue;
    }
    TakeListed();
    const bool listed = listing_->done.load();
    if (listed) TakeListed();
    const std::uint64_t now = GetTickCount64();
    if (order_.size() > 0 && firstFoundAt == 0) firstFoundAt = now;
    if (!listed && (firstFoundAt == 0 || now - firstFoundAt < kGatherMs)) {
      Sleep(5);
      continue;
    }
    std::optional<std::string> path = order_.Next(Showing());
    if (!path && order_.size() == 0) {
      if (listed) return false;
      firstFoundAt = 0;  // every one found so far was unreadable: wait for more
      continue;
    }
    if (!path) {  // each one found shows on a monitor already
      if (othersFrom == 0) othersFrom = now;
      if (!listed && now - othersFrom < kOthersMs) {
        Sleep(5);
        continue;
      }
      if (order_.size() < 2) {  // a single picture: one sheet picture for every monitor
        if (screens_[0].showing.empty()) screens_[0].showing = *order_.Next();
        screens_.resize(1);
        screens_[0].longestSide = pictures::kLongestPictureSide;
        return true;
      }
      path = order_.Next();  // fewer pictures than monitors: some show one twice
    }
    screens_[screen].showing = *path;
  }
  return true;
}

std::shared_ptr<forms::Picture> SlideShow::First() {
  std::shared_ptr<forms::Picture> first;
  int firstSide = 0;                                 // the longest side it was read for
  std::vector<bool> written(screens_.size(), false);  // the other monitors' hand-off bitmaps
  for (;;) {
    if (!ChooseFirstPictures()) return nullptr;
    if (first && firstSide == screens_[0].longestSide &&
        std::all_of(written.begin() + 1, written.begin() + std::ptrdiff_t(screens_.size()), [](bool w) { return w; }))
      break;
    // The first pictures and the renderer's start have the machine to themselves.
    listing_->quietUntil = GetTickCount64() + kRendererChangeMs;
    std::vector<std::pair<std::size_t, std::future<bool>>> others;
    for (std::size_t screen = 1; screen < screens_.size(); ++screen)
      if (!written[screen])
        others.emplace_back(screen, std::async(std::launch::async, WriteHandOffBitmap, screens_[screen].showing,
                                               pictures::PictureLoad{background_, screens_[screen].longestSide},
                                               MonitorBitmapPath(kObjectBitmapPath, screen)));
    if (!first || firstSide != screens_[0].longestSide) {
      firstSide = screens_[0].longestSide;
      first = pictures::LoadPicture(screens_[0].showing, {background_, firstSide});
      if (!first) {  // unreadable: another is tried
        order_.Drop(screens_[0].showing);
        screens_[0].showing.clear();
      }
    }
    for (auto& [screen, done] : others) {
      written[screen] = done.get();
      if (!written[screen]) {
        order_.Drop(screens_[screen].showing);
        screens_[screen].showing.clear();
      }
    }
    listing_->quietUntil = 0;  // the listing goes on while others are tried
  }
  const std::uint64_t shownAt = GetTickCount64();
  for (std::size_t i = 0; i < screens_.size(); ++i)
    screens_[i].dueAt = shownAt + std::uint64_t(seconds_) * 1000 * (screens_.size() + i) / screens_.size();
  listing_->quietUntil = prepareFrom_ = shownAt + kRendererChangeMs;
  return first;
}

void SlideShow::PrepareNext() {
  preparing_.reset();
  // The monitor whose picture is due first, and a picture no monitor shows.
  std::size_t screen = 0;
  for (std::size_t i = 1; i < screens_.size(); ++i)
    if (screens_[i].dueAt < screens_[screen].dueAt) screen = i;
  const std::optional<std::string> path = order_.Next(Showing());
  if (!path) return;  // each picture shows on a monitor: they stay as they are
  preparing_ = std::make_shared<Preparing>();
  preparing_->screen = screen;
  preparing_->path = *path;
  std::thread([preparing = preparing_, how = pictures::PictureLoad{background_, screens_[screen].longestSide}] {
    // Below the window thread and the renderer: the picture is wanted in seconds, the frames at once.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    preparing->ok = WriteHandOffBitmap(preparing->path, how, kNextBitmapPath);
    preparing->done = true;
  }).detach();
}

void SlideShow::Tick() {
  TakeListed();
  if (!preparing_) {
    if (GetTickCount64() >= prepareFrom_) PrepareNext();  // once a picture no monitor shows is known
    return;
  }
  if (!preparing_->done.load()) return;
  if (!preparing_->ok) {  // unreadable: the next one at once
    order_.DropLast();
    PrepareNext();
    return;
  }
  Screen& screen = screens_[preparing_->screen];
  if (GetTickCount64() < screen.dueAt) return;
  HWND renderer = FindWindowW(nullptr, forms::Wide(kRendererCaption).c_str());
  // The renderer may still be reading the bitmap before; the next tick tries again.
  const std::string handOff = MonitorBitmapPath(kObjectBitmapPath, preparing_->screen);
  if (!renderer || !MoveFileExW(forms::Wide(kNextBitmapPath).c_str(), forms::Wide(handOff).c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return;
  PostMessageW(renderer, RegisterWindowMessageW(forms::Wide(kNextPictureMessage).c_str()), preparing_->screen, 0);
  const std::uint64_t now = GetTickCount64();
  screen.showing = preparing_->path;
  screen.dueAt = now + std::uint64_t(seconds_) * 1000;
  prepareFrom_ = now + kRendererChangeMs;
  preparing_.reset();
}

}  // namespace gelmo
