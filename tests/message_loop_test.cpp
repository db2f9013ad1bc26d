// Timers and posted messages on a virtual clock.
#include <gtest/gtest.h>

#include "platform/win32/message_loop.h"

namespace {

TEST(MessageLoopTest, TimersTickOncePerIntervalOnAVirtualClock) {
  win32::VirtualClock clock(com::Date::FromParts(2026, 3, 10));
  win32::MessageLoop loop(clock);
  std::vector<int64_t> ticks;
  const uint32_t id = loop.SetTimer(60000, [&](uint32_t) { ticks.push_back(clock.TickMs()); });
  ASSERT_NE(0u, id);
  EXPECT_TRUE(loop.RunFor(5 * 60000));
  EXPECT_EQ((std::vector<int64_t>{60000, 120000, 180000, 240000, 300000}), ticks);
  EXPECT_TRUE(loop.KillTimer(id));
  loop.RunFor(60000);
  EXPECT_EQ(5u, ticks.size());
  EXPECT_EQ(0u, loop.SetTimer(0, [](uint32_t) {})) << "a zero interval starts nothing";
}

TEST(MessageLoopTest, PostedMessagesWaitForTheLoopAndQuitStopsIt) {
  win32::VirtualClock clock(com::Date::FromParts(2026, 3, 10));
  win32::MessageLoop loop(clock);
  std::vector<std::string> seen;
  loop.Post([&] { seen.push_back("first"); });
  loop.Post([&] {
    seen.push_back("second");
    loop.Quit();
  });
  EXPECT_TRUE(seen.empty()) << "nothing runs inside Post";
  EXPECT_FALSE(loop.RunFor(60000));
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), seen);
}

}  // namespace
