// Web setups end to end: a web setup written by kpack around the real stub
// fetches its package from a server on 127.0.0.1 (the tests' scripted server
// for the faults, nginx for the plain path), checks its web token and runs
// the sample engine. Each case is judged by the box the user sees, what stays
// in the temporary folder and whether the engine ran.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/Utils/ksub.h"
#include "win/KMsgBox/kmsgbox.h"
#include "../support/debug_viewer.h"
#include "../support/nginx_server.h"
#include "../support/scripted_server.h"
#include "../support/setup_road.h"
#include "../support/ui_driver.h"

namespace {

using namespace ktest;

const DWORD kRunTimeoutMs = 60000;
const char kToken[] = "web-token-1";
const char kPackageName[] = "pkg.exe";

// kpack.exe writing a web setup; returns its exit code.
long PackWebSetup(const std::string& out, const std::string& source, const std::string& options) {
  StubProcess kpack("\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" + out +
                    "\" --web-setup --web-source " + source + " --web-package " + kPackageName +
                    " --web-size 3500000 " + options);
  return kpack.Wait(60000);
}

// The downloaded copy's place, and every name there that starts with it.
std::string TempPackage() { return kestro::TempDir(true) + kPackageName; }
std::vector<std::string> TempLeftovers() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((TempPackage() + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

// Runs the web setup; the text of the first box it shows (answered with
// Enter), "" when none came.
std::string RunAndReadBox(const std::string& cmd, long* exitCode = nullptr) {
  StubProcess stub(cmd);
  std::string text;
  while (stub.Running()) {
    HWND box = FindWindowA(kestro::kMsgBoxClass, nullptr);
    if (box && IsWindowVisible(box) && FindWindowExA(box, nullptr, "Button", nullptr)) {
      text = BoxText(box);
      BringToFront(box);
      PressKey(VK_RETURN);
      break;
    }
    Sleep(50);
  }
  const long code = stub.Wait(kRunTimeoutMs);
  if (exitCode) *exitCode = code;
  return text;
}

class WebSetup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    www_ = BinaryDir() + "\\e2e\\web_setup_www";
    kestro::DeleteTree(www_, true);
    kestro::ForceDirectories(www_);
    plan_.dir = BinaryDir() + "\\e2e\\web_setup_package";
    kestro::DeleteTree(plan_.dir, true);
    kestro::ForceDirectories(plan_.dir);
    // Enough bytes for "half" to cut the package in its file blocks.
    plan_.payload.push_back({"data.bin", std::string(200000, 'd')});
    plan_.compress = false;
    plan_.name = kPackageName;
    ASSERT_EQ(PackWithKpack(plan_, std::string("--web-token ") + kToken), 0);
    CopyFileA(plan_.SetupPath().c_str(), (www_ + "\\" + kPackageName).c_str(), FALSE);
    SetupPlan other = plan_;
    other.dir = plan_.dir + "\\other";
    kestro::ForceDirectories(other.dir);
    ASSERT_EQ(PackWithKpack(other, "--web-token another-token"), 0);
    CopyFileA(other.SetupPath().c_str(), (www_ + "\\other.exe").c_str(), FALSE);
    server_ = new ScriptedServer(www_);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(server_->Up());
    dir_ = ScratchDir();
    web_ = dir_ + "\\websetup.exe";
    kestro::DeleteFiles(plan_.EngineLog(), true);
    kestro::DeleteTree(plan_.TargetDir(), true);
    kestro::DeleteFiles(TempPackage(), true);
  }
  bool EngineRan() const { return Exists(plan_.EngineLog()); }

  static std::string www_;
  static SetupPlan plan_;
  static ScriptedServer* server_;
  std::string dir_, web_;
};
std::string WebSetup::www_;
SetupPlan WebSetup::plan_;
ScriptedServer* WebSetup::server_ = nullptr;

// ---- what the server answers -------------------------------------------------

TEST_F(WebSetup, InstallsOnlyAWholePackageOfItsOwnAndSaysWhyNot) {
  struct Case {
    const char* source;  // the web source below the server
    const char* box;     // part of the error box; "" = none
    bool installs;
  } cases[] = {
      {"plain", "", true},
      {"nolength", "", true},
      {"chunked", "", true},
      {"redirect", "", true},
      {"half", "pkg.exe --- Error downloading file (received ", false},
      {"status/404", "/status/404/pkg.exe --- HTTP status 404", false},
      {"status/500", "/status/500/pkg.exe --- HTTP status 500", false},
      {"empty", "/empty/pkg.exe --- File Not Found !", false},
      {"errorpage", "404 File Not Found...", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    SetUp();
    const std::string source = server_->Base() + "/" + c.source;
    ASSERT_EQ(PackWebSetup(web_, source, std::string("--web-token ") + kToken), 0);
    // A file of the user's that has the package's name stays as it was
    // unless a whole package replaced it.
    ASSERT_TRUE(WriteFileText(TempPackage(), "previous"));
    const std::string box = RunAndReadBox(SetupCommand(web_));
    if (*c.box) {
      EXPECT_NE(box.find(c.box), std::string::npos) << box;
    } else {
      EXPECT_EQ(box, "");
    }
    EXPECT_EQ(EngineRan(), c.installs);
    if (c.installs) {
      EXPECT_EQ(ReadFileText(plan_.TargetDir() + "\\data.bin").size(), 200000u);
      EXPECT_EQ(TempLeftovers(), std::vector<std::string>{}) << "the downloaded package is deleted";
    } else if (std::string(c.source) == "errorpage") {
      EXPECT_NE(box.find("URL:  " + source + "/pkg.exe."), std::string::npos) << box;
      EXPECT_EQ(TempLeftovers(), std::vector<std::string>{}) << "the page is deleted";
    } else {
      EXPECT_EQ(TempLeftovers(), std::vector<std::string>{kPackageName});
      EXPECT_EQ(ReadFileText(TempPackage()), "previous");
    }
  }
}

TEST_F(WebSetup, APackageOfAnotherWebSetupIsRefusedAndDeleted) {
  ASSERT_EQ(PackWebSetup(web_, server_->Base() + "/plain", "--web-token another-token"), 0);
  EXPECT_EQ(RunAndReadBox(SetupCommand(web_)), "Bad Secret Token!");
  EXPECT_FALSE(EngineRan());
  EXPECT_EQ(TempLeftovers(), std::vector<std::string>{});
}

// ---- the question before the download ------------------------------------------

TEST_F(WebSetup, AsksWithTheSizeAndANoFetchesNothing) {
  const std::string source = server_->Base() + "/plain";
  ASSERT_EQ(PackWebSetup(web_, source, std::string("--ask-before-download --web-token ") + kToken), 0);
  const size_t before = server_->Requests().size();
  StubProcess stub(SetupCommand(web_));
  HWND box = WaitForWindow(kestro::kMsgBoxClass, "Button", 30000);
  ASSERT_NE(box, nullptr);
  const std::string text = BoxText(box);
  EXPECT_NE(text.find("INTERNET DOWNLOAD"), std::string::npos) << text;
  EXPECT_NE(text.find("Size: 3.34 MB"), std::string::npos) << text;
  BringToFront(box);
  PressKey('N');
  EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0);
  EXPECT_FALSE(EngineRan());
  EXPECT_EQ(server_->Requests().size(), before) << "nothing was fetched";
  EXPECT_FALSE(FindWindowA(kestro::kMsgBoxClass, nullptr)) << "a No shows nothing more";
}

TEST_F(WebSetup, HiddenRunsAskNothingAndInstall) {
  ASSERT_EQ(PackWebSetup(web_, server_->Base() + "/plain", std::string("--ask-before-download --web-token ") + kToken), 0);
  EXPECT_EQ(RunAndReadBox(SetupCommand(web_, "/hide")), "");
  EXPECT_TRUE(EngineRan());
  EXPECT_EQ(TempLeftovers(), std::vector<std::string>{});
}

// ---- a package beside the web setup ----------------------------------------------

TEST_F(WebSetup, UsesAPackageBesideItWithoutDownloadingUnlessTold) {
  const std::string beside = dir_ + "\\" + kPackageName;
  for (bool noLocal : {false, true}) {
    SCOPED_TRACE(noLocal ? "no local package" : "local package");
    SetUp();
    ASSERT_TRUE(CopyFileA(plan_.SetupPath().c_str(), beside.c_str(), FALSE));
    const std::string options = std::string("--web-token ") + kToken + (noLocal ? " --no-local-package" : "");
    ASSERT_EQ(PackWebSetup(web_, server_->Base() + "/plain", options), 0);
    const size_t before = server_->Requests().size();
    EXPECT_EQ(RunAndReadBox(SetupCommand(web_)), "");
    EXPECT_TRUE(EngineRan());
    EXPECT_TRUE(Exists(beside)) << "a package beside the setup is the user's";
    EXPECT_EQ(server_->Requests().size() > before, noLocal);
  }
}

// ---- cancel ---------------------------------------------------------------------

TEST_F(WebSetup, ClosingTheWindowDuringASlowDownloadAbortsItAtOnce) {
  // The package trickles in 1,024 bytes every 50 ms: over a minute whole.
  ASSERT_EQ(PackWebSetup(web_, server_->Base() + "/trickle", std::string("--web-token ") + kToken), 0);
  kestro::DeleteFiles(TempPackage(), true);
  StubProcess stub(SetupCommand(web_));
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    main = FindWindowA(web_.c_str(), nullptr);
    return main && IsWindowVisible(main) && !TempLeftovers().empty();
  }));
  const DWORD closedAt = GetTickCount();
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND box = WaitForWindow(kestro::kMsgBoxClass, "Button", 10000);
  const DWORD took = GetTickCount() - closedAt;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), "Download Aborted");
  // The download itself ends within a second of the abort (the client's
  // tests measure that); here the box must come long before the package
  // could have arrived, on a machine of any load.
  EXPECT_LT(took, 10000u);
  std::printf("close to \"Download Aborted\" box: %lu ms\n", static_cast<unsigned long>(took));
  EXPECT_EQ(TempLeftovers(), std::vector<std::string>{}) << "no partial file";
  BringToFront(box);
  PressKey(VK_RETURN);
  EXPECT_EQ(stub.Wait(kRunTimeoutMs), 0);
  EXPECT_FALSE(EngineRan());
}

