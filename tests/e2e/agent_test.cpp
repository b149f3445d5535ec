// The resident update agent end to end: an agent file packed by kpack runs
// hidden under Wine as the transient copy, checks its update source on
// schedule, decides, records its checks in its settings file, answers its
// private commands and posts its notifications to a listener of the test.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/agent_run.h"
#include "../support/scripted_server.h"
#include "core/PackX/package_token.h"

using namespace ktest;

namespace {

const char* const kTestModeKey = "Software\\Tolvexan\\Kestro\\AutoUpdate";

long long ReadIniNumber(const std::string& file, const char* section, const char* key) {
  return _atoi64(ReadIni(file, section, key).c_str());
}

std::string DateOffset(int days) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  SYSTEMTIME st;
  GetLocalTime(&st);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime, u.HighPart = ft.dwHighDateTime;
  u.QuadPart += static_cast<long long>(days) * 864000000000LL;
  ft.dwLowDateTime = u.LowPart, ft.dwHighDateTime = u.HighPart;
  FileTimeToSystemTime(&ft, &st);
  char text[16];
  snprintf(text, sizeof text, "%02d-%s-%04d", st.wDay, kMonths[st.wMonth - 1], st.wYear);
  return text;
}

// Test mode in the real registry of the prefix, removed again afterwards.
class TestModeRegistry {
 public:
  TestModeRegistry(const std::string& date, const std::string& url) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestModeKey);
    HKEY k;
    RegCreateKeyExA(HKEY_CURRENT_USER, kTestModeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    Set(k, "TestMode", "1");
    Set(k, "TestModeDate", date);
    Set(k, "TestModeURL", url);
    RegCloseKey(k);
  }
  ~TestModeRegistry() { SHDeleteKeyA(HKEY_CURRENT_USER, kTestModeKey); }

 private:
  static void Set(HKEY k, const char* name, const std::string& v) {
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>(v.size() + 1));
  }
};

// A scratch folder with an update source folder ("server") in it.
struct AgentFixture {
  std::string dir = ScratchDir();
  std::string server = dir + "\\server";
  AgentSetup setup{dir, server};

  AgentFixture() { kestro::ForceDirectories(server); }
  void Publish(const std::string& info) const { WriteFileText(server + "\\Product.info", info); }
  // The UPDATE file as the server folder holds it.
  void PublishUpdate(size_t size) const { WriteFileText(server + "\\Setup.exe", std::string(size, 'u')); }
  std::string Log() const { return ReadFileText(setup.Log()); }
  // A ".INFO" file whose UPDATE file lies in the server folder.
  std::string Info(int version, int stamp, const std::string& extra = "", int size = 5000) const {
    return "[NewSetup]\r\nDownloadURL_UPDATE=" + server + "\r\nNameOfUpdateFile=Setup.exe\r\n"
           "SizeOfUpdateFile=" + std::to_string(size) + "\r\nVersionNew=" + std::to_string(version) +
           "\r\nStamp=" + std::to_string(stamp) + "\r\n" + extra;
  }
  // Waits until the self-removal of an ended agent has taken its file.
  bool AgentFileGone() const {
    return WaitUntil([&] { return !Exists(setup.AgentPath()); }, 30000);
  }
};

}  // namespace

// ---- schedule and decision -------------------------------------------------------

TEST(Agent, FirstTickChecksRecordsTheCheckAndOffersTheRelease) {
  AgentFixture f;
  ASSERT_EQ(f.setup.Pack(), 0);
  f.PublishUpdate(5000);
  // The INFO location names the server folder; its DownloadURL_UPDATE too.
  f.Publish("[NewSetup]\r\nDownloadURL_UPDATE=" + f.server +
            "\r\nNameOfUpdateFile=Setup.exe\r\nSizeOfUpdateFile=5050\r\nVersionNew=2\r\nStamp=5\r\n");
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=4\r\nProbeSecondsInterval=3600\r\n");
  DebugViewer viewer;
  const long long before = AgentClockNow();
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(AnswerForeignUpdate(agent));
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU=6"), 1);
  EXPECT_EQ(agent.TraceCount(" AutoUpdateTimerCount=1"), 1) << "the first tick checks";

  const std::string o = f.setup.Original();
  const long long last = ReadIniNumber(o, "OriginalSetup", "ProbeSecondsLast");
  EXPECT_GE(last, before - 2);
  EXPECT_LE(last, AgentClockNow() + 2);
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "__ProbeSecondsLast").size(), 20u);
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "Stamp"), "5") << "the offered stamp is kept";
  EXPECT_GE(ReadIniNumber(o, "OriginalSetup", "ReAskSecondsLast"), before - 2);
  EXPECT_EQ(ReadFileText(f.setup.LocalInfo()), ReadFileText(f.server + "\\Product.info"));
  const std::string log = f.Log();
  EXPECT_NE(log.find("GetOkToPerformAU = 6 - OK"), std::string::npos) << log;
  EXPECT_NE(log.find("Download START: " + f.server + "\\Product.info"), std::string::npos) << log;
  EXPECT_EQ(agent.Notifications().Count(40, 1), 1);
  EXPECT_EQ(agent.Notifications().Count(40, 2), 1);

  // Checked an hour ago at the earliest: no second check on later ticks.
  const int ticks = agent.TraceCount(" AutoUpdateTimerCount=");
  ASSERT_TRUE(agent.WaitForTrace(" AutoUpdateTimerCount=", ticks + 3));
  EXPECT_EQ(agent.TraceCount(" Fire  "), 1);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
  EXPECT_EQ(agent.Notifications().Count(43, 0), 1);
}

