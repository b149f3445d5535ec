// The plain agent file end to end: started in a folder whose path holds a
// blank, it makes its transient copy "X_<name>", starts it, and hands its
// control switches to it; a program planted where an unquoted path would
// lead the system ("<parent>\Prod.exe") never runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../support/agent_run.h"
#include "win/ProcessViewer/processviewer.h"

using namespace ktest;

namespace {

// The agent packed under its plain name in "<scratch>\Prod Folder", a
// sample program planted as "<scratch>\Prod.exe", and no scheduled checks.
struct PlainAgentFixture {
  std::string scratch = ScratchDir();
  std::string dir = scratch + "\\Prod Folder";
  std::string server = dir + "\\server";
  std::string planted = scratch + "\\Prod.exe";
  AgentSetup setup{dir, server};

  PlainAgentFixture() {
    kestro::ForceDirectories(server);
    CopyFileA((BinaryDir() + "\\sample_product.exe").c_str(), planted.c_str(), FALSE);
    WriteFileText(server + "\\Product.info",
                  "[NewSetup]\r\nDownloadURL_UPDATE=" + server +
                      "\r\nNameOfUpdateFile=Setup.exe\r\nSizeOfUpdateFile=10\r\nVersionNew=1\r\n");
    setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=-1\r\n");
  }
  ~PlainAgentFixture() {
    kestro::TerminateProcessByName(planted, true);
    kestro::CloseProcessByWmClose(setup.AgentPath(), true, 5000);
  }
  bool Pack() const {
    return setup.Pack() == 0 && MoveFileExA(setup.AgentPath().c_str(), PlainPath().c_str(),
                                            MOVEFILE_REPLACE_EXISTING);
  }
  std::string PlainPath() const { return dir + "\\" + kAgentName; }
  // Runs the plain agent to its end; its exit code.
  DWORD RunPlain(DebugViewer& viewer, const std::string& params) const {
    ChildProcess plain("\"" + PlainPath() + "\" " + params);
    return viewer.WaitForExit(plain.Handle(), 60000);
  }
  std::string Logs() const {
    return ReadFileText(dir + "\\X_Product.AutoUpdate.log") +
           ReadFileText(dir + "\\X_X_Product.AutoUpdate.log");
  }
};

HWND CopyWindow() { return FindWindowA(kAgentClass, nullptr); }

}  // namespace

TEST(TransientAgent, CopyStartsInFolderWithBlankTakesListenerAndStops) {
  PlainAgentFixture f;
  ASSERT_TRUE(f.Pack());
  DebugViewer viewer;
  Listener listener;
  const std::string wmMsg = std::to_string(reinterpret_cast<uintptr_t>(listener.Window())) + ":" +
                            std::to_string(listener.Message());
  EXPECT_EQ(f.RunPlain(viewer, "/DELAY=0 /WM_MSG=" + wmMsg), 0u);

  ASSERT_TRUE(Exists(f.setup.AgentPath()));
  ASSERT_TRUE(viewer.PumpUntil([] { return CopyWindow() != nullptr; }, 30000));
  // The listener is registered: the copy answers with its window and 1125.
  ASSERT_TRUE(viewer.PumpUntil([&] { return listener.Count(51, 1125) == 1; }, 30000))
      << f.Logs();
  EXPECT_EQ(listener.Count(50, reinterpret_cast<LPARAM>(CopyWindow())), 1);
  EXPECT_FALSE(kestro::IsProcessRunning(f.planted)) << "the planted program ran";
  const std::string logs = f.Logs();
  for (const char* line : {"CreateAndRun_X_Exe() --- Start", "Create X_ File ",
                           "PostProcessMessage(wm_LocalMsg) to: ", "CheckTestMode", "WinMain"})
    EXPECT_NE(logs.find(line), std::string::npos) << line << "\n" << logs;

  // A second start only hands over "/STOP=0": the copy ends and removes itself.
  EXPECT_EQ(f.RunPlain(viewer, "/STOP=0"), 0u);
  EXPECT_TRUE(viewer.PumpUntil([] { return CopyWindow() == nullptr; }, 30000));
  EXPECT_TRUE(viewer.PumpUntil([&] { return !Exists(f.setup.AgentPath()); }, 30000));
  EXPECT_NE(f.Logs().find("DeleteMySelf"), std::string::npos);
  EXPECT_FALSE(kestro::IsProcessRunning(f.planted));
}

