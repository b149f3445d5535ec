// The console runner on a real console program of the tests' own.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "../support/setup_road.h"
#include "../support/wine_version.h"
#include "win/ExecPipe/exec_pipe.h"
#include "win/Files/files.h"

namespace {

using kestro::ConsoleResult;

// Runs the child; a run that does not end in time ends the test program
// (the runner would never come back).
ConsoleResult RunChild(const std::string& command, const std::string& args, bool& ok,
                  const kestro::ConsoleCallback& callback = nullptr) {
  auto run = std::async(std::launch::async, [&] {
    ConsoleResult r;
    ok = kestro::RunConsoleCommand(command, args, SW_HIDE, callback, 1, r);
    return r;
  });
  if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    ADD_FAILURE() << "the runner did not come back: " << command << " " << args;
    fflush(stdout);
    ExitProcess(3);
  }
  return run.get();
}

std::string Child() { return ktest::HelperExe("console_child"); }

}  // namespace

TEST(ConsoleRunner, CapturesOutputErrorsAndExitCode) {
  bool ok = false;
  ConsoleResult r = RunChild(Child(), "/Out=hello out /Err=oops /Exit=0", ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(r.output, "hello out");
  EXPECT_EQ(r.errors, "oops");
  EXPECT_EQ(r.exitCode, 0u);
  r = RunChild(Child(), "/Exit=3", ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.exitCode, 3u);
  r = RunChild(Child(), "/Big=100000", ok);
  EXPECT_EQ(r.output.size(), 100000u);
}

// 259 is what the system reports for a process that still runs; a program
// may still end with it, and the runner must come back.
TEST(ConsoleRunner, ComesBackFromAChildThatExitsWith259) {
  bool ok = true;
  const ConsoleResult r = RunChild(Child(), "/Out=x /Exit=259", ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.exitCode, 259u);
  EXPECT_EQ(r.output, "x");
}

TEST(ConsoleRunner, ConvertsFromTheOemCodePage) {
  char expected[2] = {'\x81', 0};
  OemToCharBuffA(expected, expected, 1);
  bool ok = false;
  EXPECT_EQ(RunChild(Child(), "/Oem", ok).output, std::string(1, expected[0]));
}

TEST(ConsoleRunner, CallbackSeesPiecesAndMayCancel) {
  std::string seen;
  bool ok = true;
  const DWORD start = GetTickCount();
  const ConsoleResult r = RunChild(Child(), "/Ticks=400", ok, [&](const std::string& piece, bool& cancel) {
    seen += piece;
    cancel = true;
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.exitCode, 255u);
  EXPECT_LT(GetTickCount() - start, 10000u);  // 400 ticks would take 20 s
  EXPECT_NE(seen.find("tick"), std::string::npos);
}

TEST(ConsoleRunner, QuotesCommandsInFoldersWithBlanks) {
  const std::string dir = ktest::ScratchDir() + "\\with blank";
  kestro::ForceDirectories(dir);
  const std::string copy = dir + "\\console child.exe";
  ASSERT_TRUE(CopyFileA(Child().c_str(), copy.c_str(), FALSE));
  bool ok = false;
  EXPECT_EQ(RunChild(copy, "/Out=blank", ok).output, "blank");
  EXPECT_TRUE(ok);
}

TEST(ConsoleRunner, ReportsCommandsThatCannotStart) {
  bool ok = true;
  std::string told;
  ConsoleResult r = RunChild("C:\\no\\such\\program.exe", "/a", ok,
                        [&](const std::string& piece, bool&) { told += piece; });
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.exitCode, 21u);
  EXPECT_NE(r.errors.find(" --- C:\\no\\such\\program.exe /a"), std::string::npos) << r.errors;
  EXPECT_EQ(told, r.errors + "\r\n");
  r = RunChild(Child(), std::string(40000, 'a'), ok);
  EXPECT_EQ(r.errors, "Command line is too long");
}
