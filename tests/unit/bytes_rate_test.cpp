#include "core/CommUtils/bytes_rate.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

// A clock the test moves by hand.
struct ManualClock {
  std::uint32_t now = 10000;
  TickSource Source() {
    return [this] { return now; };
  }
};

TEST(BytesRate, FirstFourChunksCarryNoRate) {
  ManualClock clock;
  TBytesRate rate(false, false, clock.Source());
  std::int64_t received = 0;
  for (int i = 1; i <= 5; ++i) {
    clock.now += 1000;
    received += 1000;
    const std::string text = rate.GetProgressText(5000, received, 1000);
    if (i < 5) {
      EXPECT_EQ(text, std::to_string(received) + "/5000 BytesArr") << i;
    } else {
      // Four chunks of 1000 bytes over four seconds.
      EXPECT_EQ(text, "5000/5000 BytesArr   -   0.98 KB/Sec");
    }
  }
}

TEST(BytesRate, RefreshesAtMostEveryHalfSecond) {
  ManualClock clock;
  TBytesRate rate(true, false, clock.Source());
  std::string last;
  std::uint32_t changedAt = 0;
  int changes = 0;
  for (int i = 0; i < 40; ++i) {
    clock.now += 100;
    const std::string r = rate.GetRateText(1000 + 100 * i);  // always speeding up
    if (r != last) {
      if (changes > 0) {
        EXPECT_GT(clock.now - changedAt, TBytesRate::kRefreshMs) << i;
      }
      changedAt = clock.now;
      last = r;
      ++changes;
    }
  }
  EXPECT_GE(changes, 6);
}

TEST(BytesRate, RateHasTwoDecimals) {
  ManualClock clock;
  TBytesRate rate(true, false, clock.Source());
  std::string r;
  for (int i = 0; i < 5; ++i) {
    clock.now += 250;
    r = rate.GetRateText(3160);  // 4 x 3160 bytes in one second
  }
  EXPECT_EQ(r, "12.34");
}

TEST(BytesRate, ResetForgetsSamplesAndRate) {
  ManualClock clock;
  TBytesRate rate(false, false, clock.Source());
  for (int i = 0; i < 6; ++i) {
    clock.now += 300;
    rate.GetRateText(500);
  }
  ASSERT_NE(rate.GetRateText(500), "");
  rate.Reset();
  clock.now += 300;
  EXPECT_EQ(rate.GetRateText(500), "");
}

TEST(BytesRate, AmountsInBytesKilobytesMegabytes) {
  const struct {
    std::int64_t total, received;
    const char* want;
  } cases[] = {
      {5000, 3000, "3000/5000 BytesArr"},
      {200000, 1536000, "1,500.0/195.3 KB"},
      {2000000, 1536000, "1,500.0/1,953.1 KB"},
      {20000000, 10485760, "10.0/19.1 MB"},
      {2000000000, 0, "0.0/1,907.3 MB"},
  };
  for (const auto& c : cases) {
    TBytesRate rate(c.total > kShowKilobytesAbove, c.total > kShowMegabytesAbove);
    EXPECT_EQ(rate.GetProgressText(c.total, c.received, 100), c.want) << c.total;
  }
}

TEST(BusyBar, CyclesOneToFiveThenZero) {
  int counter = 0;
  std::vector<int> seen;
  for (int i = 0; i < 20; ++i) {
    counter = NextBusyPosition(counter);
    seen.push_back(counter);
  }
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 7), (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  EXPECT_EQ(counter, 2);  // three full cycles and two steps
}

}  // namespace
}  // namespace kestro
