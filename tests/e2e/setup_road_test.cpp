// The setup road end to end: real setup files around the real stub and the
// sample engine, started as separate processes under Wine, followed through
// their windows, answered with real key input, and judged by the files, exit
// codes and windows they leave.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"
#include "win/KMsgBox/kmsgbox.h"
#include "../support/debug_viewer.h"
#include "../support/setup_road.h"
#include "../support/ui_driver.h"

namespace {

using namespace ktest;
using kestro::SUB;

const DWORD kRunTimeoutMs = 60000;

// Engine line as the engine recorded it, split around the run id.
struct RecordedLine {
  std::string head, runId, tail;
};

RecordedLine SplitAtRunId(const std::string& line) {
  RecordedLine r;
  const size_t at = line.find(" /TH_ID=_");
  if (at == std::string::npos) return r;
  r.head = line.substr(0, at);
  size_t end = at + 9;
  while (end < line.size() && isdigit(static_cast<unsigned char>(line[end]))) ++end;
  r.runId = line.substr(at + 8, end - (at + 8));
  r.tail = line.substr(end);
  return r;
}

// Runs a setup to its end while `during` watches (called every 50 ms).
template <typename F>
long RunSetupWatching(const std::string& cmd, F during) {
  StubProcess stub(cmd);
  EXPECT_TRUE(stub.Started());
  while (stub.Running()) {
    during();
    Sleep(50);
  }
  return stub.Wait(kRunTimeoutMs);
}

long RunSetup(const std::string& cmd) {
  return RunSetupWatching(cmd, [] {});
}

SetupPlan Plan(const std::string& engineSwitches = "") {
  SetupPlan p;
  p.dir = ScratchDir();
  p.engineSwitches = engineSwitches;
  return p;
}

// ---- the main road ---------------------------------------------------------

TEST(SetupRoad, InstallsWithTheExactEngineLineAndReturnsItsExitCode) {
  SetupPlan plan = Plan("/ExitCode=7");
  ASSERT_EQ(PackWithKpack(plan, "--busy-bar"), 0);
  const std::string folder = ExtractionFolderOf(plan.SetupPath());

  EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath(), "/lang=tr /x=\"a b\"")), 7);

  const RecordedLine line = SplitAtRunId(FirstLine(plan.EngineLog()));
  EXPECT_EQ(line.head, folder + "\\kengine.exe /lang=tr /x=\"a b\" " + plan.EngineDefaults());
  EXPECT_FALSE(line.runId.empty());
  EXPECT_EQ(line.tail, " /OriginExe=\"" + plan.SetupPath() + "\"");
  EXPECT_EQ(EngineValue(plan, "runid"), line.runId);
  EXPECT_EQ(EngineValue(plan, "token"), "deleted");
  EXPECT_EQ(EngineValue(plan, "show"), "5");
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\readme.txt"), "Read me.\r\n");
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\bin\\tool.dat"), "0123456789");
  EXPECT_FALSE(Exists(folder)) << "extraction folder left behind";
}

// Every block method gives the same files, byte for byte: zlib as before,
// zstd file by file, and one solid run, written by the library and by
// kpack.exe's own command line.
TEST(SetupRoad, ZstdAndSolidPackagesInstallByteExact) {
  std::string binary;
  for (uint32_t i = 0, x = 1; i < 300000; ++i) {
    x = x * 1103515245u + 12345u;
    binary += static_cast<char>(i % 3 ? x >> 24 : i);  // two parts noise, one part counting
  }
  struct Case {
    const char* what;
    kestro::BlockMethod method;
    bool solid;
    const char* kpackOptions;  // nullptr: the library writes it
  } cases[] = {
      {"zlib", kestro::BlockMethod::kZlib, false, nullptr},
      {"zstd", kestro::BlockMethod::kZstd, false, nullptr},
      {"zstd solid", kestro::BlockMethod::kZstd, true, nullptr},
      {"kpack --solid", kestro::BlockMethod::kZstd, true, "--solid --window 1M"},
  };
  for (const Case& c : cases) {
    SetupPlan plan = Plan("/ExitCode=5");
    plan.payload = {{"readme.txt", "Read me.\r\n"}, {"bin\\data.bin", binary}, {"empty.txt", ""},
                    {"bin\\tool.dat", "0123456789"}};
    plan.method = c.method;
    plan.solid = c.solid;
    if (c.kpackOptions) {
      ASSERT_EQ(PackWithKpack(plan, c.kpackOptions), 0) << c.what;
    } else {
      ASSERT_EQ(WriteSetup(plan).error, "") << c.what;
    }
    EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath(), "/hide")), 5) << c.what;
    for (const auto& [name, bytes] : plan.payload)
      EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\" + name), bytes) << c.what << ": " << name;
  }
}