TEST(Agent, EachDecisionCodeForItsReason) {
  AgentFixture f;
  ASSERT_EQ(f.setup.Pack(), 0);
  f.PublishUpdate(5000);
  // Never on schedule: only the forced checks below.
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=12\r\nStamp=4\r\nProbeSecondsInterval=-1\r\n");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  const std::string o = f.setup.Original();

  f.Publish(f.Info(13, 5));
  EXPECT_EQ(ForcedCheck(agent), 6) << "a newer release with a new stamp";
  const std::string good = ReadFileText(f.setup.LocalInfo());
  EXPECT_EQ(ForcedCheck(agent), 2) << "the same stamp again, re-ask 0";
  // Re-ask after a day: one day and a minute ago, written through the
  // commands (clock values above 2^31 travel as unsigned 32 bits).
  agent.Command(13, 86400);
  const unsigned long long dayAgo = static_cast<unsigned long long>(AgentClockNow() - 86460);
  agent.Command(15, static_cast<LPARAM>(static_cast<DWORD>(dayAgo)));
  EXPECT_EQ(static_cast<DWORD>(agent.Command(11, 0)), static_cast<DWORD>(dayAgo));
  EXPECT_EQ(ReadIniNumber(o, "OriginalSetup", "ReAskSecondsLast"), static_cast<long long>(dayAgo));
  EXPECT_EQ(ForcedCheck(agent), 6) << "the re-ask time has come";

  struct Case {
    const char* why;
    std::string info;
    int code;
  } cases[] = {
      {"same version", f.Info(12, 8), 3},
      {"not among the valid versions", f.Info(13, 9, "ValidVersions=112,120\r\n"), 4},
      {"valid versions list it", f.Info(13, 10, "ValidVersions=7,12\r\n"), 6},
      {"size off by 100 bytes", f.Info(13, 11, "", 5100), 5},
      {"size off by 99 bytes", f.Info(13, 12, "", 4901), 6},
  };
  for (const Case& c : cases) {
    f.Publish(c.info);
    EXPECT_EQ(ForcedCheck(agent), c.code) << c.why;
  }
  const std::string log = f.Log();
  EXPECT_NE(log.find("GetOkToPerformAU = 3 - New version is not higher then old version"), std::string::npos);
  EXPECT_NE(log.find("GetOkToPerformAU = 4 - \"Valid for version\" mismatch"), std::string::npos);
  EXPECT_NE(log.find("  InfoSize=5100"), std::string::npos);
  EXPECT_NE(log.find("  HttpSize=5000"), std::string::npos);

  WriteFileText(o, "[OriginalSetup]\r\nVersionOriginal=0\r\nProbeSecondsInterval=-1\r\n");
  f.Publish(f.Info(13, 20));
  EXPECT_EQ(ForcedCheck(agent), 1) << "no installed version";

  // A failed download is code 0 and leaves the last good copy in place.
  const std::string lastGood = ReadFileText(f.setup.LocalInfo());
  ASSERT_FALSE(lastGood.empty());
  DeleteFileA((f.server + "\\Product.info").c_str());
  EXPECT_EQ(ForcedCheck(agent), 0) << "the file is gone from the source";
  EXPECT_EQ(ReadFileText(f.setup.LocalInfo()), lastGood);
  EXPECT_NE(good, "");
}

