// The stub's side of the engine contract, with the real sample engine: the
// run token decides success, whatever was left of it by earlier runs.
#include "win/StubSetup/engine_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "win/Files/files.h"

using namespace kestro;

namespace {

std::string EngineLine(const std::string& runId, const std::string& extra) {
  return "\"" + ExeDir(true) + "tools\\kengine\\kengine.exe\" /WorkMs=0 /TH_ID=" + runId + extra;
}

}  // namespace

TEST(EngineRun, TheTokenDecidesSuccessEvenWithAStaleCopyLeftBehind) {
  struct Case { const char* name; int staleReferences; const char* extra; bool success; };
  const Case cases[] = {
      {"clean run, token deleted", 0, "", true},
      {"clean run, token kept", 0, " /KeepToken", false},
      {"token left twice by runs that died", 2, "", true},
  };
  for (const Case& c : cases) {
    const std::string runId = "_" + std::to_string(GetCurrentThreadId()) + "_" +
                              std::to_string(c.staleReferences) + (c.success ? "s" : "f");
    const std::string tokenName = std::string(kRunTokenPrefix) + runId;
    for (int i = 0; i < c.staleReferences; ++i) GlobalAddAtomA(tokenName.c_str());

    const EngineOutcome out = RunEngine(EngineLine(runId, c.extra + std::string(" /ExitCode=7")), runId, false);
    EXPECT_TRUE(out.started) << c.name;
    EXPECT_EQ(out.exitCode, 7) << c.name;
    EXPECT_EQ(out.tokenRemoved, c.success) << c.name;
    EXPECT_EQ(GlobalFindAtomA(tokenName.c_str()), 0) << c.name << ": the run leaves no token behind";
  }
}

TEST(EngineRun, AnEngineThatCannotStartIsNoSuccess) {
  const std::string runId = "_" + std::to_string(GetCurrentThreadId()) + "_missing";
  const EngineOutcome out = RunEngine("\"" + ExeDir(true) + "no-such-engine.exe\"", runId, false);
  EXPECT_FALSE(out.started);
  EXPECT_EQ(out.exitCode, 0);
  EXPECT_FALSE(out.tokenRemoved);
}