TEST(SetupRoad, TracesTheRunForTheDebugViewer) {
  SetupPlan plan = Plan();
  ASSERT_EQ(WriteSetup(plan).error, "");
  DebugViewer viewer;
  const std::string cmd = SetupCommand(plan.SetupPath(), "/x=1");
  ChildProcess stub(cmd);
  ASSERT_EQ(viewer.WaitForExit(stub.Handle(), kRunTimeoutMs), 0u);

  const std::string engineLine = FirstLine(plan.EngineLog());
  const std::string pid = [&] {
    for (const std::string& l : viewer.Lines())
      if (l.find(" ==== STUB START ====> ") != std::string::npos) return l.substr(0, l.find(' '));
    return std::string();
  }();
  ASSERT_FALSE(pid.empty());
  EXPECT_GT(std::stoul(pid), 0u);
  const std::vector<std::string> wanted = {
      pid + " ==== STUB START ====> " + cmd + "<",
      pid + " ==== ThisIs_AutoUpdateProg=FALSE",
      "========= ForegroundOp=TRUE ==========",
      pid + " ==== WinExec(Engine.exe) >>" + engineLine + "<<",
      pid + " ==== STUB END ====> " + cmd + "<",
      "",
  };
  const std::vector<std::string> lines = viewer.Lines();
  size_t at = 0;
  for (const std::string& w : wanted) {
    while (at < lines.size() && lines[at] != w) ++at;
    EXPECT_LT(at, lines.size()) << "missing, or out of order: " << w;
  }
}

// The window's end is handled once: when the user closes it, not again
// when the loop has ended (a second round logged, deleted the folder and
// posted a quit message once more); a run that ends by itself has no
// destroy round at all.
TEST(SetupRoad, TheWindowsEndIsHandledOnce) {
  for (const bool closedByUser : {false, true}) {
    SetupPlan plan = Plan();
    if (closedByUser) {
      plan.payload = {{"big.bin", std::string(24 << 20, 'z')}};
      plan.compress = false;
    }
    ASSERT_EQ(WriteSetup(plan).error, "");
    DebugViewer viewer;
    ChildProcess stub(SetupCommand(plan.SetupPath()));
    if (closedByUser) {
      HWND main = nullptr;
      ASSERT_TRUE(viewer.PumpUntil([&] {
        main = FindWindowA(plan.SetupPath().c_str(), nullptr);
        return main && IsWindowVisible(main);
      }, kRunTimeoutMs));
      PostMessageA(main, WM_CLOSE, 0, 0);  // cancels
      PostMessageA(main, WM_CLOSE, 0, 0);  // closes
    }
    ASSERT_EQ(viewer.WaitForExit(stub.Handle(), kRunTimeoutMs), 0u);
    const std::vector<std::string> lines = viewer.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "- wm_Destroy -"), closedByUser ? 1 : 0)
        << "closed by the user: " << closedByUser;
  }
}

TEST(SetupRoad, OriginGivenOnTheCommandLineIsNotRepeated) {
  SetupPlan plan = Plan();
  ASSERT_EQ(WriteSetup(plan).error, "");
  EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath(), "/OriginExe=\"C:\\cd\\setup.exe\"")), 0);
  const RecordedLine line = SplitAtRunId(FirstLine(plan.EngineLog()));
  EXPECT_NE(line.head.find("/OriginExe=\"C:\\cd\\setup.exe\""), std::string::npos) << line.head;
  EXPECT_EQ(line.tail, "");
}

