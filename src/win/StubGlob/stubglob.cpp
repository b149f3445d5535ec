#include "win/StubGlob/stubglob.h"

#include <windows.h>

#include <memory>

#include "core/StubGlob/switches.h"
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

std::string FileVersionText(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "";
  std::string block(size, '\0');
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, &block[0]) ||
      !VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof *info)
    return "";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

int ProcessExitCode() { return g_exitCode; }
void SetProcessExitCode(int code) { g_exitCode = code; }

}  // namespace kestro
