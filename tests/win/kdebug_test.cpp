// The debug channel seen from outside: a viewer window in this process
// receives what a second process traces; the file modes write a real file.
#include "win/KDebug/kdebug.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/Utils/utils.h"
#include "../support/debug_viewer.h"
#include "../support/scratch_file.h"
#include "../support/test_paths.h"

using namespace kestro;
using ktest::ChildProcess;
using ktest::DebugViewer;

namespace {

std::string Helper(const std::string& args) {
  return "\"" + ExeDir(true) + "kdebug_helper.exe\" " + args;
}

// Runs the helper to its end, with the viewer (if any) receiving meanwhile.
void RunHelper(const std::string& args, DebugViewer* viewer) {
  ChildProcess child(Helper(args));
  ASSERT_TRUE(child.Started()) << args;
  DWORD code = viewer ? viewer->WaitForExit(child.Handle(), 20000)
                      : WaitForSingleObject(child.Handle(), 20000);
  if (!viewer) GetExitCodeProcess(child.Handle(), &code);
  ASSERT_EQ(code, 0u) << args;
}

std::string LongLine() {
  std::string line;
  for (int i = 0; i < 30; ++i) line += "0123456789";
  return line;
}

class DebugFileTest : public ::testing::Test {
 protected:
  ktest::ScratchFile scratch_{"kdebug_test_" + ktest::CurrentTestName() + ".txt"};
  const std::string file_ = scratch_.Path();
};

}  // namespace

TEST(DebugChannel, ShipsInViewerOnlyModeWithTheFixedFile) {
  EXPECT_EQ(kDebugMode, 0);
  EXPECT_STREQ(kDebugFileName, "C:\\ProgramData\\_kdebug.txt");
}

TEST(DebugChannel, ALongLineReachesTheViewerIn128CharacterPieces) {
  DebugViewer viewer;
  RunHelper("0 - long", &viewer);
  const std::string line = LongLine();
  ASSERT_EQ(viewer.Pieces().size(), 3u);
  EXPECT_EQ(viewer.Pieces()[0].text, line.substr(0, 128));
  EXPECT_EQ(viewer.Pieces()[1].text, line.substr(128, 128));
  EXPECT_EQ(viewer.Pieces()[2].text, line.substr(256) + "\r\n");
  for (const auto& p : viewer.Pieces()) EXPECT_EQ(p.channel, 1u);
}

TEST(DebugChannel, TheViewerGetsLineBreaksAsWritten) {
  DebugViewer viewer;
  RunHelper("0 - mixed unfinished", &viewer);
  ASSERT_EQ(viewer.Pieces().size(), 2u);
  EXPECT_EQ(viewer.Pieces()[0].text, "a\rb\nc\r\n");
  EXPECT_EQ(viewer.Pieces()[1].text, "no end of line");  // flushed at exit
}

TEST(DebugChannel, WritersLinesCarryTheirFixedShapes) {
  DebugViewer viewer;
  ChildProcess child(Helper("0 - pid fields exception"));
  ASSERT_TRUE(child.Started());
  ASSERT_EQ(viewer.WaitForExit(child.Handle(), 20000), 0u);
  const std::vector<std::string> expected = {
      std::to_string(child.Id()) + " ==== PerformAutoUpdate-4 ====",
      "[QueryValue]  [C:\\P\\Product.exe]  [FileVersion]  [1.2.3.4]",
      " --- YieldX () --- boom"};
  EXPECT_EQ(viewer.Lines(), expected);
}

TEST(DebugChannel, LinesOfSeveralThreadsStayWhole) {
  DebugViewer viewer;
  RunHelper("0 - threads", &viewer);
  const std::vector<std::string> lines = viewer.Lines();
  ASSERT_EQ(lines.size(), 200u);
  const std::regex whole(R"(T([0-3])-\d+:([a-d]){70})");
  for (const auto& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, whole)) << line;
    EXPECT_EQ(line.back(), char('a' + (m[1].str()[0] - '0'))) << line;
  }
  for (const auto& piece : viewer.Pieces()) EXPECT_LE(piece.text.size(), 128u);
}

TEST_F(DebugFileTest, FileModeNormalisesBreaksAndSendsNothingToTheViewer) {
  DebugViewer viewer;
  RunHelper("1 \"" + file_ + "\" mixed long", &viewer);
  EXPECT_TRUE(viewer.Pieces().empty());
  EXPECT_EQ(ReadWholeFile(file_), "a\r\nb\r\nc\r\n" + LongLine() + "\r\n");
}

TEST_F(DebugFileTest, FileAndViewerModeDoesBoth) {
  DebugViewer viewer;
  RunHelper("2 \"" + file_ + "\" mixed", &viewer);
  EXPECT_EQ(ReadWholeFile(file_), "a\r\nb\r\nc\r\n");
  ASSERT_EQ(viewer.Pieces().size(), 1u);
  EXPECT_EQ(viewer.Pieces()[0].text, "a\rb\nc\r\n");
}

TEST_F(DebugFileTest, OtherModesAndAMissingFolderWriteNothing) {
  DebugViewer viewer;
  RunHelper("7 \"" + file_ + "\" mixed", &viewer);
  EXPECT_TRUE(viewer.Pieces().empty());
  EXPECT_FALSE(FileExists(file_));
  RunHelper("1 \"" + ktest::BinaryDir() + "\\no\\such\\dir\\d.txt\" mixed", &viewer);
}

TEST(DebugChannel, DefaultModeWithoutAViewerLeavesNoTrace) {
  DeleteFileA(kDebugFileName);
  RunHelper("default - long mixed", nullptr);
  EXPECT_FALSE(FileExists(kDebugFileName));
  DebugViewer viewer;  // and with one, the default mode delivers to it
  RunHelper("default - mixed", &viewer);
  ASSERT_EQ(viewer.Pieces().size(), 1u);
  EXPECT_FALSE(FileExists(kDebugFileName));
}

// ---------------------------------------------------------------- agent log

class AgentLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAgentLog();
    DeleteFileA(LogFileName().c_str());
  }
  void TearDown() override {
    DeleteFileA(LogFileName().c_str());
    ResetAgentLog();
  }
};

TEST_F(AgentLogTest, LivesBesideTheExeWithAnXPrefix) {
  EXPECT_EQ(LogFileName(), ExeDir(true) + "X_win_kdebug_test.log");
}

TEST_F(AgentLogTest, WritesNothingUntilEnabled) {
  WriteLog("not written");
  EXPECT_FALSE(FileExists(LogFileName()));
}

TEST_F(AgentLogTest, WritesStampedThreadTaggedLines) {
  SetAgentLogEnabled(true);
  WriteLog("first");
  SetLogTag(" X ");
  WriteLog("");
  const std::string d(1, LocaleDateSeparator()), t(1, LocaleTimeSeparator());
  const std::string stamp = "\\d\\d" + d + "\\d\\d" + d + "\\d\\d \\d\\d" + t + "\\d\\d" + t + "\\d\\d";
  const std::string tid = SUB::PadLeft(std::to_string(GetCurrentThreadId()), 5);
  const std::regex expected(stamp + " " + tid + "   first\r\n" + stamp + " " + tid + " X \r\n");
  const std::string text = ReadWholeFile(LogFileName());
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
}
