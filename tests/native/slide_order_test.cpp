// The order of a folder's pictures: rounds without repeats, a new round not
// starting where the last ended, pictures joining while the folder is being
// listed, and unreadable ones leaving.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "scr/saver/slide_order.h"

namespace gelmo {
namespace {

TEST(SlideOrder, EveryPictureOnceARoundAndNoRoundStartsWithTheLastShown) {
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    SlideOrder order(seed);
    for (const char* p : {"a", "b", "c", "d"}) order.Add(p);
    std::string last;
    for (int round = 0; round < 5; ++round) {
      std::set<std::string> seen;
      for (int i = 0; i < 4; ++i) {
        const std::string p = order.Next().value();
        if (i == 0) EXPECT_NE(p, last) << "seed " << seed << " round " << round;
        EXPECT_TRUE(seen.insert(p).second) << p << " twice in a round, seed " << seed;
        last = p;
      }
    }
  }
}

TEST(SlideOrder, PicturesJoinTheRoundInProgressAndUnreadableOnesLeave) {
  SlideOrder order(7);
  EXPECT_EQ(order.Next(), std::nullopt);
  order.Add("first");
  EXPECT_EQ(order.Next(), "first");
  EXPECT_EQ(order.Next(), "first") << "a single picture stays";
  for (const char* p : {"a", "b", "bad"}) order.Add(p);  // listed meanwhile
  std::multiset<std::string> shown;
  for (int i = 0; i < 3; ++i) {
    const std::string p = order.Next().value();
    shown.insert(p);
    if (p == "bad") order.DropLast();
  }
  EXPECT_EQ(shown, (std::multiset<std::string>{"a", "b", "bad"})) << "the round in progress takes them";
  EXPECT_EQ(order.size(), 3u);
  for (int i = 0; i < 30; ++i) EXPECT_NE(order.Next(), "bad");

  SlideOrder gone(3);
  gone.Add("x");
  gone.Next();
  gone.DropLast();
  EXPECT_EQ(gone.Next(), std::nullopt) << "no picture left";
}

}  // namespace
}  // namespace gelmo
