#include "scr/music/playlist.h"

namespace gelmo {

Playlist::Song Playlist::OpenNext() {
  while (order_.size() > 0) {
    const std::optional<std::string> path = order_.Next();
    if (const int id = port_.Open(*path)) return {id, *path};
    order_.DropLast();
  }
  return {};
}

void Playlist::Forget(Song& song, bool dropped) {
  port_.Close(song.id);
  if (dropped) {
    order_.Drop(song.path);
    // A song alone follows itself: that second opening goes with it.
    if (&song != &next_ && next_.id && next_.path == song.path) Forget(next_, false);
  }
  song = {};
}

void Playlist::Play() {
  if (stopped_) return;
  while (!playing_.id && order_.size() > 0) {
    if (next_.id) {
      playing_ = next_;
      next_ = {};
    } else {
      playing_ = OpenNext();
      if (!playing_.id) return;
    }
    if (!port_.Start(playing_.id)) Forget(playing_, true);
  }
  // The one to follow waits opened, so that it starts without a gap.
  if (playing_.id && !next_.id) next_ = OpenNext();
}

void Playlist::Ended(int song) {
  if (!song || song != playing_.id) return;
  Forget(playing_, false);
  Play();
}

void Playlist::Failed(int song) {
  if (!song) return;
  if (song == playing_.id)
    Forget(playing_, true);
  else if (song == next_.id)
    Forget(next_, true);
  else
    return;
  Play();
}

void Playlist::Stop() {
  stopped_ = true;
  if (next_.id) Forget(next_, false);
  if (playing_.id) Forget(playing_, false);
}

}  // namespace gelmo