// A setup file deeper than a window class name can hold (a download folder)
// runs like any other; before, its window could not be made and the run
// ended at once with 0, a failure reported as success.
TEST(SetupRoad, RunsFromAFolderDeeperThanAClassNameHolds) {
  SetupPlan plan = Plan("/ExitCode=8");
  // Folders up to 240 characters (a folder takes at most 247), a file name
  // that brings the path to 258.
  std::string folder = plan.dir;
  while (folder.size() + 50 < 240) folder += "\\" + std::string(40, 'd');
  folder += "\\" + std::string(240 - folder.size() - 1, 'e');
  ASSERT_TRUE(kestro::ForceDirectories(folder));
  plan.name = folder.substr(plan.dir.size() + 1) + "\\" + std::string(258 - 240 - 1 - 4, 's') + ".exe";
  ASSERT_EQ(plan.SetupPath().size(), 258u);
  ASSERT_EQ(WriteSetup(plan).error, "");

  EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath())), 8);
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\readme.txt"), "Read me.\r\n");
  const RecordedLine line = SplitAtRunId(FirstLine(plan.EngineLog()));
  EXPECT_EQ(line.tail, " /OriginExe=\"" + plan.SetupPath() + "\"");
}

TEST(SetupRoad, SecondStartOfTheSameFileExitsAtOnceButACopyElsewhereRuns) {
  SetupPlan plan = Plan("/WorkMs=6000 /ExitCode=3");
  ASSERT_EQ(WriteSetup(plan).error, "");
  StubProcess first(SetupCommand(plan.SetupPath()));
  ASSERT_TRUE(WaitUntil([&] { return FindWindowA(plan.SetupPath().c_str(), nullptr) != nullptr; }));

  StubProcess second(SetupCommand(plan.SetupPath()));
  EXPECT_EQ(second.Wait(5000), 0) << "second start did not end at once";
  EXPECT_TRUE(first.Running());

  // Same bytes and time, other folder: another instance, and its own
  // extraction folder although both files carry the same time.
  SetupPlan other = plan;
  other.dir = plan.dir + "\\copy";
  other.engineSwitches = "/ExitCode=4";
  kestro::ForceDirectories(other.dir);
  ASSERT_TRUE(CopyFileA(plan.SetupPath().c_str(), other.SetupPath().c_str(), FALSE));
  StubProcess copy(SetupCommand(other.SetupPath()));
  EXPECT_EQ(copy.Wait(kRunTimeoutMs), 3) << "the copy carries the same engine switches";
  EXPECT_EQ(first.Wait(kRunTimeoutMs), 3);
  EXPECT_EQ(EngineValue(plan, "copied"), "2");
  EXPECT_FALSE(Exists(ExtractionFolderOf(plan.SetupPath())));
}

TEST(SetupRoad, HiddenRunsAskNothingShowNothingAndHideTheEngine) {
  struct Case {
    const char* why;
    const char* params;
    const char* settings;
  } cases[] = {
      {"switch /hide", "/hide", "|u|Product.info|Product.AutoUpdate.exe|tok|0|"},
      {"settings item 4", "", "|u|Product.info|Product.AutoUpdate.exe|tok|1|"},
  };
  for (const Case& c : cases) {
    SetupPlan plan = Plan();
    plan.settings = c.settings;
    plan.flags = kestro::kFlagTempDriveNotice;  // would ask in a visible run
    ASSERT_EQ(WriteSetup(plan).error, "");
    bool shown = false, asked = false;
    const long code = RunSetupWatching(SetupCommand(plan.SetupPath(), c.params), [&] {
      HWND main = FindWindowA(plan.SetupPath().c_str(), nullptr);
      shown = shown || (main && IsWindowVisible(main));
      asked = asked || FindWindowA(kestro::kMsgBoxClass, nullptr) != nullptr;
    });
    EXPECT_EQ(code, 0) << c.why;
    EXPECT_FALSE(shown) << c.why;
    EXPECT_FALSE(asked) << c.why;
    EXPECT_EQ(EngineValue(plan, "show"), "0") << c.why;
    EXPECT_EQ(EngineValue(plan, "token"), "deleted") << c.why;
  }
}

