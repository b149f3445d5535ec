#include <gtest/gtest.h>

#include "core/ExecPipe/exec_pipe_rules.h"
#include "core/ProcessViewer/main_window.h"
#include "core/ProcessViewer/process_match.h"
#include "core/ProcessViewer/task_list.h"

using namespace kestro;

namespace {

ProcessImage Image(uint32_t pid, const std::string& path, const std::string& shortPath = kNoShortName) {
  ProcessImage i;
  i.pid = pid;
  i.path = path;
  i.shortPath = shortPath;
  return i;
}

ProcessQuery Query(const std::string& name, bool fullPathOnly,
                   const std::string& shortName = kNoShortName) {
  ProcessQuery q;
  q.name = name;
  q.fullPathOnly = fullPathOnly;
  q.shortName = shortName;
  return q;
}

// What "tasklist.exe /FO csv" prints, trailing blank line included.
const char* const kTaskList =
    "\r\n\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n"
    "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n"
    "\"Product.exe\",\"1204\",\"Console\",\"1\",\"12,345 K\"\r\n"
    "\"explorer.exe\",\"880\",\"Console\",\"1\",\"1,234 K\"\r\n"
    "\"product.EXE\",\"2310\",\"Console\",\"1\",\"9,000 K\"\r\n\r\n";

}  // namespace

// ---------------------------------------------------------------- matching

TEST(ProcessMatch, MatchesByPathFileNameOrShortForm) {
  struct Case { ProcessImage image; ProcessQuery query; bool match; const char* why; } cases[] = {
      {Image(1, "C:\\P\\App.exe"), Query("c:\\p\\app.EXE", false), true, "same path, any case"},
      {Image(1, "C:\\P\\App.exe"), Query("App.exe", false), true, "file name"},
      {Image(1, "App.exe"), Query("  app.exe ", false), true, "bare image, trimmed name"},
      {Image(1, "C:\\P\\App.exe"), Query("C:\\Q\\App.exe", false), false, "other folder"},
      {Image(1, "C:\\Long Name\\App.exe", "C:\\LONGNA~1\\App.exe"),
       Query("C:\\LONGNA~1\\APP.EXE", false, "C:\\LONGNA~1\\App.exe"), true, "short forms"},
      {Image(1, "C:\\P\\Other.exe"), Query("C:\\P\\App.exe", false), false, "no short forms"},
      {Image(1, "C:\\P\\Other.exe", kNoShortName), Query("X.exe", false, kNoShortName), false,
       "two placeholders never match"},
      {Image(1, ""), Query("", false), false, "empty"},
  };
  for (const Case& c : cases) EXPECT_EQ(ImageMatches(c.image, c.query), c.match) << c.why;
}

// A program elsewhere that shares the product's file name must never be
// closed or killed in its place: with full-path matching a bare image name
// (what the snapshot and the task list give on NT) proves nothing.
TEST(ProcessMatch, FullPathMatchingNeverTakesASameNamedProcess) {
  const ProcessQuery q = Query("C:\\Prog\\App.exe", true);
  EXPECT_TRUE(ImageMatches(Image(1, "C:\\Prog\\App.exe"), q));
  EXPECT_FALSE(ImageMatches(Image(2, "D:\\Other\\App.exe"), q));
  EXPECT_FALSE(ImageMatches(Image(3, "App.exe"), q));
  EXPECT_FALSE(ImageMatches(Image(4, "App.exe"), Query("App.exe", true)));
  const std::vector<ProcessImage> running = {Image(10, "App.exe"), Image(11, "D:\\Other\\App.exe"),
                                             Image(12, "C:\\Prog\\App.exe")};
  EXPECT_EQ(PickProcess(running, q, true), 12u);
  EXPECT_EQ(PickProcess(running, Query("App.exe", false), true), 10u);
  EXPECT_EQ(PickProcess(running, Query("App.exe", false), false), 12u);
  EXPECT_EQ(PickProcess(running, Query("C:\\Gone\\App.exe", true), true), 0u);
}

TEST(ProcessMatch, CleansNamesAndListsProcesses) {
  EXPECT_EQ(CleanProcessName("  \"C:\\P Q\\App.exe\"  "), "C:\\P Q\\App.exe");
  EXPECT_EQ(CleanProcessName("\"\""), "");
  EXPECT_TRUE(HasFolderPart("C:\\A.exe"));
  EXPECT_FALSE(HasFolderPart("A.exe"));
  EXPECT_EQ(ProcessListText({Image(4, "a.exe"), Image(9, "C:\\b.exe")}), "|a.exe=4|C:\\b.exe=9|");
  EXPECT_EQ(SystemProcessName(0, false, false), "System Idle Process");
  EXPECT_EQ(SystemProcessName(2, true, false), "System Process");
  EXPECT_EQ(SystemProcessName(8, false, true), "System Process");
  EXPECT_EQ(SystemProcessName(8, true, false), "");
}

