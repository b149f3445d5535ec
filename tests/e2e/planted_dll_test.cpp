// DLLs planted beside the stub's files: a library of the tests' own
// (tests/win/planted/marker_library.cpp) lies beside a setup file, a web
// setup and an update agent under the name of every library the stub or the
// system's libraries load while these run, and the loader is told to prefer
// such a DLL to its own for those names (native first), as Windows prefers
// any DLL beside a program that is not among its known DLLs. The runs still
// succeed, and no planted copy is ever loaded.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/agent_run.h"
#include "../support/nginx_server.h"
#include "../support/setup_road.h"

using namespace ktest;

namespace {

const DWORD kRunTimeoutMs = 60000;

// Every library loaded after the stub's entry on these roads under Wine: the
// ones the stub asks for (spelled as it asks), and those the system's
// libraries load for them (the rich-edit control's, the internet's). One is
// out of any program's reach under Wine and left out: uxtheme, which Wine's
// common controls load while the process starts, before the stub's entry.
const char* const kPlantedNames[] = {
    "RICHED32.DLL", "riched20.dll", "USP10.dll",  "MSLS31.dll", "ole32.dll",    "oleaut32.dll",
    "combase.dll",  "rpcrt4.dll",   "WinINet.dll", "mpr.dll",    "ws2_32.dll",   "iphlpapi.dll",
    "dnsapi.dll",   "nsi.dll",      "bcrypt.dll",  "PSAPI.dll",  "SHFolder.dll",
};

std::string MarkerLibrary() { return BinaryDir() + "\\marker_library.dll"; }

// Copies the marker library into `dir` under every planted name.
void Plant(const std::string& dir) {
  for (const char* name : kPlantedNames)
    ASSERT_TRUE(CopyFileA(MarkerLibrary().c_str(), (dir + "\\" + name).c_str(), FALSE)) << name;
}

// The planted copies in `dir` that something loaded.
std::vector<std::string> LoadedPlants(const std::string& dir) {
  std::vector<std::string> loaded;
  for (const char* name : kPlantedNames)
    if (Exists(dir + "\\" + name + ".loaded")) loaded.push_back(name);
  return loaded;
}

// Native-first load order for the planted names in the program of that file
// name, for the life of the object. Wine keeps it per program in the
// registry: the overrides variable of the test's own environment does not
// reach the programs it starts (they take their load order from the Unix
// side's).
class NativeFirstOrder {
 public:
  explicit NativeFirstOrder(const std::string& exeName)
      : key_("Software\\Wine\\AppDefaults\\" + exeName + "\\DllOverrides") {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
      return;
    static const char kOrder[] = "native,builtin";
    for (const char* name : kPlantedNames) {
      std::string stem = name;
      stem.resize(stem.rfind('.'));
      RegSetValueExA(k, stem.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder), sizeof kOrder);
    }
    RegCloseKey(k);
    applied_ = true;
  }
  ~NativeFirstOrder() { SHDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
  NativeFirstOrder(const NativeFirstOrder&) = delete;
  NativeFirstOrder& operator=(const NativeFirstOrder&) = delete;

  bool Applied() const { return applied_; }

 private:
  std::string key_;
  bool applied_ = false;
};

long RunToEnd(const std::string& cmd) {
  StubProcess stub(cmd);
  return stub.Wait(kRunTimeoutMs);
}

}  // namespace

TEST(PlantedDll, BesideASetupFileIsNeverLoaded) {
  SetupPlan plan;
  plan.dir = ScratchDir();
  plan.name = "PlantedSetup.exe";
  ASSERT_EQ(PackWithKpack(plan), 0);
  Plant(plan.dir);
  NativeFirstOrder order(plan.name);
  ASSERT_TRUE(order.Applied());
  EXPECT_EQ(RunToEnd(SetupCommand(plan.SetupPath())), 0);
  EXPECT_EQ(ReadFileText(plan.TargetDir() + "\\bin\\tool.dat"), "0123456789") << "the setup installs";
  EXPECT_EQ(LoadedPlants(plan.dir), std::vector<std::string>{});
}

TEST(PlantedDll, BesideAWebSetupIsNeverLoaded) {
  const std::string dir = ScratchDir();
  const std::string www = dir + "\\www";
  kestro::ForceDirectories(www);
  SetupPlan package;
  package.dir = www;
  package.name = "pkg.exe";
  ASSERT_EQ(PackWithKpack(package, "--web-token planted-dll"), 0);
  NginxServer nginx(www, dir + "\\nginx");
  ASSERT_TRUE(nginx.Up());
  const char kWebSetup[] = "PlantedWebSetup.exe";
  const std::string web = dir + "\\" + kWebSetup;
  StubProcess kpack("\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" + web +
                    "\" --web-setup --web-source " + nginx.Base() + " --web-package pkg.exe --web-size " +
                    std::to_string(kestro::FileSizeByName(package.SetupPath())) + " --web-token planted-dll");
  ASSERT_EQ(kpack.Wait(60000), 0);
  Plant(dir);
  NativeFirstOrder order(kWebSetup);
  ASSERT_TRUE(order.Applied());
  EXPECT_EQ(RunToEnd(SetupCommand(web)), 0);
  EXPECT_EQ(ReadFileText(package.TargetDir() + "\\bin\\tool.dat"), "0123456789")
      << "the web setup downloads and installs";
  EXPECT_EQ(LoadedPlants(dir), std::vector<std::string>{});
}

TEST(PlantedDll, BesideAnAgentIsNeverLoaded) {
  const std::string dir = ScratchDir();
  const std::string www = dir + "\\www";
  kestro::ForceDirectories(www + "\\product");
  NginxServer nginx(www, dir + "\\nginx");
  ASSERT_TRUE(nginx.Up());
  // A release signed by the publisher's key, which the agent carries: the
  // check downloads it and verifies its signature.
  const std::string release = BinaryDir() + "\\signed-releases\\";
  for (const char* file : {"Product.info", "Product.info.sig"})
    ASSERT_TRUE(CopyFileA((release + "r2\\" + file).c_str(), (www + "\\product\\" + file).c_str(), FALSE));
  AgentSetup setup(dir, nginx.Base() + "/product");
  ASSERT_EQ(setup.Pack("--product-token PRODUCT-1 --public-key \"" + release + "A.pub\""), 0);
  setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=-1\r\n");
  Plant(dir);
  NativeFirstOrder order(std::string("X_") + kAgentName);
  ASSERT_TRUE(order.Applied());
  DebugViewer viewer;
  RunningAgent agent(setup, viewer);
  ASSERT_TRUE(agent.Window());
  EXPECT_NE(ForcedCheck(agent), 0) << "the agent checks";
  EXPECT_NE(ReadFileText(setup.Log()).find("Release verified: signature verified"), std::string::npos);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
  EXPECT_EQ(LoadedPlants(dir), std::vector<std::string>{});
}
