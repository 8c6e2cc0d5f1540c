// The order in which the pictures of a folder are shown, or the songs of a
// folder played: in shuffled rounds, every one once in a round before any is
// given again, and a new round not starting with the one the last ended with.
// They may join while the folder is still being listed: they join the round in
// progress.  One that turns out unreadable leaves for good.  With a picture
// on each of several monitors, the next one for a monitor is never one that
// a monitor shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace gelmo {

class SlideOrder {
 public:
  explicit SlideOrder(std::uint32_t seed) : random_(seed) {}

  // A picture found; it may be shown in the round in progress.
  void Add(std::string path);
  // The next picture to show; nothing when no picture is left.
  std::optional<std::string> Next();
  // The next one that is none of `showing` (the pictures on the monitors,
  // the one to be replaced among them); nothing when every picture left is
  // one of them.  When those the round has not yet given are all showing, a
  // new round begins at once, and they are in it.
  std::optional<std::string> Next(const std::vector<std::string>& showing);
  // The picture last given by Next could not be read: it is not shown again.
  void DropLast();
  // The same for any one given before.
  void Drop(const std::string& path);
  // Pictures that may still be shown.
  std::size_t size() const { return alive_; }

 private:
  std::size_t TakeFromRound(std::size_t position);
  void StartRound();
  void DropAt(std::size_t index);

  std::mt19937 random_;
  std::vector<std::string> paths_;
  std::vector<bool> dropped_;
  std::vector<std::size_t> round_;  // pictures not yet shown in this round
  std::optional<std::size_t> last_;   // the one Next gave last
  std::optional<std::size_t> shown_;  // the last one given that could be read
  std::size_t alive_ = 0;
};

}  // namespace gelmo