// (A drive short of space cannot be had here: the space table counts at most
// 4 GB and the test drive has more free. The core test covers that notice.)
TEST(SetupRoad, TempSpaceQuestionAnsweredNoExtractsNothingYesInstalls) {
  struct Case {
    const char* why;
    uint8_t flags;
    uint32_t space;
    char key;
    const char* shown;
  } cases[] = {
      {"No", kestro::kFlagTempDriveNotice, 0, 'N',
       "Kestro will extract files to your Temp Drive (C:)"},
      {"Yes", kestro::kFlagTempDriveNotice, 3 << 20, 'Y', "3.00 MB"},
  };
  for (const Case& c : cases) {
    SetupPlan plan = Plan("/ExitCode=5");
    plan.flags = c.flags;
    plan.space = c.space;
    ASSERT_EQ(WriteSetup(plan).error, "");
    const std::string folder = ExtractionFolderOf(plan.SetupPath());
    StubProcess stub(SetupCommand(plan.SetupPath()));
    HWND box = WaitForWindow(kestro::kMsgBoxClass, "Button", 20000);
    ASSERT_NE(box, nullptr) << c.why;
    const std::string text = BoxText(box);
    EXPECT_NE(text.find(c.shown), std::string::npos) << c.why << ": " << text;
    EXPECT_NE(text.find("Continue with Setup?"), std::string::npos) << text;
    EXPECT_FALSE(Exists(plan.EngineLog()));
    BringToFront(box);
    PressKey(c.key);
    if (c.key == 'N') {
      EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0) << c.why;
      EXPECT_FALSE(Exists(plan.EngineLog())) << c.why;
      EXPECT_FALSE(Exists(plan.TargetDir())) << c.why;
    } else {
      EXPECT_EQ(stub.Wait(kRunTimeoutMs), 5) << c.why;
      EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\readme.txt"), "Read me.\r\n") << c.why;
    }
    EXPECT_FALSE(Exists(folder)) << c.why;
  }
}

// ---- damaged packages --------------------------------------------------------

TEST(SetupRoad, DamagedPackagesShowBadCrcAndNeverStartTheEngine) {
  using kestro::BlockMethod;
  struct Case {
    const char* why;
    bool checksum;
    std::string payloadName;
    bool flipByte;
    BlockMethod method = BlockMethod::kZlib;
    bool solid = false;
  } cases[] = {
      {"a corrupted small package", true, "readme.txt", true},
      {"a name that leaves the folder", false, "..\\escaped.txt", false},
      {"a damaged compressed block", false, "readme.txt", true},
      {"a damaged zstd block", false, "readme.txt", true, BlockMethod::kZstd},
      {"a damaged solid run", false, "readme.txt", true, BlockMethod::kZstd, true},
      {"a solid run naming a file outside the folder", false, "..\\escaped.txt", false, BlockMethod::kZstd, true},
  };
  for (const Case& c : cases) {
    SetupPlan plan = Plan();
    plan.method = c.method;
    plan.solid = c.solid;
    plan.checksum = c.checksum;
    plan.payload = {{c.payloadName, std::string(3000, 'k')}};
    plan.engineSwitches = "";
    ASSERT_EQ(WriteSetup(plan).error, "") << c.why;
    if (c.flipByte) {
      // A byte in the middle of the last file block (the payload).
      std::string bytes = ReadFileText(plan.SetupPath());
      bytes[bytes.size() - kestro::kTrailerSize - 20] ^= 0x5A;
      ASSERT_TRUE(WriteFileText(plan.SetupPath(), bytes));
    }
    StubProcess stub(SetupCommand(plan.SetupPath()));
    HWND box = WaitForWindow(kestro::kMsgBoxClass, "Button", 30000);
    ASSERT_NE(box, nullptr) << c.why;
    EXPECT_NE(BoxText(box).find("Bad CRC!"), std::string::npos) << c.why << ": " << BoxText(box);
    BringToFront(box);
    PressKey(VK_RETURN);
    EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0) << c.why;
    EXPECT_FALSE(Exists(plan.EngineLog())) << c.why;
    EXPECT_FALSE(Exists(plan.dir + "\\escaped.txt")) << c.why;
    EXPECT_FALSE(Exists(kestro::TempDir(true) + "escaped.txt")) << c.why;
  }
}