// ---------------------------------------------------------------- task list

TEST(TaskList, ReadsIdsOfRealOutputInOrder) {
  const std::vector<ProcessImage> rows = ParseTaskList(kTaskList);
  ASSERT_EQ(rows.size(), 3u);  // the header and id 0 give nothing
  EXPECT_EQ(rows[0].path, "Product.exe");
  EXPECT_EQ(rows[0].pid, 1204u);
  EXPECT_EQ(rows[2].pid, 2310u);
  struct Case { const char* name; bool fromEnd; uint32_t pid; } cases[] = {
      {"Product.exe", false, 1204}, {"Product.exe", true, 2310},
      {"C:\\Any\\Folder\\PRODUCT.exe", false, 1204}, {"\"explorer.exe\"", true, 880},
      {"Image Name", false, 0}, {"missing.exe", false, 0}, {"", false, 0}};
  for (const Case& c : cases) EXPECT_EQ(TaskListProcessId(kTaskList, c.name, c.fromEnd), c.pid) << c.name;
}

TEST(TaskList, SurvivesOutputThatIsNoTable) {
  for (const char* text : {"", "\r\n", "INFO: No tasks are running.", "\"a.exe\"", "a.exe,-5",
                           "a.exe,99999999999", "a.exe,12x", ",,,\n,\r\r,"})
    EXPECT_EQ(TaskListProcessId(text, "a.exe", false), 0u) << text;
  EXPECT_EQ(TaskListProcessId("a.exe,7\nb.exe,8", "b.exe", false), 8u);  // bare LF lines
}

// ---------------------------------------------------------------- main window

TEST(MainWindow, TheOwnerOfMostWindowsWinsOverHiddenHelpers) {
  TAnalizer a;
  a.Add(0x10, 0x10, true, false);  // "Default IME": titled, hidden
  a.Add(0x20, 0x20, false, false); // hidden untitled helper
  a.Add(0x30, 0x30, true, true);   // main frame
  a.Add(0x40, 0x30, true, true);   // tool window owned by the frame
  EXPECT_EQ(a.Score(0), 6);
  EXPECT_EQ(a.Score(1), 4);
  EXPECT_EQ(a.Score(2), 11);
  EXPECT_EQ(a.Score(3), 3);
  EXPECT_EQ(a.MainWindow(), 0x30u);
}

TEST(MainWindow, ScoresAsTheRulesSay) {
  TAnalizer lone;
  lone.Add(0x30, 0x30, true, true);
  EXPECT_EQ(lone.Score(0), 7);
  TAnalizer tie;
  tie.Add(0x50, 0x50, true, true);
  tie.Add(0x60, 0x60, true, true);
  EXPECT_EQ(tie.MainWindow(), 0x50u);  // the first collected
  TAnalizer owned;                     // windows whose owners belong elsewhere
  owned.Add(0x70, 0x99, false, false);
  EXPECT_EQ(owned.Score(0), 0);
  EXPECT_EQ(owned.MainWindow(), 0u);
  EXPECT_EQ(TAnalizer().MainWindow(), 0u);
  TAnalizer many;
  for (uintptr_t w = 1; w <= 2100; ++w) many.Add(w, 1, false, false);
  EXPECT_EQ(many.Count(), TAnalizer::kMaxWindows);
  EXPECT_EQ(many.Score(0), uint16_t(2001 << 2));
}

// ---------------------------------------------------------------- console runner

TEST(ConsoleCommand, QuotesCommandsWithBlanksOnce) {
  EXPECT_EQ(ConsoleCommandLine("C:\\Win\\tasklist.exe", "/FO csv"), "C:\\Win\\tasklist.exe /FO csv");
  EXPECT_EQ(ConsoleCommandLine("C:\\Pro Gram\\t.exe", "/x"), "\"C:\\Pro Gram\\t.exe\" /x");
  EXPECT_EQ(ConsoleCommandLine("\"C:\\Pro Gram\\t.exe\"", ""), "\"C:\\Pro Gram\\t.exe\" ");
  EXPECT_EQ(ExecFailureText("File not found", "x.exe /a"), "File not found --- x.exe /a");
  EXPECT_EQ(ExecFailureText("E", std::string(300, 'a')), "E --- " + std::string(256, 'a'));
  EXPECT_EQ(ExecFailureText("E", std::string(kMaxCommandLine + 1, 'a')), "Command line is too long");
}