// The copy started for "/TEST=1" is told, as soon as its window exists, to
// check now and to end after its third tick; switches posted before the
// window existed were lost and the copy stayed resident.
TEST(TransientAgent, TestSwitchReachesTheNewCopyWhichChecksAndEnds) {
  PlainAgentFixture f;
  ASSERT_TRUE(f.Pack());
  DebugViewer viewer;
  EXPECT_EQ(f.RunPlain(viewer, "/DELAY=0 /TEST=1"), 0u);
  EXPECT_TRUE(viewer.PumpUntil(
      [&] {
        for (const std::string& l : viewer.Lines())
          if (l.find(" GetOkToPerformAU=") != std::string::npos) return true;
        return false;
      },
      30000))
      << f.Logs();
  EXPECT_TRUE(viewer.PumpUntil([] { return CopyWindow() == nullptr; }, 30000)) << f.Logs();
  EXPECT_TRUE(viewer.PumpUntil([&] { return !Exists(f.setup.AgentPath()); }, 30000));
  EXPECT_FALSE(kestro::IsProcessRunning(f.planted));
}

// What a restart after an update does: the resident copy starts the plain
// agent with "/_ZZ=99 /WAIT=10 /TRANSIENT=<its overrides>" and ends; the plain
// agent, although the old copy's window still exists at its start, waits,
// copies the new agent file over the old copy and starts it with the
// overrides, and the old copy has removed itself in between.
TEST(TransientAgent, RestartReplacesTheCopyWithTheNewAgentFileAndKeepsItsOverrides) {
  PlainAgentFixture f;
  ASSERT_TRUE(f.Pack());
  DebugViewer viewer;
  EXPECT_EQ(f.RunPlain(viewer, "/DELAY=0"), 0u);
  ASSERT_TRUE(viewer.PumpUntil([] { return CopyWindow() != nullptr; }, 30000)) << f.Logs();
  const HWND old = CopyWindow();

  // The update brought a different agent file.
  AgentSetup newer(f.scratch + "\\new", f.server);
  kestro::ForceDirectories(f.scratch + "\\new");
  ASSERT_EQ(newer.Pack("--busy-bar"), 0);
  ASSERT_TRUE(CopyFileA(newer.AgentPath().c_str(), f.PlainPath().c_str(), FALSE));
  const std::string fresh = ReadFileText(f.PlainPath());
  ASSERT_NE(fresh, ReadFileText(f.setup.AgentPath()));

  const std::string overrides = "|1|255|255|255|255|0|255|255|";
  ChildProcess plain("\"" + f.PlainPath() + "\" /_ZZ=99 /WAIT=10 /TRANSIENT=" + overrides);
  PostMessageA(old, kWmShutDown, 0, 0);
  EXPECT_EQ(viewer.WaitForExit(plain.Handle(), 60000), 0u);
  HWND fresher = nullptr;
  ASSERT_TRUE(viewer.PumpUntil([&] { return (fresher = CopyWindow()) != nullptr && fresher != old; }, 30000))
      << f.Logs();
  EXPECT_EQ(ReadFileText(f.setup.AgentPath()), fresh) << "the old copy kept running";
  bool tookOverrides = false;
  viewer.PumpUntil(
      [&] {
        for (const std::string& l : viewer.Lines()) tookOverrides |= l.find(" Overrides=" + overrides) != std::string::npos;
        return tookOverrides;
      },
      10000);
  EXPECT_TRUE(tookOverrides);
  const std::string logs = f.Logs();
  for (const char* line : {"DeleteMySelf", "Wait 10 SEC", "/TRANSIENTx=|1|255|255|255|255|0|255|255|",
                           "CheckTestMode", "WinMain"})
    EXPECT_NE(logs.find(line), std::string::npos) << line << "\n" << logs;

  PostMessageA(fresher, kWmShutDown, 0, 0);
  EXPECT_TRUE(viewer.PumpUntil([] { return CopyWindow() == nullptr; }, 30000));
  EXPECT_TRUE(viewer.PumpUntil([&] { return !Exists(f.setup.AgentPath()); }, 30000));
}