TEST(Agent, AutoInformMeasuresTheInformFile) {
  AgentFixture f;
  ASSERT_EQ(f.setup.Pack(), 0);
  f.PublishUpdate(5000);
  // An announcement of this product with nothing to show: the check runs to
  // its end without a window.
  const std::string news = "|" + kestro::ScrambleToken("tok", 5) + "|||";
  WriteFileText(f.server + "\\News.txt", news);
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=-1\r\n");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  const std::string inform = "[General]\r\nAutoInform=01\r\n[AutoInform]\r\nNameOfInformFile=News.txt\r\n";
  f.Publish(f.Info(2, 1, inform + "SizeOfInformFile=" + std::to_string(news.size()) + "\r\n"));
  EXPECT_EQ(ForcedCheck(agent), 6);
  f.Publish(f.Info(2, 2, inform + "SizeOfInformFile=5000\r\n"));
  EXPECT_EQ(ForcedCheck(agent), 5) << "the UPDATE file's size does not count";
  EXPECT_NE(f.Log().find("PerformAutoInform"), std::string::npos);
}

// ---- test mode --------------------------------------------------------------------

TEST(Agent, TestModeChecksTheTestFolderEveryFiveSecondsOnItsDayOnly) {
  AgentFixture f;
  // The INFO location is a server nobody answers: files come from the
  // test-mode folder only.
  AgentSetup setup(f.dir, "http://127.0.0.1:9/none");
  ASSERT_EQ(setup.Pack(), 0);
  f.Publish(f.Info(2, 1));
  const std::string now = std::to_string(AgentClockNow());
  setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=1\r\nProbeSecondsInterval=86400\r\n"
                      "ProbeSecondsLast=" + now + "\r\n");
  {
    TestModeRegistry on(DateOffset(0), f.server);
    DebugViewer viewer;
    RunningAgent agent(setup, viewer);
    ASSERT_TRUE(agent.Window());
    ASSERT_TRUE(agent.WaitForTrace(" Fire  ", 2, 40000));
    // Two checks, the second at least five ticks after the first.
    int firstTick = -1, secondTick = -1, tick = 0;
    for (const std::string& line : viewer.Lines()) {
      if (line.find(" AutoUpdateTimerCount=") != std::string::npos) ++tick;
      if (line.find(" Fire  ") != std::string::npos) (firstTick < 0 ? firstTick : secondTick) = tick;
    }
    EXPECT_GE(secondTick - firstTick, 4);
    EXPECT_NE(agent.LastTrace(" DownloadFileAU: ").find(f.server + "\\Product.info"), std::string::npos);
    EXPECT_NE(f.Log().find("TestMode=TRUE"), std::string::npos);
    agent.ShutDown(0);
    EXPECT_EQ(agent.WaitForExit(), 0u);
  }
  ASSERT_TRUE(f.AgentFileGone());
  ASSERT_EQ(setup.Pack(), 0);
  {
    TestModeRegistry yesterday(DateOffset(-1), f.server);
    DebugViewer viewer;
    RunningAgent agent(setup, viewer);
    ASSERT_TRUE(agent.Window());
    ASSERT_TRUE(agent.WaitForTrace(" AutoUpdateTimerCount=8", 1));
    EXPECT_EQ(agent.TraceCount(" Fire  "), 0) << "yesterday's test mode is off";
    agent.ShutDown(0);
    EXPECT_EQ(agent.WaitForExit(), 0u);
  }
}

// ---- commands ---------------------------------------------------------------------