// A first volume that is there but held without sharing by another program
// cannot be checked: the user hears of a damaged package, as for a bad
// checksum, instead of a run that ends without a word.
TEST(SetupRoad, AFirstVolumeThatCannotBeOpenedShowsBadCrc) {
  SetupPlan plan = Plan();
  ASSERT_EQ(WriteSetup(plan).error, "");
  const std::string locked = plan.dir + "\\locked.exe";
  ASSERT_TRUE(CopyFileA(plan.SetupPath().c_str(), locked.c_str(), FALSE));
  HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  StubProcess stub(SetupCommand(plan.SetupPath(), "/SpanDiskFName1=\"" + locked + "\""));
  HWND box = WaitForWindow(kestro::kMsgBoxClass, "Button", 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxText(box).find("Bad CRC!"), std::string::npos) << BoxText(box);
  BringToFront(box);
  PressKey(VK_RETURN);
  EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0);
  CloseHandle(lock);
  EXPECT_FALSE(Exists(plan.EngineLog()));
}

// ---- spanned volumes -----------------------------------------------------------

// Stored, or one solid zstd run per volume (the parts do not compress, so
// they still need a volume each).
SetupPlan SpannedPlan(bool solid = false) {
  SetupPlan plan = Plan("/ExitCode=9");
  std::string big;
  const uint32_t size = solid ? 150000 : 40000;
  for (uint32_t i = 0, x = 7; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    big += static_cast<char>(solid ? x >> 24 : 'A' + (i * 7919) % 26);
  }
  plan.payload = {{"part1.bin", big}, {"part2.bin", big + "x"}};
  plan.compress = solid;
  plan.method = kestro::BlockMethod::kZstd;
  plan.solid = solid;
  return plan;
}

// Volumes sized so that the engine and each part land in their own volume
// (solid: so that the parts need several volumes).
kestro::PackResult WriteVolumes(SetupPlan& plan) {
  HANDLE h = CreateFileA(StubExe().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  const uint64_t stubSize = GetFileSize(h, nullptr);
  CloseHandle(h);
  h = CreateFileA(EngineExe().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                  nullptr);
  const uint64_t engineSize = GetFileSize(h, nullptr);
  CloseHandle(h);
  // Solid, the engine shrinks to a fraction: volumes of a fixed size then.
  plan.volumeSize = stubSize + (plan.solid ? 200000 : engineSize + 30000);
  return WriteSetup(plan);
}

TEST(SetupRoad, SpannedVolumesAskPerDiscOnlyWhenForced) {
  struct Case {
    const char* forcePrompt;
    bool cancelFirst;
    int prompts;  // boxes expected
    long exitCode;
    bool solid = false;
  } cases[] = {
      {"0", false, 0, 9},
      {"1", false, -1, 9},  // one per further volume
      {"1", true, 1, 0},
      {"1", false, -1, 9, true},
  };
  for (const Case& c : cases) {
    SetupPlan plan = SpannedPlan(c.solid);
    const kestro::PackResult packed = WriteVolumes(plan);
    ASSERT_EQ(packed.error, "");
    ASSERT_GE(packed.volumes.size(), 2u);
    const int wanted = c.prompts < 0 ? static_cast<int>(packed.volumes.size()) - 1 : c.prompts;
    SetForcePrompt(c.forcePrompt);
    int seen = 0;
    StubProcess stub(SetupCommand(plan.SetupPath() + ".001"));
    while (stub.Running()) {
      HWND box = FindWindowA(kestro::kMsgBoxClass, nullptr);
      if (box && IsWindowVisible(box) && FindWindowExA(box, nullptr, "Button", nullptr)) {
        Sleep(150);
        const std::string text = BoxText(box);
        EXPECT_NE(text.find("DISK #" + std::to_string(seen + 2)), std::string::npos) << text;
        DWORD_PTR refused = 0;
        SendMessageTimeoutA(FindWindowA((plan.SetupPath() + ".001").c_str(), nullptr),
                            RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0, SMTO_BLOCK, 5000,
                            &refused);
        EXPECT_EQ(refused, 1u) << "AutoPlay is refused while discs change";
        ++seen;
        BringToFront(box);
        PressKey(c.cancelFirst ? VK_ESCAPE : VK_RETURN);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
      }
      Sleep(50);
    }
    SetForcePrompt(nullptr);
    EXPECT_EQ(seen, wanted) << "ForcePrompt " << c.forcePrompt;
    EXPECT_EQ(stub.Wait(kRunTimeoutMs), c.exitCode);
    if (c.exitCode == 9) {
      EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\part1.bin"), plan.payload[0].second);
      EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\part2.bin"), plan.payload[1].second);
    } else {
      EXPECT_FALSE(Exists(plan.EngineLog()));
    }
  }
}

TEST(SetupRoad, RelayCopyRunsFromTheDiscVolumeAndRemovesItself) {
  // The user's own switches go through; a span level the user gave does not
  // make the copy start another copy.
  for (const char* params : {"/q", "/q /SpanCdLvl=1"}) {
    SetupPlan plan = SpannedPlan();
    plan.flags = kestro::kFlagCdSpanned;
    ASSERT_EQ(WriteVolumes(plan).error, "");
    // On the disc, the setup file the user starts is the first volume.
    ASSERT_TRUE(CopyFileA((plan.SetupPath() + ".001").c_str(), plan.SetupPath().c_str(), FALSE));
    const std::string folder = ExtractionFolderOf(plan.SetupPath());
    const std::string relay = folder + "\\Y_setup.exe";

    EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath(), params)), 0) << "the launcher ends at once";
    ASSERT_TRUE(WaitUntil([&] { return !EngineValue(plan, "exit").empty(); }, kRunTimeoutMs))
        << params;
    const RecordedLine line = SplitAtRunId(FirstLine(plan.EngineLog()));
    EXPECT_EQ(line.head, folder + "\\kengine.exe /q /OriginExe=\"" + plan.SetupPath() + "\" " +
                             plan.EngineDefaults());
    EXPECT_EQ(line.tail, "");
    EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\part1.bin"), plan.payload[0].second);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(relay) && !Exists(folder); }, 30000))
        << "relay copy or its folder left behind";
  }
}

