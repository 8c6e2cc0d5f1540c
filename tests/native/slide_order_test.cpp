// The order of a folder's pictures: rounds without repeats, a new round not
// starting where the last ended, pictures joining while the folder is being
// listed, and unreadable ones leaving.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>
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

// A picture on each of N monitors, replaced one monitor after another: the
// one given is never on a monitor, and the rounds still hold each once.
TEST(SlideOrder, MonitorsInTurnGetPicturesNoMonitorShowsEachOnceARound) {
  for (std::size_t monitors : {2u, 3u})
    for (std::size_t pictures : {monitors + 1, monitors + 3})
      for (std::uint32_t seed = 0; seed < 50; ++seed) {
        SlideOrder order(seed);
        for (std::size_t i = 0; i < pictures; ++i) order.Add(std::string(1, char('a' + i)));
        std::vector<std::string> showing(monitors);
        std::vector<std::string> given;
        for (std::size_t turn = 0; turn < monitors + 6 * pictures; ++turn) {
          const std::string p = order.Next(showing).value();
          EXPECT_EQ(std::count(showing.begin(), showing.end(), p), 0) << p << " is on a monitor, seed " << seed;
          showing[turn % monitors] = p;
          given.push_back(p);
        }
        for (std::size_t round = 0; round + pictures <= given.size(); round += pictures)
          EXPECT_EQ(std::set<std::string>(given.begin() + long(round), given.begin() + long(round + pictures)).size(),
                    pictures) << monitors << " monitors, " << pictures << " pictures, seed " << seed;
      }
  // No more pictures than monitors: once each shows one, none is given.
  SlideOrder order(1);
  for (const char* p : {"a", "b"}) order.Add(p);
  const std::vector<std::string> showing = {order.Next({}).value(), order.Next({}).value()};
  EXPECT_NE(showing[0], showing[1]);
  EXPECT_EQ(order.Next(showing), std::nullopt);
  EXPECT_TRUE(order.Next().has_value()) << "every monitor still gets one, shown twice";
}

}  // namespace
}  // namespace gelmo
