// Bringing a deadline forward: only to a sooner time, the interrupt kept.
#include <gtest/gtest.h>

#include <atomic>

#include "model/deadline.h"

namespace vorn {
namespace {

TEST(Deadline, UntilBringsItForwardOnlyToASoonerTimeAndKeepsTheInterrupt) {
  const Deadline::Clock::time_point now = Deadline::Clock::now();
  const auto soon = now + std::chrono::seconds(1), late = now + std::chrono::seconds(5);
  std::atomic<bool> stop{false};
  Deadline d;
  d.at = late;
  d.interrupt = &stop;
  EXPECT_EQ(*d.until(soon).at, soon);
  EXPECT_EQ(*d.until(now + std::chrono::seconds(9)).at, late);
  EXPECT_EQ(*d.until(std::nullopt).at, late);
  EXPECT_EQ(d.until(soon).interrupt, &stop);
  // A deadline without a time takes the one given, and stays without one when given none.
  EXPECT_EQ(*Deadline{}.until(soon).at, soon);
  EXPECT_FALSE(Deadline{}.until(std::nullopt).at);
  // A time beyond any clock is no limit: it changes nothing.
  EXPECT_EQ(*d.until(Deadline::after(now, 1e12)).at, late);
}

}  // namespace
}  // namespace vorn