TEST(SetupRoad, ASetupOfTheSameTimeLeavesARunningRelayCopysFolderAlone) {
  SetupPlan plan = SpannedPlan();
  plan.engineSwitches = "/ExitCode=9 /WorkMs=9000";
  plan.flags = kestro::kFlagCdSpanned;
  ASSERT_EQ(WriteVolumes(plan).error, "");
  ASSERT_TRUE(CopyFileA((plan.SetupPath() + ".001").c_str(), plan.SetupPath().c_str(), FALSE));
  EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath())), 0) << "the launcher ends at once";
  ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, "Installing the sample product"); },
                        kRunTimeoutMs))
      << "the relay copy's engine does not run";

  // Another setup file that carries the same time names the same folder; its
  // launcher has ended, but the relay copy's engine still works in it.
  SetupPlan other;
  other.dir = plan.dir + "\\other";
  kestro::ForceDirectories(other.dir);
  ASSERT_EQ(WriteSetup(other).error, "");
  {
    kestro::UniqueHandle from(CreateFileA(plan.SetupPath().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    kestro::UniqueHandle to(CreateFileA(other.SetupPath().c_str(), GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    FILETIME written;
    ASSERT_TRUE(GetFileTime(from.get(), nullptr, nullptr, &written));
    ASSERT_TRUE(SetFileTime(to.get(), nullptr, nullptr, &written));
  }
  StubProcess second(SetupCommand(other.SetupPath()));
  EXPECT_EQ(second.Wait(kRunTimeoutMs), 0) << "the other setup did not end";
  EXPECT_EQ(ReadFileText(other.TargetDir() + "\\readme.txt"), "Read me.\r\n");

  ASSERT_TRUE(WaitUntil([&] { return !EngineValue(plan, "exit").empty(); }, kRunTimeoutMs));
  EXPECT_EQ(EngineValue(plan, "copied"), EngineValue(plan, "files"));
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\part2.bin"), plan.payload[1].second);
}

// ---- run token and shortcuts -------------------------------------------------

namespace {

// The installed product's settings name two shortcuts; the update asks to
// remove the start-up one. It goes only when the engine reported success.
void RemoveShortcutsCase(const SetupPlan& plan, bool keepToken) {
  ASSERT_EQ(WriteSetup(plan).error, "");
  const std::string startLink = plan.dir + "\\Start Product.lnk";
  const std::string checkLink = plan.dir + "\\Check Product.lnk";
  WriteFileText(startLink, "lnk");
  WriteFileText(checkLink, "lnk");
  WriteFileText(plan.dir + "\\Product.original",
                "[UnInstall]\r\nStartUpLink=" + startLink +
                    "\r\nCheckforNewUpdateLink=" + checkLink + "\r\n");
  WriteFileText(plan.dir + "\\Product.info",
                "[NewSetup]\r\nRemoveStartUpShortcut=1\r\nRemoveCheckForNewUpdateShortcut=0\r\n");
  EXPECT_EQ(RunSetup(SetupCommand(plan.SetupPath())), 0);
  EXPECT_EQ(EngineValue(plan, "token"), keepToken ? "kept" : "deleted");
  EXPECT_EQ(Exists(startLink), keepToken) << "keep token " << keepToken;
  EXPECT_TRUE(Exists(checkLink)) << "not asked for";
}

}  // namespace

TEST(SetupRoad, ShortcutsGoOnlyWhenTheEngineReportsSuccessAndTheUpdateAsks) {
  for (const bool keepToken : {true, false}) {
    SetupPlan plan = Plan(keepToken ? "/KeepToken" : "");
    RemoveShortcutsCase(plan, keepToken);
  }
}

TEST(SetupRoad, SettingsFilesLieBesideTheStubWhenTheInfoItemHoldsAFolder) {
  // The folder part of the item names a place on the server; before, the
  // run looked for "updates\Product.original" and removed nothing.
  SetupPlan plan = Plan();
  plan.settings = "|http://127.0.0.1/upd|updates\\Product.info|Product.AutoUpdate.exe|tok|0|";
  RemoveShortcutsCase(plan, false);
}

// ---- the main window -----------------------------------------------------------

TEST(SetupRoad, CloseOnceCancelsTwiceCloses) {
  SetupPlan plan = Plan();
  // Enough stored bytes to keep the window up for a while.
  plan.payload = {{"big.bin", std::string(24 << 20, 'z')}};
  plan.compress = false;
  ASSERT_EQ(WriteSetup(plan).error, "");
  StubProcess stub(SetupCommand(plan.SetupPath()));
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    main = FindWindowA(plan.SetupPath().c_str(), nullptr);
    return main && IsWindowVisible(main);
  }));
  // The close requests are posted as the close box posts them: key presses
  // depend on the focus, which a loaded machine hands over late, and the
  // extraction may end before a late second press arrives.
  PostMessageA(main, WM_CLOSE, 0, 0);
  Sleep(300);
  EXPECT_TRUE(IsWindow(main)) << "the first close only cancels";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(main); }, 5000)) << "the second close closes";
  EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0);
  EXPECT_FALSE(Exists(plan.EngineLog())) << "a closed setup starts no engine";
  EXPECT_FALSE(Exists(ExtractionFolderOf(plan.SetupPath())));
}

