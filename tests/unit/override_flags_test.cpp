#include "core/StubAU/override_flags.h"

#include <gtest/gtest.h>

#include "core/StubAU/settings_values.h"

using namespace kestro;

TEST(OverrideFlags, ListForm) {
  OverrideFlags f;
  EXPECT_EQ(f.Format(), "|255|255|255|255|255|255|255|255|");
  f.Set(kOvConfirmDownload, 1);
  EXPECT_EQ(f.Format(), "|255|1|255|255|255|255|255|255|");
  f.Set(0, 7);
  f.Set(9, 7);
  EXPECT_EQ(f.Format(), "|255|1|255|255|255|255|255|255|");
}

TEST(OverrideFlags, LoadKeepsFlagsWhoseItemIsNoNumber) {
  OverrideFlags f;
  f.Set(kOvConfirmDownload, 1);
  f.Load("|1|x||0|");
  EXPECT_EQ(f.Format(), "|1|1|255|0|255|255|255|255|");
  f.Load("|257|-1|3|4|5|6|7|8|9|10|");  // modulo 256; extra items ignored
  EXPECT_EQ(f.Format(), "|1|255|3|4|5|6|7|8|");
  OverrideFlags round;
  round.Load(f.Format());
  EXPECT_EQ(round.Format(), f.Format());
  f.Load("");
  EXPECT_EQ(f.Format(), round.Format());
}

TEST(OverrideFlags, OverrideReplacesTheKey) {
  struct Case {
    uint8_t flag;
    bool keyOn, result;
  } cases[] = {
      {255, true, true}, {255, false, false}, {0, true, false},
      {1, false, true},  {2, true, false},    {1, true, true},
  };
  for (const Case& c : cases) {
    OverrideFlags f;
    f.Set(kOvBackgroundUpdate, c.flag);
    EXPECT_EQ(f.Apply(kOvBackgroundUpdate, c.keyOn), c.result) << int(c.flag) << c.keyOn;
  }
}

TEST(OverrideFlags, CheckPromptOnlyWithOne) {
  OverrideFlags f;
  EXPECT_FALSE(f.CheckPrompt());
  f.Set(kOvCheckPrompt, 2);
  EXPECT_FALSE(f.CheckPrompt());
  f.Set(kOvCheckPrompt, 1);
  EXPECT_TRUE(f.CheckPrompt());
}

TEST(SettingsValues, SwitchIsOnOnlyWhenWrittenOne) {
  for (const char* on : {"1"}) EXPECT_TRUE(SwitchOn(on));
  for (const char* off : {"", "0", "01", "true", "TRUE", "yes", "2", " 1"}) EXPECT_FALSE(SwitchOn(off)) << off;
}

TEST(SettingsValues, ThirtyTwoBitKeysUseTheLowBits) {
  EXPECT_EQ(Low32((int64_t(1) << 32) + 1), 1);
  EXPECT_EQ(Low32(4294967295LL), -1);
  EXPECT_EQ(Low32(-5), -5);
}

TEST(SettingsValues, TestModeHoldsForItsDayOnly) {
  CivilTime today;
  today.year = 2026, today.month = 12, today.day = 6, today.hour = 23;
  EXPECT_TRUE(TestModeActive("1", "06-DEC-2026", today));
  EXPECT_FALSE(TestModeActive("1", "05-DEC-2026", today));
  EXPECT_FALSE(TestModeActive("1", "06-dec-2026", today));
  EXPECT_FALSE(TestModeActive("0", "06-DEC-2026", today));
  EXPECT_FALSE(TestModeActive("1", "", today));
}