// ---- the agent file of a web setup --------------------------------------------------

TEST_F(WebSetup, WritesItsAgentCutAtThePackageEndEvenWhenSigned) {
  // The agent file lands in the extraction folder; the engine copies the
  // folder to the target, where the test finds it.
  const std::string agentOptions =
      std::string("--web-token ") + kToken + " --creates-agent --unsigned-agent --agent-name Product.AutoUpdate.exe";
  // A stub whose image kpack can mark gets a signature-sized tail (what a
  // code signature adds after the package end); others are taken as packed.
  const bool signable = PackWebSetup(web_, server_->Base() + "/plain", agentOptions + " --sign-ready") == 0;
  if (!signable) {
    ASSERT_EQ(PackWebSetup(web_, server_->Base() + "/plain", agentOptions), 0);
  }
  const std::string packed = ReadFileText(web_);
  if (signable) {
    ASSERT_TRUE(kestro::WriteTextToFile(web_, std::string(12000, 's'), 0, true));
  }
  EXPECT_EQ(RunAndReadBox(SetupCommand(web_)), "");
  ASSERT_TRUE(EngineRan());
  const std::string agent = ReadFileText(plan_.TargetDir() + "\\Product.AutoUpdate.exe");
  ASSERT_EQ(agent.size(), packed.size());
  EXPECT_EQ(agent[agent.size() - 5], 1) << "the agent flag";
  EXPECT_EQ(agent.substr(0, agent.size() - 5), packed.substr(0, packed.size() - 5));
}

