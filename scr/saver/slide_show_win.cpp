#include "scr/saver/slide_show_win.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

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

// The next picture, made ready on its own thread.
struct SlideShow::Preparing {
  std::atomic<bool> done{false};
  bool ok = false;  // written once done is set
};

SlideShow::SlideShow(const std::string& folder, std::int32_t seconds, const pictures::PictureLoad& how)
    : listing_(std::make_shared<Listing>()),
      order_(ShuffleSeed()),
      seconds_(seconds),
      how_(how) {
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

std::shared_ptr<forms::Picture> SlideShow::First() {
  // The first picture need not wait for the whole listing: it is drawn from
  // those found within a short while of the first one.
  constexpr std::uint64_t kGatherMs = 50;
  std::uint64_t firstFoundAt = 0;
  for (;;) {
    TakeListed();
    const bool listed = listing_->done.load();
    if (order_.size() > 0 && firstFoundAt == 0) firstFoundAt = GetTickCount64();
    if (listed || (firstFoundAt != 0 && GetTickCount64() - firstFoundAt >= kGatherMs)) {
      if (listed) TakeListed();
      const std::optional<std::string> path = order_.Next();
      if (!path) {
        if (listed) return nullptr;
        firstFoundAt = 0;  // every one found so far was unreadable: wait for more
        continue;
      }
      // The first picture and the renderer's start have the machine to themselves.
      listing_->quietUntil = GetTickCount64() + kRendererChangeMs;
      if (std::shared_ptr<forms::Picture> picture = pictures::LoadPicture(*path, how_)) {
        shownAt_ = GetTickCount64();
        listing_->quietUntil = prepareFrom_ = shownAt_ + kRendererChangeMs;
        return picture;
      }
      listing_->quietUntil = 0;  // unreadable: the listing goes on while another is tried
      order_.DropLast();
      continue;
    }
    Sleep(5);
  }
}

void SlideShow::PrepareNext() {
  preparing_.reset();
  if (order_.size() < 2) return;  // one picture stays as it is
  const std::optional<std::string> path = order_.Next();
  if (!path) return;
  preparing_ = std::make_shared<Preparing>();
  std::thread([preparing = preparing_, path = *path, how = how_] {
    // Below the window thread and the renderer: the picture is wanted in seconds, the frames at once.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    {
      const pictures::PictureThread decoding;  // this thread's own imaging factory, released here
      std::shared_ptr<forms::Picture> picture = pictures::LoadPicture(path, how);
      preparing->ok = picture && pictures::SavePictureAsBitmap(*picture, kNextBitmapPath);
    }
    preparing->done = true;
  }).detach();
}

void SlideShow::Tick() {
  TakeListed();
  if (!preparing_) {
    if (GetTickCount64() >= prepareFrom_) PrepareNext();  // once more than one picture is known
    return;
  }
  if (!preparing_->done.load()) return;
  if (!preparing_->ok) {  // unreadable: the next one at once
    order_.DropLast();
    PrepareNext();
    return;
  }
  if (GetTickCount64() - shownAt_ < std::uint64_t(seconds_) * 1000) return;
  HWND renderer = FindWindowW(nullptr, forms::Wide(kRendererCaption).c_str());
  // The renderer may still be reading the bitmap before; the next tick tries again.
  if (!renderer || !MoveFileExW(forms::Wide(kNextBitmapPath).c_str(), forms::Wide(kObjectBitmapPath).c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return;
  PostMessageW(renderer, RegisterWindowMessageW(forms::Wide(kNextPictureMessage).c_str()), 0, 0);
  shownAt_ = GetTickCount64();
  prepareFrom_ = shownAt_ + kRendererChangeMs;
  preparing_.reset();
}

}  // namespace gelmo
