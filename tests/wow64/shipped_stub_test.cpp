// The shipped 32-bit stub (the build/win tree's, not this test tree's) run
// the way users run it: a 32-bit process on 64-bit Windows, beside 64-bit
// programs. A setup file and a signed one install, a web setup downloads its
// package from nginx and installs it, and an agent updates a 64-bit and a
// 32-bit product end to end. This test is a 64-bit program; only the stub's
// processes and the 32-bit product run 32-bit code, which on a machine
// without 32-bit mode goes through an emulator. Every wait is therefore
// generous but bounded, and every step prints the time it took: a slow
// emulator shows as long but finished steps, a stuck product as a step that
// runs out, with the agent log's last lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "../support/nginx_server.h"
#include "../support/published_update.h"

using namespace ktest;

namespace {

// One step of a whole run, however slow the emulator: a 32-bit process
// start costs seconds there (minutes with emulators that miss part of the
// memory-mapping interface).
const DWORD kStepMs = 240000;

// The shipped build's own sample product, the 32-bit product of the cases.
std::string Product32() { return WinPath(KESTRO_SHIPPED_TREE) + "\\sample_product.exe"; }

// "[+12.3 s] text" on the test's output, from the start of the case.
class Steps {
 public:
  void Say(const std::string& text) const {
    std::printf("[+%.1f s] %s\n", (GetTickCount() - start_) / 1000.0, text.c_str());
    std::fflush(stdout);
  }

 private:
  DWORD start_ = GetTickCount();
};

// The last lines of a log, for a step that did not end.
std::string Tail(const std::string& path, size_t bytes = 1500) {
  const std::string text = ReadFileText(path);
  return text.size() > bytes ? "..." + text.substr(text.size() - bytes) : text;
}

// Runs a stub command to its end without a box to answer; its exit code,
// or -1 when it did not end in time, with the box it shows named.
long RunStub(const Steps& steps, const std::string& what, const std::string& cmd) {
  StubProcess stub(cmd);
  steps.Say(what + ": started");
  const long code = stub.Wait(kStepMs);
  HWND box = FindWindowA(kestro::kMsgBoxClass, nullptr);
  if (code == -1 && box) ADD_FAILURE() << what << " waits on a box: " << BoxText(box);
  steps.Say(what + ": exit code " + std::to_string(code));
  return code;
}

}  // namespace

// ---- the system as a 32-bit program sees it -----------------------------------------

// A value of the registry's 32-bit view, which 32-bit programs read.
std::string Read32BitView(const char* key, const char* value) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, &k) != ERROR_SUCCESS) return "";
  char text[MAX_PATH] = {};
  DWORD size = sizeof text - 1;
  const bool ok = RegQueryValueExA(k, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
  RegCloseKey(k);
  return ok ? text : "";
}

// A 32-bit installer on 64-bit Windows is meant to see 64-bit Windows, the
// 32-bit view of SOFTWARE (Program Files (x86)) and the system folder's
// name, which Windows redirects to its 32-bit folder for it. The shipped
// build's system probe carries the stub's manifest and its token code.
TEST(ShippedStubOnWow64, SystemTokensGiveTheViewsOfA32BitProgram) {
  const std::string out = ScratchDir() + "\\facts.txt";
  StubProcess probe("\"" + WinPath(KESTRO_SHIPPED_TREE) + "\\os_probe.exe\" \"" + out + "\"");
  ASSERT_EQ(probe.Wait(kStepMs), 0);
  const std::string facts = ReadFileText(out);
  const char* version = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  const std::string programFiles = Read32BitView(version, "ProgramFilesDir");
  EXPECT_NE(programFiles.find("(x86)"), std::string::npos) << programFiles;
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  for (const std::string& line :
       {std::string("x64=1"), "ProgramFilesDir=" + programFiles,
        "CommonFilesDir=" + Read32BitView(version, "CommonFilesDir"), "WinSysDir=" + std::string(system)})
    EXPECT_NE(facts.find("\n" + line + "\n"), std::string::npos) << line << " in\n" << facts;
}

// ---- setup files -------------------------------------------------------------------

// Signed and unsigned setups made around the shipped stub by the stage's
// signing step (tests/e2e/sign_setups.sh) before this test.
TEST(ShippedStubOnWow64, SetupFilesSignedAndUnsignedInstall) {
  const std::string made = BinaryDir() + "\\wow64\\signed";
  const std::string scratch = ScratchDir();
  for (const char* kind : {"unsigned", "signed"}) {
    Steps steps;
    const std::string target = scratch + "\\" + kind;
    const long code = RunStub(steps, std::string(kind) + " setup",
                              SetupCommand(made + "\\" + kind + "\\setup.exe",
                                           "/Target=" + target + " /EngineLog=" + scratch + "\\engine.log"));
    EXPECT_EQ(code, 5) << kind;  // the engine's exit code the package asks for
    EXPECT_EQ(ReadFileText(target + "\\readme.txt"), ReadFileText(made + "\\payload\\readme.txt")) << kind;
    EXPECT_EQ(ReadFileText(target + "\\bin\\blob.dat").size(), 150000u) << kind;
    EXPECT_TRUE(Exists(target + "\\Product.AutoUpdate.exe")) << kind;
  }
}

