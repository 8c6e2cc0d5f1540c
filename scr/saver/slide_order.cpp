#include "scr/saver/slide_order.h"

#include <algorithm>
#include <utility>

namespace gelmo {

void SlideOrder::Add(std::string path) {
  paths_.push_back(std::move(path));
  dropped_.push_back(false);
  round_.push_back(paths_.size() - 1);
  ++alive_;
}

std::size_t SlideOrder::TakeFromRound(std::size_t position) {
  const std::size_t picture = round_[position];
  round_[position] = round_.back();
  round_.pop_back();
  return picture;
}

void SlideOrder::StartRound() {
  std::vector<bool> inRound(paths_.size(), false);
  for (std::size_t picture : round_) inRound[picture] = true;
  for (std::size_t i = 0; i < paths_.size(); ++i)
    if (!dropped_[i] && !inRound[i]) round_.push_back(i);
}

std::optional<std::string> SlideOrder::Next() { return Next({}); }

std::optional<std::string> SlideOrder::Next(const std::vector<std::string>& showing) {
  auto shows = [&](std::size_t picture) {
    return std::find(showing.begin(), showing.end(), paths_[picture]) != showing.end();
  };
  bool any = false;
  for (std::size_t i = 0; i < paths_.size() && !any; ++i) any = !dropped_[i] && !shows(i);
  if (!any) return std::nullopt;
  // The places in the round of those that may come next.
  auto candidates = [&] {
    std::vector<std::size_t> positions;
    for (std::size_t position = 0; position < round_.size(); ++position)
      if (!shows(round_[position])) positions.push_back(position);
    return positions;
  };
  bool newRound = round_.empty();
  if (newRound) StartRound();
  std::vector<std::size_t> free = candidates();
  if (free.empty()) {  // those not yet given are all showing: a new round begins with them in it
    StartRound();
    newRound = true;
    free = candidates();
  }
  if (last_ && !dropped_[*last_]) shown_ = last_;
  // A random one of those left in the round: the same as a shuffle, and
  // pictures that join later take their chance with the rest.
  std::size_t pick = std::uniform_int_distribution<std::size_t>(0, free.size() - 1)(random_);
  if (newRound && shown_ && free.size() > 1 && round_[free[pick]] == *shown_) {
    // Any other one of the round, each as likely as the others.
    const std::size_t other = std::uniform_int_distribution<std::size_t>(0, free.size() - 2)(random_);
    pick = other < pick ? other : other + 1;
  }
  last_ = TakeFromRound(free[pick]);
  return paths_[*last_];
}

void SlideOrder::DropLast() {
  if (last_) DropAt(*last_);
}

void SlideOrder::Drop(const std::string& path) {
  for (std::size_t i = 0; i < paths_.size(); ++i)
    if (paths_[i] == path) DropAt(i);
}

void SlideOrder::DropAt(std::size_t index) {
  if (dropped_[index]) return;
  dropped_[index] = true;
  --alive_;
  // Not given again in the round in progress either.
  for (std::size_t position = 0; position < round_.size(); ++position)
    if (round_[position] == index) {
      TakeFromRound(position);
      break;
    }
}

}  // namespace gelmo