TEST(SetupRoad, AnAgentWindowClosedLeavesTheSetupFolderOfItsTimeAlone) {
  // An agent file under a name of its own runs the agent's window. Its end
  // must not touch the folder its file time names: the agent file carries
  // the setup's time, and a relay copy of that setup may be working there.
  SetupPlan plan = Plan();
  plan.name = "Product.Other.exe";
  plan.agent = true;
  ASSERT_EQ(WriteSetup(plan).error, "");
  const std::string folder = ExtractionFolderOf(plan.SetupPath());
  kestro::ForceDirectories(folder);
  ASSERT_TRUE(WriteFileText(folder + "\\kengine.exe", "in use"));
  StubProcess agent(SetupCommand(plan.SetupPath()));
  HWND main = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (main = FindWindowA(".AutoUpdate.Product.Other", nullptr)); }));
  PostMessageA(main, WM_CLOSE, 0, 0);  // cancels
  PostMessageA(main, WM_CLOSE, 0, 0);  // closes
  EXPECT_EQ(agent.Wait(kRunTimeoutMs), 0);
  EXPECT_EQ(ReadFileText(folder + "\\kengine.exe"), "in use");
  kestro::DeleteTree(folder, true);
}

// Collects the notifications a stub posts to its listener.
struct Listener {
  static constexpr UINT kMessage = WM_APP + 7;
  static std::vector<std::pair<WPARAM, LPARAM>>& Got() {
    static std::vector<std::pair<WPARAM, LPARAM>> got;
    return got;
  }
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kMessage) Got().push_back({wp, lp});
    return DefWindowProcA(w, m, wp, lp);
  }
  HWND window = nullptr;
  Listener() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KestroTestListener";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             wc.hInstance, nullptr);
    Got().clear();
  }
  ~Listener() { DestroyWindow(window); }
  bool Has(WPARAM code, LPARAM value) const {
    for (const auto& g : Got())
      if (g.first == code && g.second == value) return true;
    return false;
  }
  void Pump() const {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
};