TEST(Agent, CommandsReadAndWriteTheSettings) {
  AgentFixture f;
  ASSERT_EQ(f.setup.Pack(), 0);
  f.Publish(f.Info(7, 1));
  WriteFileText(f.setup.LocalInfo(), f.Info(7, 1));
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=3\r\nProbeSecondsInterval=-1\r\n"
                        "ReAskSecondsInterval=600\r\nProbeSecondsLast=4000000000\r\n");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer, "/SleepX=100");
  ASSERT_TRUE(agent.Window());
  // The answer to the registration is posted: it arrives while the test pumps.
  Listener& heard = agent.Notifications();
  EXPECT_TRUE(agent.Pump([&] { return heard.Count(51, 1125) == 1; }));
  EXPECT_EQ(heard.Count(50, reinterpret_cast<LPARAM>(agent.Window())), 1);

  struct Read {
    WPARAM command;
    DWORD value;
  } reads[] = {{4, 3}, {5, 7}, {7, 0}, {8, 0xFFFFFFFF}, {9, 600}, {10, 4000000000u}, {11, 0}, {99, 0}};
  for (const Read& r : reads) EXPECT_EQ(static_cast<DWORD>(agent.Command(r.command, 0)), r.value) << r.command;

  const std::string o = f.setup.Original();
  EXPECT_EQ(agent.Command(12, -1), 0);
  EXPECT_EQ(agent.Command(13, 7200), 0);
  EXPECT_EQ(agent.Command(14, static_cast<LPARAM>(4100000000u)), 0);
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "ProbeSecondsInterval"), "-1");
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "ReAskSecondsInterval"), "7200");
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "ProbeSecondsLast"), "4100000000") << "not a date before 1968";
  EXPECT_EQ(ReadIni(o, "OriginalSetup", "__ProbeSecondsLast").substr(7, 4), "2029");
  EXPECT_EQ(static_cast<DWORD>(agent.Command(10, 0)), 4100000000u);

  // Download only: the ".INFO" file arrives, no decision follows.
  f.Publish(f.Info(8, 2));
  agent.Command(32, 0);
  ASSERT_TRUE(agent.Pump([&] { return agent.Notifications().Count(40, 2) == 1; }));
  EXPECT_EQ(agent.TraceCount("JustDownloadInfoFile"), 1);
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU="), 0);
  EXPECT_EQ(agent.Command(5, 0), 8);

  // A countdown of -1 (0xFFFFFFFF) never stops; 2 stops on the third tick.
  agent.ShutDown(0xFFFFFFFF);
  const int ticks = agent.TraceCount(" AutoUpdateTimerCount=");
  ASSERT_TRUE(agent.WaitForTrace(" AutoUpdateTimerCount=", ticks + 3));
  EXPECT_TRUE(agent.Process().Running());
  agent.Command(30, 2);
  const int setAt = agent.TraceCount(" AutoUpdateTimerCount=");
  EXPECT_EQ(agent.WaitForExit(), 0u);
  EXPECT_EQ(agent.TraceCount(" AutoUpdateTimerCount=") - setAt, 3);
  EXPECT_EQ(agent.Notifications().Count(43, 0), 1);
}

// ---- over HTTP ----------------------------------------------------------------------

