#include "scr/saver/slide_order.h"

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

std::optional<std::string> SlideOrder::Next() {
  if (alive_ == 0) return std::nullopt;
  if (last_ && !dropped_[*last_]) shown_ = last_;
  bool newRound = round_.empty();
  if (newRound)
    for (std::size_t i = 0; i < paths_.size(); ++i)
      if (!dropped_[i]) round_.push_back(i);
  // A random one of those left in the round: the same as a shuffle, and
  // pictures that join later take their chance with the rest.
  std::size_t position = std::uniform_int_distribution<std::size_t>(0, round_.size() - 1)(random_);
  if (newRound && shown_ && round_.size() > 1 && round_[position] == *shown_) {
    // Any other one of the round, each as likely as the others.
    const std::size_t other = std::uniform_int_distribution<std::size_t>(0, round_.size() - 2)(random_);
    position = other < position ? other : other + 1;
  }
  last_ = TakeFromRound(position);
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
