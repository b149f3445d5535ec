// The update cycle end to end: version 1 of the sample product runs from its
// folder with its agent; version 2 is published on nginx (its ".INFO" file
// and its setup file built by kpack around the real stub and sample engine).
// The agent finds it, asks, closes the product, downloads and runs the new
// setup, records the new version and starts the product again.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../support/nginx_server.h"
#include "../support/published_update.h"
#include "../support/scripted_server.h"
#include "win/KMsgBox/kmsgbox.h"

using namespace ktest;

namespace {

const std::string kAgentCopy = std::string("X_") + kAgentName;
const DWORD kCycleMs = 90000;

// A product folder and its server: one per case.
struct Scene {
  std::string dir;
  NginxServer server;
  UpdateStage stage;
  explicit Scene(const std::string& d) : dir(d), server(d + "\\www", d + "\\nginx"), stage(d, server.Base()) {}
};

std::unique_ptr<ChildProcess> StartProduct(const UpdateStage& stage, const std::string& args = "") {
  auto product = std::make_unique<ChildProcess>("\"" + stage.ProductExe() + "\" " + args);
  EXPECT_TRUE(WaitUntil([&] { return ProductPid(stage.ProductExe()) == product->Id(); }));
  return product;
}

bool CycleEnded(RunningAgent& agent) { return agent.WaitForTrace(" ==== PerformAutoUpdate-13 ====", 1, kCycleMs); }

// Ends an agent whose cycle did not update (it stays resident otherwise).
void StopAgent(RunningAgent& agent) {
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

// Nothing of version 2 ran or stayed: the product as it was.
void ExpectVersion1Kept(const UpdateStage& stage, const std::string& why) {
  EXPECT_FALSE(Exists(stage.EngineLog())) << why << ": the setup ran";
  EXPECT_FALSE(Exists(stage.UpdateBesideAgent())) << why << ": the UPDATE file stayed";
  EXPECT_EQ(stage.InstalledVersion(), "1") << why;
  EXPECT_EQ(stage.VersionOriginal(), "1") << why;
  EXPECT_TRUE(LogGets(stage.Agent().Log(), "PerformAutoUpdate() - END    Result=FALSE"))
      << why << ": " << ReadFileText(stage.Agent().Log());
}

}  // namespace

// ---- the update -------------------------------------------------------------------

TEST(UpdateCycle, ClosesTheProductByEachMethodInstallsVersion2AndStartsItAgain) {
  WineVersionFor win7(kAgentCopy, "win7");
  struct Case {
    const char* method;
    const char* productArgs;
    bool userClosesIt;
    bool restarted;
  } cases[] = {
      {"Using WM_CLOSE", "", false, true},
      {"Using WM_QUIT", "/IgnoreClose", false, true},
      {"Using Terminate Process", "/IgnoreClose", false, true},
      {"Issue a Message Box", "", true, true},
      {"Don't Shut Down", "", false, false},
  };
  const std::string root = ScratchDir();
  int n = 0;
  for (const Case& c : cases) {
    Scene s(root + "\\" + std::to_string(++n));
    ASSERT_TRUE(s.server.Up());
    UpdateStage& stage = s.stage;
    ProductRelease release;
    release.shutDown = c.method;
    ASSERT_TRUE(stage.InstallVersion1());
    ASSERT_TRUE(stage.PublishVersion2(release));
    // Where a restart through an unquoted command line would land first.
    const std::string planted = s.dir + "\\Sample.exe";
    ASSERT_TRUE(CopyFileA(HelperExe("sample_product").c_str(), planted.c_str(), FALSE));
    const std::string setupFolder = ExtractionFolderOf(stage.Agent().AgentPath());
    auto product = StartProduct(stage, c.productArgs);

    DebugViewer viewer;
    RunningAgent agent(stage.Agent(), viewer);
    ASSERT_TRUE(agent.Window()) << c.method;
    HWND ask = WaitForAgentBox(agent, "Sample Product 2 is out.");
    ASSERT_NE(ask, nullptr) << c.method;
    EXPECT_NE(BoxText(ask).find("Download it now?"), std::string::npos) << BoxText(ask);
    AnswerBox(ask, 'Y');
    if (c.userClosesIt) {
      HWND notice = WaitForAgentBox(agent, "Please close Product.exe to go on");
      ASSERT_NE(notice, nullptr);
      // The user closes the product's window, then confirms.
      PostMessageA(FindWindowA(kProductClass, nullptr), WM_CLOSE, 0, 0);
      EXPECT_EQ(product->Wait(10000), 0);
      AnswerBox(notice, VK_RETURN);
    }
    EXPECT_EQ(agent.WaitForExit(kCycleMs), 0u) << c.method;
    EXPECT_TRUE(StopRestartedAgent(viewer)) << c.method << ": the agent did not start again";

    EXPECT_EQ(stage.InstalledVersion(), "2") << c.method;
    EXPECT_EQ(stage.VersionOriginal(), "2") << c.method;
    const std::string engineLine = FirstLine(stage.EngineLog());
    EXPECT_NE(engineLine.find(" /AutoUpdateProg"), std::string::npos) << engineLine;
    EXPECT_NE(engineLine.find("/OriginalInfoFile=\"" + stage.Agent().LocalInfo() + "\""), std::string::npos)
        << engineLine;
    EXPECT_FALSE(Exists(stage.UpdateBesideAgent())) << c.method;
    EXPECT_FALSE(Exists(setupFolder)) << c.method;
    for (WPARAM code : {41, 42})
      for (LPARAM value : {1, 2}) EXPECT_EQ(agent.Notifications().Count(code, value), 1) << c.method;
    const std::string log = ReadFileText(stage.Agent().Log());
    EXPECT_NE(log.find("Shut Down Process() - START  (" + stage.ProductExe() + ")  Method: " + c.method),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("PerformAutoUpdate() - END    Result=TRUE"), std::string::npos) << log;

    const std::string restart = c.restarted ? "TRUE TRUE >" : "FALSE TRUE >";
    EXPECT_EQ(agent.TraceCount(restart + stage.ProductExe() + "<"), 1) << c.method;
    EXPECT_EQ(ProductPid(planted), 0u) << c.method;
    if (c.restarted) {
      DWORD again = 0;
      EXPECT_TRUE(WaitUntil([&] { return (again = ProductPid(stage.ProductExe())) != 0; })) << c.method;
      EXPECT_NE(again, product->Id()) << c.method;
      EXPECT_FALSE(product->Running()) << c.method;
      EndProduct(again);
    } else {
      EXPECT_EQ(ProductPid(stage.ProductExe()), product->Id()) << c.method;
    }
  }
}

TEST(UpdateCycle, ASignedReleaseIsVerifiedAndInstalled) {
  Scene s(ScratchDir());
  ASSERT_TRUE(s.server.Up());
  UpdateStage& stage = s.stage;
  ProductRelease release;
  release.publisherKey = SignedReleaseKey("A");
  ASSERT_TRUE(stage.InstallVersion1(release.publisherKey));
  ASSERT_TRUE(stage.PublishVersion2(release));
  ASSERT_TRUE(Exists(stage.Www() + "\\Product.info.sig"));
  auto product = StartProduct(stage);

  DebugViewer viewer;
  RunningAgent agent(stage.Agent(), viewer);
  ASSERT_TRUE(agent.Window());
  HWND ask = WaitForAgentBox(agent, "Sample Product 2 is out.");
  ASSERT_NE(ask, nullptr) << ReadFileText(stage.Agent().Log());
  AnswerBox(ask, 'Y');
  EXPECT_EQ(agent.WaitForExit(kCycleMs), 0u);
  EXPECT_TRUE(StopRestartedAgent(viewer));

  EXPECT_EQ(stage.InstalledVersion(), "2");
  EXPECT_EQ(stage.VersionOriginal(), "2");
  EXPECT_NE(FirstLine(stage.EngineLog()).find(" /AutoUpdateProg"), std::string::npos);
  const std::string log = ReadFileText(stage.Agent().Log());
  EXPECT_NE(log.find("Release verified: signature verified"), std::string::npos) << log;
  EXPECT_NE(log.find("Release verified: Setup.exe matches the signed release"), std::string::npos) << log;
  EXPECT_NE(log.find("PerformAutoUpdate() - END    Result=TRUE"), std::string::npos) << log;
  DWORD again = 0;
  EXPECT_TRUE(WaitUntil([&] { return (again = ProductPid(stage.ProductExe())) != 0; }));
  EndProduct(again);
}

namespace {

// What reaches the agent in place of the signed setup file.
void FlipOneByte(const UpdateStage& stage) {
  std::string bytes = ReadFileText(stage.Www() + "\\Setup.exe");
  bytes[bytes.size() / 2] ^= 0x01;
  WriteFileText(stage.Www() + "\\Setup.exe", bytes);
}

void ServeAnotherSignedRelease(const UpdateStage& stage) {
  const std::string other = stage.Dir() + "\\Other.exe";
  ASSERT_EQ(stage.PackUpdate(other, kProductToken, stage.Dir() + "\\other-engine.log", SignedReleaseKey("A")), 0);
  ASSERT_TRUE(CopyFileA(other.c_str(), (stage.Www() + "\\Setup.exe").c_str(), FALSE));
}

}  // namespace

TEST(UpdateCycle, ASignedReleaseWhoseSetupFileWasSwappedRunsNothingAndKeepsNothing) {
  struct Case {
    const char* why;
    void (*tamper)(const UpdateStage&);
  } cases[] = {
      {"one byte flipped", FlipOneByte},
      {"the setup file of another signed release", ServeAnotherSignedRelease},
  };
  const std::string root = ScratchDir();
  int n = 0;
  for (const Case& c : cases) {
    Scene s(root + "\\" + std::to_string(++n));
    ASSERT_TRUE(s.server.Up());
    ProductRelease release;
    release.publisherKey = SignedReleaseKey("A");
    ASSERT_TRUE(s.stage.InstallVersion1(release.publisherKey));
    ASSERT_TRUE(s.stage.PublishVersion2(release));
    c.tamper(s.stage);
    auto product = StartProduct(s.stage);
    DebugViewer viewer;
    RunningAgent agent(s.stage.Agent(), viewer);
    ASSERT_TRUE(agent.Window()) << c.why;
    HWND ask = WaitForAgentBox(agent, "Sample Product 2 is out.");
    ASSERT_NE(ask, nullptr) << c.why;
    AnswerBox(ask, 'Y');
    // A file larger than the signed size is cut off at that size: a failed
    // download, which the user is told of; a file of the signed size is
    // refused by its hash after the download, without a box.
    if (HWND failed = WaitForAgentBox(agent, "Unable to Download File!", 5000)) AnswerBox(failed, VK_RETURN);
    ASSERT_TRUE(CycleEnded(agent)) << c.why;
    ExpectVersion1Kept(s.stage, c.why);
    // Refused after the download, or before it when the file is larger
    // than the signed size.
    EXPECT_TRUE(LogGets(s.stage.Agent().Log(), "ERROR: downloaded file refused: ") ||
                LogGets(s.stage.Agent().Log(), " this file may have)"))
        << c.why;
    EXPECT_EQ(ProductPid(s.stage.ProductExe()), product->Id()) << c.why << ": the product was closed";
    StopAgent(agent);
  }
}

// The update is a zlib setup file, or a solid zstd one: the agent runs
// either the same way.
TEST(UpdateCycle, ABackgroundUpdateAsksNothingAndRunsTheSetupHidden) {
  const std::string root = ScratchDir();
  for (const char* packOptions : {"", "--solid"}) {
    SCOPED_TRACE(packOptions);
    Scene s(root + "\\" + (*packOptions ? "solid" : "zlib"));
    ASSERT_TRUE(s.server.Up());
    ProductRelease release;
    release.confirmDownload = false;
    release.background = true;
    release.packOptions = packOptions;
    ASSERT_TRUE(s.stage.InstallVersion1());
    ASSERT_TRUE(s.stage.PublishVersion2(release));
    DebugViewer viewer;
    RunningAgent agent(s.stage.Agent(), viewer);
    ASSERT_TRUE(agent.Window());
    bool boxSeen = false;
    agent.Pump(
        [&] {
          boxSeen = boxSeen || FindWindowA(kestro::kMsgBoxClass, nullptr) != nullptr;
          return WaitForSingleObject(agent.Process().Handle(), 0) == WAIT_OBJECT_0;
        },
        kCycleMs);
    EXPECT_EQ(agent.WaitForExit(), 0u);
    EXPECT_TRUE(StopRestartedAgent(viewer));
    EXPECT_FALSE(boxSeen);
    EXPECT_TRUE(viewer.Contains("========= ForegroundOp=FALSE =========="));
    EXPECT_EQ(s.stage.InstalledVersion(), "2");
    EXPECT_EQ(s.stage.VersionOriginal(), "2");
    // It was not running: nothing to start again, whatever RestartProcess says.
    EXPECT_EQ(agent.TraceCount("FALSE TRUE >" + s.stage.ProductExe() + "<"), 1);
    EXPECT_EQ(ProductPid(s.stage.ProductExe()), 0u);
  }
}

// ---- the user who refuses ---------------------------------------------------------

TEST(UpdateCycle, AUserWhoRefusesKeepsVersion1RunningAndNoUpdateFile) {
  WineVersionFor win7(kAgentCopy, "win7");
  struct Case {
    const char* why;
    const char* method;
    bool confirmInstall;
    std::vector<std::pair<const char*, WORD>> answers;  // box text, key
  } cases[] = {
      {"No to the download", "Using WM_CLOSE", false, {{"Download it now?", 'N'}}},
      {"No to the installation", "Using WM_CLOSE", true,
       {{"asked again before it is installed", 'Y'}, {"Install Sample Product 2 now?", 'N'}}},
      {"Cancel to the request to close the product", "Issue a Message Box", false,
       {{"Download it now?", 'Y'}, {"Please close Product.exe", VK_ESCAPE}}},
  };
  const std::string root = ScratchDir();
  int n = 0;
  for (const Case& c : cases) {
    Scene s(root + "\\" + std::to_string(++n));
    ASSERT_TRUE(s.server.Up());
    ProductRelease release;
    release.shutDown = c.method;
    release.confirmInstall = c.confirmInstall;
    ASSERT_TRUE(s.stage.InstallVersion1());
    ASSERT_TRUE(s.stage.PublishVersion2(release));
    auto product = StartProduct(s.stage);
    DebugViewer viewer;
    RunningAgent agent(s.stage.Agent(), viewer);
    ASSERT_TRUE(agent.Window()) << c.why;
    for (const auto& a : c.answers) {
      HWND box = WaitForAgentBox(agent, a.first);
      ASSERT_NE(box, nullptr) << c.why << ": " << a.first;
      AnswerBox(box, a.second);
    }
    ASSERT_TRUE(CycleEnded(agent)) << c.why;
    EXPECT_FALSE(FindWindowA(kestro::kMsgBoxClass, nullptr)) << c.why << ": a box came back";
    ExpectVersion1Kept(s.stage, c.why);
    EXPECT_EQ(ProductPid(s.stage.ProductExe()), product->Id()) << c.why;
    StopAgent(agent);
  }
}

// ---- what a publisher can get wrong -----------------------------------------------

TEST(UpdateCycle, AnUpdateOfAnotherProductIsRefusedAndDeleted) {
  WineVersionFor win7(kAgentCopy, "win7");
  Scene s(ScratchDir());
  ASSERT_TRUE(s.server.Up());
  ProductRelease release;
  release.confirmDownload = false;
  release.token = "another-token";
  ASSERT_TRUE(s.stage.InstallVersion1());
  ASSERT_TRUE(s.stage.PublishVersion2(release));
  auto product = StartProduct(s.stage);
  DebugViewer viewer;
  RunningAgent agent(s.stage.Agent(), viewer);
  ASSERT_TRUE(agent.Window());
  HWND box = WaitForAgentBox(agent, "Bad Secret Token!");
  ASSERT_NE(box, nullptr);
  AnswerBox(box, VK_RETURN);
  ASSERT_TRUE(CycleEnded(agent));
  ExpectVersion1Kept(s.stage, "another product's token");
  EXPECT_EQ(ProductPid(s.stage.ProductExe()), product->Id()) << "the product was not closed";
  StopAgent(agent);
}

// Only the whole file runs. "half" announces the whole length and sends half
// of it; "endless" answers the size query with the true size and then sends
// without end (it would fill the disk): the agent takes no more than the size
// the release names.
TEST(UpdateCycle, ATruncatedOrEndlessDownloadRunsNothingAndLeavesNothing) {
  for (const char* mode : {"half", "endless"}) {
    SCOPED_TRACE(mode);
    const std::string dir = ScratchDir() + "\\" + mode;
    ScriptedServer server(dir + "\\www");
    ASSERT_TRUE(server.Up());
    UpdateStage stage(dir, server.Base() + "/plain");
    ProductRelease release;
    release.confirmDownload = false;
    release.updateUrl = server.Base() + "/" + mode;
    ASSERT_TRUE(stage.InstallVersion1());
    ASSERT_TRUE(stage.PublishVersion2(release));
    DebugViewer viewer;
    RunningAgent agent(stage.Agent(), viewer);
    ASSERT_TRUE(agent.Window());
    ASSERT_TRUE(CycleEnded(agent));
    ExpectVersion1Kept(stage, mode);
    EXPECT_EQ(agent.Notifications().Count(42, 1), 0) << "no setup run began";
    StopAgent(agent);
  }
}

// The file run must be the file downloaded: an UPDATE name that climbs out of
// the agent's folder would otherwise run whatever lies there.
TEST(UpdateCycle, AnUpdateNameWithAFolderIsRefused) {
  const std::string dir = ScratchDir();
  // A folder source: the name reaches the size test and the download alike.
  UpdateStage stage(dir, dir + "\\www");
  ProductRelease release;
  release.confirmDownload = false;
  release.updateUrl = stage.Www();
  release.updateName = "..\\Setup.exe";
  ASSERT_TRUE(stage.InstallVersion1());
  ASSERT_TRUE(stage.PublishVersion2(release));
  // Beside the product folder, where "<agent folder>\..\Setup.exe" points.
  ASSERT_EQ(stage.PackUpdate(dir + "\\Setup.exe", kProductToken, dir + "\\planted.log"), 0);
  DebugViewer viewer;
  RunningAgent agent(stage.Agent(), viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(CycleEnded(agent));
  EXPECT_FALSE(Exists(dir + "\\planted.log")) << "a file that was not downloaded ran";
  ExpectVersion1Kept(stage, "a name with a folder");
  EXPECT_NE(ReadFileText(stage.Agent().Log()).find("refused NameOfUpdateFile \"..\\Setup.exe\""),
            std::string::npos);
  EXPECT_EQ(agent.Notifications().Count(41, 1), 0) << "nothing was downloaded";
  StopAgent(agent);
}