// ---- nginx: the path a publisher uses ---------------------------------------------------

TEST_F(WebSetup, InstallsFromAPackageServedByNginx) {
  NginxServer nginx(www_, dir_ + "\\nginx");
  ASSERT_TRUE(nginx.Up()) << ReadFileText(dir_ + "\\nginx\\error.log");
  ASSERT_EQ(PackWebSetup(web_, nginx.Base(), std::string("--web-token ") + kToken), 0);
  EXPECT_EQ(RunAndReadBox(SetupCommand(web_)), "");
  EXPECT_TRUE(EngineRan());
  EXPECT_EQ(TempLeftovers(), std::vector<std::string>{});
  const std::string access = ReadFileText(dir_ + "\\nginx\\access.log");
  EXPECT_NE(access.find("GET /pkg.exe HTTP/1.1\" 200"), std::string::npos) << access;
  EXPECT_NE(access.find("HTTP_Connect_3"), std::string::npos) << access;
}

// A solid zstd package downloads and installs as a zlib one does, byte for byte.
TEST_F(WebSetup, InstallsASolidPackageByteExact) {
  SetupPlan solid = plan_;
  solid.dir = dir_ + "\\solid";
  kestro::ForceDirectories(solid.dir);
  std::string data;
  for (uint32_t i = 0, x = 3; i < 300000; ++i) {
    x = x * 1103515245u + 12345u;
    data += static_cast<char>(i % 2 ? x >> 24 : i % 251);
  }
  solid.payload = {{"data.bin", data}, {"readme.txt", "solid"}};
  ASSERT_EQ(PackWithKpack(solid, std::string("--solid --web-token ") + kToken), 0);
  const std::string www = dir_ + "\\www";
  kestro::ForceDirectories(www);
  ASSERT_TRUE(CopyFileA(solid.SetupPath().c_str(), (www + "\\" + kPackageName).c_str(), FALSE));
  NginxServer nginx(www, dir_ + "\\nginx");
  ASSERT_TRUE(nginx.Up()) << ReadFileText(dir_ + "\\nginx\\error.log");
  ASSERT_EQ(PackWebSetup(web_, nginx.Base(), std::string("--web-token ") + kToken), 0);
  EXPECT_EQ(RunAndReadBox(SetupCommand(web_)), "");
  EXPECT_EQ(ReadFileText(solid.TargetDir() + "\\data.bin"), data);
  EXPECT_EQ(ReadFileText(solid.TargetDir() + "\\readme.txt"), "solid");
  EXPECT_EQ(TempLeftovers(), std::vector<std::string>{});
}

}  // namespace
