// The names a ".INFO" file gives against the agent's own files, end to end:
// the real agent file (packed by kpack around the stub, unsigned on purpose,
// so that whoever answers its requests writes the ".INFO" file), nginx
// serving its update folder, and the files beside the agent afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../support/agent_run.h"
#include "../support/nginx_server.h"
#include "core/Files/file_names.h"
#include "win/InetHTTP/inet_http.h"

using namespace ktest;

namespace {

// An installed agent with version 1 and nginx serving its update folder:
// the ".INFO" file at the root, the release's files in "files".
struct AgentBesideItsFiles {
  std::string dir = ScratchDir();
  std::string www = dir + "\\www";
  std::string files = www + "\\files";
  NginxServer nginx{www, dir + "\\nginx"};
  AgentSetup setup{dir + "\\app", nginx.Base()};
  int stamp = 2;

  AgentBesideItsFiles() {
    kestro::ForceDirectories(files);
    kestro::ForceDirectories(setup.Dir());
  }
  bool Ready() const {
    if (!nginx.Up() || setup.Pack() != 0) return false;
    setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=3600\r\n");
    return true;
  }
  // Version 2 offered under NameOfUpdateFile=`name`, installed only after a
  // question; each offer is a new stamp. Its size is what the server
  // answers for the name (a 404 page too), as one who controls the server
  // and the ".INFO" file writes it: the decision's size check passes.
  std::string Offer(const std::string& name) {
    const int32_t size = kestro::HTTP_GetFileSize(nginx.Base() + "/files/" + name);
    const std::string info = "[NewSetup]\r\nDownloadURL_UPDATE=" + nginx.Base() + "/files\r\nNameOfUpdateFile=" + name +
                             "\r\nSizeOfUpdateFile=" + std::to_string(size) + "\r\nVersionNew=2\r\nStamp=" +
                             std::to_string(stamp++) +
                             "\r\nRequestConfirmationBeforeInstall=1\r\n";
    WriteFileText(www + "\\Product.info", info);
    return info;
  }
  // A setup file of this product (its token), as the agent accepts it.
  bool ServeSetupOfThisProduct(const std::string& name) const {
    WriteFileText(dir + "\\readme.txt", "version 2");
    ChildProcess kpack("\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" + files + "\\" + name +
                       "\" --product-token tok \"" + dir + "\\readme.txt\"");
    return kpack.Wait(60000) == 0;
  }
  std::string Log() const { return ReadFileText(setup.Log()); }
  std::string Requests() const { return ReadFileText(dir + "\\nginx\\access.log"); }
  // The private files of downloads still beside the agent.
  int TemporaryFiles() const {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((setup.Dir() + "\\~au*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileA(find, &fd));
    FindClose(find);
    return n;
  }
};

// The ".ORIGINAL" file is still the agent's settings file with version 1.
void ExpectOriginalIntact(const AgentBesideItsFiles& f, const std::string& what) {
  EXPECT_EQ(ReadIni(f.setup.Original(), "OriginalSetup", "VersionOriginal"), "1") << what;
  EXPECT_EQ(ReadFileText(f.setup.Original()).rfind("[OriginalSetup]", 0), 0u) << what;
}

}  // namespace

TEST(AgentOwnFiles, ANameOfTheAgentsOwnFilesIsRefusedAndNothingIsFetchedOrLost) {
  AgentBesideItsFiles f;
  ASSERT_TRUE(f.Ready());
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  const std::string agentFile = ReadFileText(f.setup.AgentPath());
  struct Case {
    const char* name;
    bool served;  // else the server answers 404
  } cases[] = {
      {"Product.original", false},  // once the end of the agent: the 404 deleted it
      {"Product.original", true},
      {"PRODUCT.ORIGINAL", true},
      {"Product.original.", false},  // Windows drops the trailing dot
      {"Product.info", true},
      {"X_Product.AutoUpdate.exe", true},
      {"Product.AutoUpdate.exe", true},
      {"X_Product.AutoUpdate.log", true},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.name) + (c.served ? " served" : " not served");
    const std::string served = f.files + "\\" + c.name;
    if (c.served) WriteFileText(served, "MZ the server's bytes");
    else DeleteFileA(served.c_str());
    const std::string info = f.Offer(c.name);
    EXPECT_EQ(ForcedCheck(agent), 6) << what;
    EXPECT_NE(f.Log().find("ERROR: refused NameOfUpdateFile \"" + std::string(c.name) + "\": "), std::string::npos)
        << what << "\n" << f.Log();
    ExpectOriginalIntact(f, what);
    EXPECT_EQ(ReadFileText(f.setup.LocalInfo()), info) << what;
    EXPECT_EQ(ReadFileText(f.setup.AgentPath()), agentFile) << what;
    EXPECT_EQ(f.TemporaryFiles(), 0) << what;
    // The decision's size probe asks for one byte (206); a download would be a 200.
    EXPECT_EQ(f.Requests().find("GET /files/" + std::string(c.name) + " HTTP/1.1\" 200"), std::string::npos)
        << what << "\n" << f.Requests();
  }
  EXPECT_EQ(agent.TraceCount(" ==== PerformAutoUpdate-6 ===="), 0) << "no download started";
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

TEST(AgentOwnFiles, AFailedDownloadDeletesNothingAndAShortNameReachesNoOwnFile) {
  AgentBesideItsFiles f;
  ASSERT_TRUE(f.Ready());
  // A file of that name was there before this cycle: a failed download does
  // not delete it, a refused one does not overwrite it.
  const std::string mine = f.setup.Dir() + "\\Setup.exe";
  WriteFileText(mine, "a file that was there before");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));

  f.Offer("Setup.exe");  // not on the server: 404
  EXPECT_EQ(ForcedCheck(agent), 6);
  EXPECT_EQ(ReadFileText(mine), "a file that was there before") << "404";
  WriteFileText(f.files + "\\Setup.exe", "MZ of no product");  // refused: "Bad Secret Token!"
  f.Offer("Setup.exe");
  EXPECT_EQ(ForcedCheck(agent), 6);
  EXPECT_EQ(ReadFileText(mine), "a file that was there before") << "another product's file";
  EXPECT_NE(f.Requests().find("GET /files/Setup.exe HTTP/1.1\" 200"), std::string::npos) << f.Requests();
  EXPECT_EQ(f.TemporaryFiles(), 0);

  // The ".ORIGINAL" file under its short (8.3) name, served as a setup of
  // this product: Windows would open the agent's own file by it.
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(f.setup.Original().c_str(), shortPath, MAX_PATH), 0u);
  const std::string alias = kestro::ExtractFileName(shortPath);
  ASSERT_NE(alias, "Product.original");
  ASSERT_TRUE(f.ServeSetupOfThisProduct(alias));
  f.Offer(alias);
  EXPECT_EQ(ForcedCheck(agent), 6);
  EXPECT_EQ(f.Requests().find("GET /files/" + alias + " HTTP/1.1\" 200"), std::string::npos) << f.Requests();
  EXPECT_NE(f.Log().find("ERROR: refused NameOfUpdateFile \"" + alias + "\": Windows may open it as another file"),
            std::string::npos) << f.Log();
  ExpectOriginalIntact(f, alias);
  EXPECT_EQ(f.TemporaryFiles(), 0);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}