TEST(SetupRoad, MainWindowKeepsItsLayoutAndAnswersOtherProcesses) {
  SetupPlan plan = Plan("/WorkMs=5000 /ExitCode=2");
  plan.language = kestro::BuildLanguageBlock({{"Hebrew", {"s0=Kurulum", "Charset=177"}}});
  ASSERT_EQ(WriteSetup(plan).error, "");
  StubProcess stub(SetupCommand(plan.SetupPath()));
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindWindowA(plan.SetupPath().c_str(), nullptr)); }));
  // The children come one after the other while the window is created.
  ASSERT_TRUE(WaitUntil([&] { return ChildrenLeftToRight(main, "msctls_progress32").size() == 2; }));

  EXPECT_EQ(WindowText(main), "Kurulum");
  RECT r, wa;
  GetWindowRect(main, &r);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0);
  EXPECT_EQ(r.right - r.left, 492);
  EXPECT_EQ(r.bottom - r.top, 110);
  EXPECT_EQ(r.left, wa.left + (wa.right - wa.left - 492) / 2);
  EXPECT_EQ(r.top, wa.top + (wa.bottom - wa.top - 110) / 2);
  // Right-to-left character set: label moved right, busy bar to the left.
  EXPECT_EQ(RectInParent(FindWindowExA(main, nullptr, "Static", nullptr), main).left, 122);
  std::vector<int> barLefts;
  for (HWND b : ChildrenLeftToRight(main, "msctls_progress32")) {
    RECT br = RectInParent(b, main);
    barLefts.push_back(br.left * 100 + br.top);
  }
  std::sort(barLefts.begin(), barLefts.end());
  EXPECT_EQ(barLefts, (std::vector<int>{70 * 100 + 20, 70 * 100 + 38}));  // busy, step

  // The status text reads right to left, aligned right.
  HWND label = FindWindowExA(main, nullptr, "Static", nullptr);
  EXPECT_TRUE(WaitUntil([&] {
    char text[128] = {};
    SendMessageTimeoutA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_BLOCK, 2000, nullptr);
    return std::string(text) == "Extracting Files...";
  }));
  EXPECT_TRUE(GetWindowLongA(label, GWL_EXSTYLE) & WS_EX_RTLREADING);
  EXPECT_EQ(GetWindowLongA(label, GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);

  Listener listener;
  PostMessageA(main, 1124, reinterpret_cast<WPARAM>(listener.window), Listener::kMessage);
  EXPECT_TRUE(WaitUntil([&] {
    listener.Pump();
    return listener.Has(50, reinterpret_cast<LPARAM>(main)) && listener.Has(51, 1125);
  }, 10000));
  DWORD_PTR answer = 77;
  SendMessageTimeoutA(main, 1125, 99, 5, SMTO_BLOCK, 5000, &answer);
  EXPECT_EQ(answer, 0u) << "an unknown agent command answers 0";
  SendMessageTimeoutA(main, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0, SMTO_BLOCK, 5000,
                      &answer);
  EXPECT_EQ(answer, 0u) << "AutoPlay is refused only once a disc change began";

  EXPECT_TRUE(WaitUntil([&] {
    listener.Pump();
    return listener.Has(43, 0);
  }, kRunTimeoutMs)) << "no notice that the loop ended";
  EXPECT_EQ(stub.Wait(kRunTimeoutMs), 2);
}

}  // namespace
