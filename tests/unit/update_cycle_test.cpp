#include "core/StubAU/update_cycle.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(UpdateCycle, QuestionKeysFollowTheConfirmAndForceSwitches) {
  const struct {
    bool confirmInstall, downloadForce;
    const char* key;
  } cases[] = {
      {false, false, "s12"}, {true, false, "s13"}, {false, true, "s18"}, {true, true, "s19"}};
  for (const auto& c : cases)
    EXPECT_EQ(PreDownloadSecondKey(c.confirmInstall, c.downloadForce), c.key) << c.key;
  EXPECT_EQ(PreInstallKey(false), "s14");
  EXPECT_EQ(PreInstallKey(true), "s20");
}

TEST(UpdateCycle, ShutDownMethodIsComparedExactly) {
  const struct {
    const char* value;
    ShutDownMethod method;
  } cases[] = {
      {"Issue a Message Box", ShutDownMethod::kMessageBox},
      {"Using WM_CLOSE", ShutDownMethod::kWmClose},
      {"Using WM_QUIT", ShutDownMethod::kWmQuit},
      {"Using Terminate Process", ShutDownMethod::kTerminate},
      {"Don't Shut Down", ShutDownMethod::kNone},
      {"using wm_close", ShutDownMethod::kOther},
      {"Using WM_CLOSE ", ShutDownMethod::kOther},
      {"Dont Shut Down", ShutDownMethod::kOther},
      {"", ShutDownMethod::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseShutDownMethod(c.value), c.method) << "[" << c.value << "]";
}

TEST(UpdateCycle, UpdateFileNamesThatCouldLeaveTheAgentFolderAreRefused) {
  const struct {
    const char* name;
    const char* accepted;
  } cases[] = {
      {"Setup.exe", "Setup.exe"},
      {"Product Setup 2.exe", "Product Setup 2.exe"},
      {"..\\Setup.exe", ""},
      {"../Setup.exe", ""},
      {"sub\\Setup.exe", ""},
      {"sub/Setup.exe", ""},
      {"C:\\Windows\\Setup.exe", ""},
      {"C:Setup.exe", ""},
      {"\\\\server\\share\\Setup.exe", ""},
      {"Setup.exe:stream", ""},
      {"..", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeUpdateFileName(c.name), c.accepted) << c.name;
}

TEST(UpdateCycle, OnlyAProductTheCycleClosedIsStartedAgain) {
  EXPECT_EQ(StateAfterShutDown(false, false), kNotRunningAtStart);
  EXPECT_EQ(StateAfterShutDown(false, true), kNotRunningAtStart) << "started by someone meanwhile";
  EXPECT_EQ(StateAfterShutDown(true, true), kRunningAtStart);
  EXPECT_EQ(StateAfterShutDown(true, false), kClosedByUpdate);
  EXPECT_TRUE(RestartAfterUpdate(true, kClosedByUpdate));
  EXPECT_FALSE(RestartAfterUpdate(false, kClosedByUpdate));
  EXPECT_FALSE(RestartAfterUpdate(true, kRunningAtStart));
  EXPECT_FALSE(RestartAfterUpdate(true, kNotRunningAtStart));
}

TEST(UpdateCycle, EngineSwitchAndRestartTrace) {
  EXPECT_EQ(OriginalInfoFileArg("C:\\Program Files\\P\\Product.info"),
            "/OriginalInfoFile=\"C:\\Program Files\\P\\Product.info\"");
  EXPECT_EQ(RestartTraceText(true, false, "C:\\P\\Product.exe"), "TRUE FALSE >C:\\P\\Product.exe<");
}