TEST(ShippedStubOnWow64, WebSetupDownloadsFromNginxAndInstalls) {
  Steps steps;
  const std::string dir = ScratchDir();
  SetupPlan plan;
  plan.dir = dir + "\\package";
  plan.name = "pkg.exe";
  plan.payload.push_back({"data.bin", std::string(200000, 'd')});
  kestro::ForceDirectories(plan.dir);
  ASSERT_EQ(PackWithKpack(plan, "--web-token web-token-1"), 0);
  kestro::ForceDirectories(dir + "\\www");
  ASSERT_TRUE(CopyFileA(plan.SetupPath().c_str(), (dir + "\\www\\pkg.exe").c_str(), FALSE));
  NginxServer nginx(dir + "\\www", dir + "\\nginx");
  ASSERT_TRUE(nginx.Up()) << ReadFileText(dir + "\\nginx\\error.log");
  const std::string web = dir + "\\websetup.exe";
  StubProcess kpack("\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" + web +
                    "\" --web-setup --web-source " + nginx.Base() +
                    " --web-package pkg.exe --web-size 3500000 --web-token web-token-1");
  ASSERT_EQ(kpack.Wait(60000), 0);
  kestro::DeleteFiles(kestro::TempDir(true) + "pkg.exe", true);

  EXPECT_EQ(RunStub(steps, "web setup", SetupCommand(web)), 0);
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\data.bin").size(), 200000u);
  EXPECT_TRUE(Exists(plan.EngineLog()));
  const std::string access = ReadFileText(dir + "\\nginx\\access.log");
  EXPECT_NE(access.find("GET /pkg.exe HTTP/1.1\" 200"), std::string::npos) << access;
}

// ---- the update cycle -------------------------------------------------------------

// Version 1 of a product runs; the 32-bit agent finds it by its full path,
// closes it (WM_CLOSE, or terminates it when it ignores that), runs the
// UPDATE setup from nginx and starts version 2. The 32-bit process layer
// must learn a 64-bit product's path, which its module functions cannot.
TEST(ShippedStubOnWow64, AgentUpdatesA64BitAnd32BitProduct) {
  const struct Case {
    const char* name;
    bool product32;
    const char* method;
    const char* productArgs;
  } cases[] = {
      {"64-bit product, WM_CLOSE", false, "Using WM_CLOSE", ""},
      {"64-bit product, terminate", false, "Using Terminate Process", "/IgnoreClose"},
      {"32-bit product, WM_CLOSE", true, "Using WM_CLOSE", ""},
  };
  // The agent of these tests looks for windows (the task list of Wine's
  // newer versions prints nothing).
  WineVersionFor win7(std::string("X_") + kAgentName, "win7");
  const std::string root = ScratchDir();
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Steps steps;
    steps.Say(c.name);
    const std::string dir = root + "\\" + std::to_string(++n);
    NginxServer server(dir + "\\www", dir + "\\nginx");
    ASSERT_TRUE(server.Up());
    UpdateStage stage(dir, server.Base());
    if (c.product32) stage.UseProduct(Product32());
    ProductRelease release;
    release.shutDown = c.method;
    release.confirmDownload = false;
    ASSERT_TRUE(stage.InstallVersion1());
    ASSERT_TRUE(stage.PublishVersion2(release));
    ChildProcess product("\"" + stage.ProductExe() + "\" " + c.productArgs);
    ASSERT_TRUE(WaitUntil([&] { return ProductPid(stage.ProductExe()) == product.Id(); }, kStepMs));
    steps.Say("product runs");

    DebugViewer viewer;
    RunningAgent agent(stage.Agent(), viewer, "/SleepX=0", kStepMs);
    ASSERT_TRUE(agent.Window()) << Tail(stage.Agent().Log());
    steps.Say("agent runs");
    const DWORD agentEnd = agent.WaitForExit(kStepMs);
    steps.Say("agent ended: " + std::to_string(agentEnd));
    ASSERT_EQ(agentEnd, 0u) << Tail(stage.Agent().Log());
    EXPECT_TRUE(StopRestartedAgent(viewer, kStepMs)) << "the agent did not start again";
    steps.Say("restarted agent stopped");

    EXPECT_EQ(product.Wait(0), 0) << "the running product was not closed";
    EXPECT_EQ(stage.InstalledVersion(), "2");
    EXPECT_EQ(stage.VersionOriginal(), "2");
    const std::string log = ReadFileText(stage.Agent().Log());
    EXPECT_NE(log.find("PerformAutoUpdate() - END    Result=TRUE"), std::string::npos) << log;
    // Started again only because the agent found it running and closed it.
    EXPECT_EQ(agent.TraceCount("TRUE TRUE >" + stage.ProductExe() + "<"), 1) << log;
    DWORD again = 0;
    EXPECT_TRUE(WaitUntil([&] { return (again = ProductPid(stage.ProductExe())) != 0; }, kStepMs));
    EXPECT_NE(again, product.Id());
    steps.Say("version 2 runs");
    EndProduct(again);
  }
}