TEST(Agent, ChecksAnHttpServerOnScheduleAndKeepsTheLastGoodInfoWhenTheServerFails) {
  AgentFixture f;
  const std::string root = f.dir + "\\www";
  ScriptedServer server(root);
  ASSERT_TRUE(server.Up());
  const std::string base = server.Base() + "/plain";
  AgentSetup setup(f.dir, base);
  ASSERT_EQ(setup.Pack(), 0);
  WriteFileText(root + "\\Setup.exe", std::string(5000, 'u'));
  const auto publish = [&](int version, int stamp, int size) {
    WriteFileText(root + "\\Product.info",
                  "[NewSetup]\r\nDownloadURL_UPDATE=" + base + "\r\nNameOfUpdateFile=Setup.exe\r\n"
                  "SizeOfUpdateFile=" + std::to_string(size) + "\r\nVersionNew=" + std::to_string(version) +
                  "\r\nStamp=" + std::to_string(stamp) + "\r\n");
  };
  publish(2, 5, 5050);
  setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=4\r\nProbeSecondsInterval=3600\r\n");
  DebugViewer viewer;
  RunningAgent agent(setup, viewer);
  ASSERT_TRUE(agent.Window());
  // The first tick checks: the INFO file and the size of the UPDATE file
  // come from the server.
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU=6"), 1);
  EXPECT_TRUE(AnswerForeignUpdate(agent));
  EXPECT_EQ(ReadFileText(setup.LocalInfo()), ReadFileText(root + "\\Product.info"));
  const std::vector<std::string> asked = server.Requests();
  const auto askedFor = [&](const std::string& path) {
    return std::any_of(asked.begin(), asked.end(),
                       [&](const std::string& line) { return line.rfind(path + "\t", 0) == 0; });
  };
  EXPECT_TRUE(askedFor("/plain/Product.info"));
  EXPECT_TRUE(askedFor("/plain/Setup.exe"));

  publish(3, 6, 5100);
  EXPECT_EQ(ForcedCheck(agent), 5) << "the server's length is 100 bytes off";
  EXPECT_NE(f.Log().find("  HttpSize=5000"), std::string::npos) << f.Log();

  // A 404 answer is a failed check: the last good copy stays.
  const std::string lastGood = ReadFileText(setup.LocalInfo());
  DeleteFileA((root + "\\Product.info").c_str());
  EXPECT_EQ(ForcedCheck(agent), 0) << "the server answers 404";
  EXPECT_EQ(ReadFileText(setup.LocalInfo()), lastGood);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

// A ".INFO" without end (it used to end the agent when its memory ran out):
// the check stops at the ".INFO" bound with an error in the agent log, keeps
// nothing, and the agent checks again when told to.
TEST(Agent, AnEndlessInfoEndsTheCheckWithALoggedErrorAndTheAgentLivesOn) {
  AgentFixture f;
  const std::string root = f.dir + "\\www";
  ScriptedServer server(root);
  ASSERT_TRUE(server.Up());
  AgentSetup setup(f.dir, server.Base() + "/endless");
  ASSERT_EQ(setup.Pack(), 0);
  WriteFileText(root + "\\Product.info", "[NewSetup]\r\nVersionNew=2\r\nStamp=5\r\n");
  setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=4\r\nProbeSecondsInterval=3600\r\n");
  DebugViewer viewer;
  RunningAgent agent(setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU=0"), 1);
  EXPECT_NE(f.Log().find("ERROR: Product.info --- Error downloading file (65537 bytes, more than the 65536 "),
            std::string::npos)
      << f.Log();
  EXPECT_FALSE(Exists(setup.LocalInfo()));
  EXPECT_EQ(ForcedCheck(agent), 0) << "the agent lives on and checks again";
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

// ---- override commands ----------------------------------------------------------------

// Commands 20 to 25 set override flags 1 to 6 to the argument's low byte; the
// agent traces the list after each. Flag 1 then asks before every check.
TEST(Agent, OverrideCommandsSetTheirFlagsAndTheCheckPromptFollows) {
  AgentFixture f;
  ASSERT_EQ(f.setup.Pack(), 0);
  f.PublishUpdate(5000);
  f.Publish(f.Info(2, 1));
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=-1\r\n"
                        "[AutoUpdate]\r\ns22=Look for a new PROG_NAME?\r\n");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());

  struct Case {
    WPARAM command;
    LPARAM argument;
    const char* list;  // the traced list afterwards
  } cases[] = {
      {19, 1, nullptr},  // no override command: nothing changes
      {26, 1, nullptr},
      {20, 1, "|1|255|255|255|255|255|255|255|"},
      {21, 0x101, "|1|1|255|255|255|255|255|255|"},
      {22, 0, "|1|1|0|255|255|255|255|255|"},
      {23, 0xFF07, "|1|1|0|7|255|255|255|255|"},
      {24, 1, "|1|1|0|7|1|255|255|255|"},
      {25, 0, "|1|1|0|7|1|0|255|255|"},
  };
  for (const Case& c : cases) {
    const int before = agent.TraceCount(" Overrides=");
    EXPECT_EQ(agent.Command(c.command, c.argument), 0) << c.command;
    if (!c.list) continue;
    ASSERT_TRUE(agent.WaitForTrace(" Overrides=", before + 1)) << c.command;
    EXPECT_NE(agent.LastTrace(" Overrides=").find(std::string(" Overrides=") + c.list), std::string::npos)
        << c.command << ": " << agent.LastTrace(" Overrides=");
  }
  EXPECT_EQ(agent.TraceCount(" Overrides="), 6) << "commands 19 and 26 set nothing";

  // Flag 1 on: a forced check asks first; closing the question skips it.
  agent.Command(31, 0);
  HWND box = nullptr;
  ASSERT_TRUE(agent.Pump([&] { return (box = FindWindowA("KMsgBox", nullptr)) != nullptr; }));
  WaitForBoxComplete(box);
  EXPECT_NE(BoxText(box).find("Look for a new"), std::string::npos) << BoxText(box);
  PostMessageA(box, WM_CLOSE, 0, 0);
  const int ticks = agent.TraceCount(" AutoUpdateTimerCount=");
  ASSERT_TRUE(agent.WaitForTrace(" AutoUpdateTimerCount=", ticks + 2));
  EXPECT_EQ(agent.TraceCount(" Fire  "), 0) << "the check ran without a Yes";

  // Flag 1 off again: the forced check runs unasked.
  agent.Command(20, 0);
  EXPECT_EQ(ForcedCheck(agent), 6);
  EXPECT_EQ(FindWindowA("KMsgBox", nullptr), nullptr);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}
