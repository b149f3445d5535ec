// The setup run below the whole exe: a real package written by kpack, the
// real sample engine, and a host of the test's own in place of the main
// window, so that what the run tells its window can be read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../support/recording_host.h"
#include "../support/setup_road.h"
#include "win/PackX/setup_package.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/stubsetup.h"

namespace {

using namespace ktest;
using kestro::ProgressEvent;
using ktest::RecordingHost;

struct Outcome {
  bool result;
  RecordingHost host;
};

Outcome RunSetupOf(const SetupPlan& plan, bool foreground, bool closed = false) {
  Outcome out{false, {}};
  out.host.closed = closed;
  kestro::TGFileInfo::ResetLanguageCache();  // each test's package chooses afresh
  kestro::SetupPackage package(plan.SetupPath());
  const std::string folder = plan.dir + "\\extracted";
  out.result = kestro::RunSetup(out.host, package, folder, "", foreground, "/x=1");
  return out;
}

// The run speaks with the texts, font and settings of the package it runs
// (this process has no package of its own), reports every file to the bars and hides the window
// once the engine starts.
TEST(SetupRun, TellsItsHostWhatThePackageSaysAndRunsTheEngine) {
  SetupPlan plan;
  plan.dir = ScratchDir();
  plan.engineSwitches = "/ExitCode=6";
  WriteFileText(plan.dir + "\\languages.ini",
                "[English]\r\ns1=Unpacking the product\r\nFontName=Arial\r\nFontSize=9\r\n"
                "Charset=177\r\n");
  ASSERT_EQ(PackWithKpack(plan, "--busy-bar --languages \"" + plan.dir + "\\languages.ini\""), 0);

  const Outcome out = RunSetupOf(plan, false);
  EXPECT_TRUE(out.result) << "the engine removed the run token";
  EXPECT_EQ(kestro::ProcessExitCode(), 6);
  EXPECT_EQ(EngineValue(plan, "show"), "0");
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\bin\\tool.dat"), "0123456789");

  ASSERT_EQ(out.host.status.size(), 1u);
  EXPECT_EQ(out.host.status[0].text, "Unpacking the product");
  EXPECT_EQ(out.host.status[0].font, "Arial");
  EXPECT_EQ(out.host.status[0].charset, 177);
  EXPECT_EQ(out.host.status[0].size, 9);
  EXPECT_TRUE(out.host.busyBar);
  EXPECT_EQ(out.host.shown, std::vector<bool>{false}) << "hidden run: never shown, hidden at the engine";

  const kestro::SetupPackage package(plan.SetupPath());
  const int files = static_cast<int>(package.Trailer().FileCount());
  ASSERT_GE(out.host.progress.size(), 2u);
  EXPECT_EQ(out.host.progress[0], std::make_pair(ProgressEvent::kStart, 0));
  EXPECT_EQ(out.host.progress[1], std::make_pair(ProgressEvent::kStart, files));
  EXPECT_EQ(out.host.progress.size(), 2u + files) << "one step per file";
  for (int position : out.host.positions) EXPECT_EQ(position, 0);
}

TEST(SetupRun, EndsWithoutTheEngineWhenItFails) {
  struct Case {
    const char* why;
    const char* engineSwitches;
    bool closed;
  } cases[] = {
      {"the engine keeps its run token", "/KeepToken", false},
      {"the window was closed during extraction", "", true},
  };
  for (const Case& c : cases) {
    SetupPlan plan;
    plan.dir = ScratchDir();
    plan.engineSwitches = c.engineSwitches;
    ASSERT_EQ(PackWithKpack(plan), 0) << c.why;
    const Outcome out = RunSetupOf(plan, true, c.closed);
    EXPECT_FALSE(out.result) << c.why;
    EXPECT_EQ(Exists(plan.EngineLog()), !c.closed) << c.why;
    EXPECT_EQ(out.host.shown.front(), true) << c.why << ": a foreground run shows its window";
    EXPECT_TRUE(out.host.broughtToFront) << c.why;
  }
}

}  // namespace
