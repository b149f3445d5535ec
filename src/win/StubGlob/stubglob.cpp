#include "win/StubGlob/stubglob.h"

#include <windows.h>

#include <memory>

#include "win/StubGlob/switches.h"
#include "win/Files/files.h"

namespace kestro {

namespace {

std::unique_ptr<TGFileInfo> g_ownPackage;
std::string g_instanceName = kDefaultInstanceName;
int g_exitCode = 0;

}  // namespace

const std::string& OwnExePath() {
  static const std::string path = ExePath();
  return path;
}

const std::string& RawCommandLine() {
  static const std::string line = GetCommandLineA();
  return line;
}

std::string OwnParams() { return GetParams(RawCommandLine(), OwnExePath()); }

void OpenOwnPackage() { g_ownPackage = std::make_unique<TGFileInfo>(OwnExePath()); }

void CloseOwnPackage() { g_ownPackage.reset(); }

const TGFileInfo& OwnPackage() {
  // Reading settings before the entry opened the descriptor (or after it
  // closed it) must not crash: an empty descriptor answers with defaults.
  static const TGFileInfo empty{std::string()};
  return g_ownPackage ? *g_ownPackage : empty;
}

bool IsAgentFile() { return OwnPackage().IsAgent(); }

const std::string& InstanceName() { return g_instanceName; }
void SetInstanceName(const std::string& name) { g_instanceName = name; }

int ProcessExitCode() { return g_exitCode; }
void SetProcessExitCode(int code) { g_exitCode = code; }

}  // namespace kestro
