// Finding, closing and terminating the sample product under the Windows
// versions whose means differ: the process walk (XP), the window walk (7),
// the task list (10) and the snapshot (98). The calls run in a probe
// program of their own, so that Wine tells it the version chosen. The
// product runs from two folders under the same file name, and only the
// copy asked for may be touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "../support/setup_road.h"
#include "../support/wine_version.h"
#include "core/Files/file_names.h"
#include "win/Files/files.h"

namespace {

using ktest::ChildProcess;

const std::string kCopyA = "C:\\kestro-pv\\A\\Product.exe";
const std::string kCopyB = "C:\\kestro-pv\\B dir\\Product.exe";

void Install() {
  for (const std::string& exe : {kCopyA, kCopyB}) {
    kestro::ForceDirectories(kestro::ExtractFileDir(exe));
    ASSERT_TRUE(CopyFileA(ktest::HelperExe("sample_product").c_str(), exe.c_str(), FALSE)) << exe;
  }
}

struct FindMain {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMain(HWND w, LPARAM p) {
  auto& f = *reinterpret_cast<FindMain*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (owner == f.pid && std::string(cls) == "KestroSampleProduct") f.found = w;
  return f.found == nullptr;
}

HWND MainWindowOf(DWORD pid) {
  FindMain f{pid, nullptr};
  EnumWindows(MatchMain, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

std::unique_ptr<ChildProcess> Start(const std::string& exe, const std::string& args = "") {
  auto p = std::make_unique<ChildProcess>("\"" + exe + "\" " + args);
  EXPECT_TRUE(p->Started()) << exe;
  if (args.find("/NoWindows") == std::string::npos) {
    EXPECT_TRUE(ktest::WaitUntil([&] { return MainWindowOf(p->Id()) != nullptr; })) << exe;
  }
  return p;
}

std::string Handle(HWND w) { return std::to_string(reinterpret_cast<uintptr_t>(w)); }

// The fake "tasklist.exe" in the system folder (Wine's own prints nothing),
// printing rows the test gives; everything is put back afterwards.
class FakeTaskList {
 public:
  FakeTaskList() {
    MoveFileA(path_.c_str(), backup_.c_str());
    CopyFileA(ktest::HelperExe("fake_tasklist").c_str(), path_.c_str(), FALSE);
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegSetValueExA(k, "tasklist.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
    RegCloseKey(k);
    DeleteFileA(Log().c_str());
  }
  ~FakeTaskList() {
    DeleteFileA(path_.c_str());
    MoveFileA(backup_.c_str(), path_.c_str());
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOverrides, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, "tasklist.exe");
      RegCloseKey(k);
    }
    DeleteFileA(Canned().c_str());
    DeleteFileA(Log().c_str());
  }
  // Real output: a header, quoted fields, sizes with thousands separators.
  void Show(const std::vector<std::pair<std::string, DWORD>>& rows) {
    std::string text =
        "\r\n\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n"
        "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n";
    for (const auto& row : rows)
      text += "\"" + row.first + "\",\"" + std::to_string(row.second) + "\",\"Console\",\"1\",\"12,345 K\"\r\n";
    kestro::WriteTextToFile(Canned(), text);
  }
  static std::string Canned() { return kestro::WindowsDir(true) + "temp\\kestro-tasklist.txt"; }
  static std::string Log() { return kestro::WindowsDir(true) + "temp\\kestro-tasklist.log"; }

 private:
  static constexpr const char* kOverrides = "Software\\Wine\\DllOverrides";
  std::string path_ = kestro::SystemDir(true) + "tasklist.exe";
  std::string backup_ = kestro::SystemDir(true) + "tasklist.exe.kestro-backup";
};

std::string Ask(const std::string& version, const std::string& args) {
  ktest::WineVersionFor v("process_probe.exe", version);
  const std::string out = ktest::BinaryDir() + "\\process-probe-answer.txt";
  DeleteFileA(out.c_str());
  EXPECT_EQ(ktest::RunToEnd("\"" + ktest::HelperExe("process_probe") + "\" " + args + " /Out=" + out), 0)
      << args;
  return kestro::ReadWholeFile(out);
}

std::string On(const std::string& exe) { return " /Name=\"" + exe + "\""; }

class ProcessViewer : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { Install(); }
  // Both copies running, and the task list showing them.
  void StartBoth() {
    a_ = Start(kCopyA);
    b_ = Start(kCopyB);
    tasks_.Show({{"explorer.exe", 32}, {"Product.exe", a_->Id()}, {"Product.exe", b_->Id()}});
  }
  FakeTaskList tasks_;
  std::unique_ptr<ChildProcess> a_, b_;
};

}  // namespace

TEST_P(ProcessViewer, FindsTheMainWindowOfTheCopyAtThePathAsked) {
  StartBoth();
  const std::string v = GetParam();
  for (const char* first : {"", " /First"}) {
    EXPECT_EQ(Ask(v, "/Op=main /Full" + On(kCopyA) + first), Handle(MainWindowOf(a_->Id()))) << v;
    EXPECT_EQ(Ask(v, "/Op=main /Full" + On(kCopyB) + first), Handle(MainWindowOf(b_->Id()))) << v;
  }
  const std::string any = Ask(v, "/Op=main" + On("Product.exe"));
  EXPECT_TRUE(any == Handle(MainWindowOf(a_->Id())) || any == Handle(MainWindowOf(b_->Id()))) << any;
  EXPECT_EQ(Ask(v, "/Op=main /Full" + On("C:\\kestro-pv\\Gone\\Product.exe")), "0");
}

TEST_P(ProcessViewer, ClosesAndQuitsOnlyTheCopyAsked) {
  StartBoth();
  const std::string v = GetParam();
  EXPECT_EQ(Ask(v, "/Op=close /Full /Ms=10000" + On(kCopyA)), "1");
  EXPECT_EQ(a_->Wait(10000), 0);
  EXPECT_TRUE(b_->Running());
  EXPECT_EQ(Ask(v, "/Op=running" + On(kCopyA)), "0");  // the other copy still runs
  EXPECT_EQ(Ask(v, "/Op=running" + On("  \"" + kCopyB + "\" ")), "1");
  EXPECT_EQ(Ask(v, "/Op=quit /Full" + On(kCopyB)), "1");
  EXPECT_EQ(b_->Wait(10000), 15);  // WM_QUIT's wParam
}

TEST_P(ProcessViewer, TerminatesOnlyTheCopyAsked) {
  const std::string v = GetParam();
  for (const std::string& target : {kCopyA, kCopyB}) {
    StartBoth();
    ChildProcess& hit = target == kCopyA ? *a_ : *b_;
    ChildProcess& spared = target == kCopyA ? *b_ : *a_;
    EXPECT_EQ(Ask(v, "/Op=terminate /Full" + On("Product.exe")), "0");  // a bare name proves nothing
    EXPECT_EQ(Ask(v, "/Op=terminate /Full" + On(target)), "1") << target;
    EXPECT_EQ(hit.Wait(10000), 0) << target;
    EXPECT_TRUE(spared.Running()) << target;
    a_.reset();
    b_.reset();
  }
}

TEST_P(ProcessViewer, RefusedCloseLeavesTheProductRunning) {
  const std::string v = GetParam();
  auto stubborn = Start(kCopyA, "/IgnoreClose");
  tasks_.Show({{"Product.exe", stubborn->Id()}});
  EXPECT_EQ(Ask(v, "/Op=close /Full /Ms=300" + On(kCopyA)), "1");
  EXPECT_TRUE(stubborn->Running());
  const long waited = std::stol("0" + Ask(v, "/Op=wait /Ms=0" + On(kCopyA)));
  EXPECT_GE(waited, 900);
  EXPECT_LT(waited, 5000);
  EXPECT_EQ(Ask(v, "/Op=terminate /Full" + On(kCopyA)), "1");
  EXPECT_EQ(stubborn->Wait(10000), 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, ProcessViewer, ::testing::Values("winxp", "win7", "win10"));

// The id a search found may pass to another program before the terminate
// opens it. The image behind the id is checked through the handle that
// terminates, so a stranger with that id lives on, even one that shares the
// product's file name.
TEST(ProcessViewerTerminate, ChecksTheImageBehindTheIdThroughTheHandleItTerminates) {
  Install();
  auto product = Start(kCopyA);
  auto stranger = Start(kCopyB);
  const std::string strangerId = " /Pid=" + std::to_string(stranger->Id());
  for (const char* v : {"winxp", "win10", "win98"}) {
    EXPECT_EQ(Ask(v, "/Op=terminate-id /Full" + strangerId + On(kCopyA)), "0") << v;
    EXPECT_EQ(Ask(v, "/Op=terminate-id" + strangerId + On("Other.exe")), "0") << v;
  }
  EXPECT_TRUE(stranger->Running());
  EXPECT_EQ(Ask("win10", "/Op=terminate-id /Full /Pid=" + std::to_string(product->Id()) + On(kCopyA)), "1");
  EXPECT_EQ(product->Wait(10000), 0);
  EXPECT_TRUE(stranger->Running());
}

TEST(ProcessViewerTaskList, RunsTheSystemsTaskListNotOneBesideTheProgram) {
  Install();
  FakeTaskList tasks;
  auto a = Start(kCopyA);
  tasks.Show({{"Product.exe", a->Id()}});
  // A "tasklist.exe" planted in the program's own folder (and the current
  // one) must not run in place of the system's.
  const std::string planted = ktest::BinaryDir() + "\\tasklist.exe";
  ASSERT_TRUE(CopyFileA(ktest::HelperExe("fake_tasklist").c_str(), planted.c_str(), FALSE));
  const std::string pid = Ask("win10", "/Op=tasklist" + On("Product.exe"));
  DeleteFileA(planted.c_str());
  EXPECT_EQ(pid, std::to_string(a->Id()));
  const std::string log = kestro::ReadWholeFile(FakeTaskList::Log());
  EXPECT_NE(log.find(kestro::SystemDir(true) + "tasklist.exe /FO csv"), std::string::npos) << log;
  EXPECT_EQ(log.find(planted), std::string::npos) << log;
}

TEST(ProcessViewerLists, ListsWindowOwnersOrEveryProcessByVersion) {
  Install();
  auto a = Start(kCopyA);
  auto quiet = Start(kCopyB, "/NoWindows");
  const std::string idA = std::to_string(a->Id()), idQuiet = std::to_string(quiet->Id());
  EXPECT_NE(Ask("win7", "/Op=list").find("|Product.exe=" + idA + "|"), std::string::npos);
  EXPECT_NE(Ask("win7", "/Op=list /Full").find("|" + kCopyA + "=" + idA + "|"), std::string::npos);
  // Past XP only processes with a top-level window are seen.
  EXPECT_EQ(Ask("win7", "/Op=list").find("=" + idQuiet + "|"), std::string::npos);
  EXPECT_EQ(Ask("win7", "/Op=running" + On(kCopyB)), "0");
  EXPECT_NE(Ask("winxp", "/Op=list /Full").find("|" + kCopyB + "=" + idQuiet + "|"), std::string::npos);
  EXPECT_EQ(Ask("winxp", "/Op=running" + On(kCopyB)), "1");
  EXPECT_EQ(Ask("winxp", "/Op=psapi /Full" + On(kCopyB)), idQuiet);
}

TEST(ProcessViewerNineX, UsesTheProcessSnapshot) {
  Install();
  auto a = Start(kCopyA);
  EXPECT_EQ(Ask("win98", "/Op=toolhelp" + On("product.exe")), std::to_string(a->Id()));
  EXPECT_EQ(Ask("win98", "/Op=main /First" + On("Product.exe")), Handle(MainWindowOf(a->Id())));
  EXPECT_EQ(Ask("win98", "/Op=running" + On("Product.exe")), "1");
  EXPECT_EQ(Ask("win98", "/Op=terminate" + On("Product.exe")), "1");
  EXPECT_EQ(a->Wait(10000), 0);
  EXPECT_EQ(Ask("win98", "/Op=running" + On("Product.exe")), "0");
}
