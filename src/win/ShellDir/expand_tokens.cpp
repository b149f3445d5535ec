#include "win/ShellDir/expand_tokens.h"

#include <windows.h>

#include "core/Files/file_names.h"
#include "win/StubGlob/switches.h"
#include "win/Files/files.h"
#include "win/RunTimeDir/runtime_dir.h"
#include "win/ShellDir/shell_folders.h"
#include "win/StubGlob/stubglob.h"
#include "win/Utils/registry.h"
#include "win/Utils/utils.h"
#include "win/Win64/system_info.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

constexpr const char* kShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kCurrentVersion =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

std::string AbsolutePath(const std::string& path) {
  char buf[MAX_PATH * 4] = {};
  char* file = nullptr;
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, &file);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

std::string MonthName(int month) {
  char buf[80] = {};
  if (month < 1 || month > 12) return "";
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + month - 1, buf, sizeof buf) > 1
             ? std::string(buf)
             : std::string();
}

std::string FontDir() {
  const std::string fonts = RegReadString(kShellFolders, "Fonts", "");
  return DirExists(fonts) ? fonts : WindowsDir(true) + "Fonts";
}

std::string OwnerOrUser() {
  const std::string owner = GetRegisteredOwner();
  return owner.empty() ? GetLoggedUserName() : owner;
}

struct SystemSource {
  const char* name;
  std::string (*value)();
};
const SystemSource kSystemSources[] = {
    {"LoggedUserName", GetLoggedUserName},
    {"UserName", OwnerOrUser},
    {"CompanyName", GetRegisteredOrganization},
    {"ComputerName", GetComputerNameText},
    {"CurrentDomainName", GetCurrentDomainName},
    {"WinDir", [] { return WindowsDir(false); }},
    {"WinSysDir", [] { return SystemDir(false); }},
    {"WinSys16Dir", System16Dir},
    {"SrcDir", [] { return ExeDir(false); }},
    {"OriginDir", OriginDir},
    {"TempDir", [] { return TempDir(false); }},
    {"StartMenuDir", [] { return RegReadString(kShellFolders, "Start Menu", ""); }},
    {"ProgramFilesDir", [] { return RegReadString(kCurrentVersion, "ProgramFilesDir", ""); }},
    {"CommonFilesDir", [] { return RegReadString(kCurrentVersion, "CommonFilesDir", ""); }},
    {"FontDir", FontDir},
};

}  // namespace

// ---------------------------------------------------------------- values

TokenEnvironment& TokenInputs() {
  static TokenEnvironment inputs;
  return inputs;
}

void SetInstallFolders(const std::string& application, const std::string& common,
                       const std::string& auxiliary) {
  TokenInputs().applicationFolder = application;
  TokenInputs().commonFolder = common;
  TokenInputs().auxiliaryFolder = auxiliary;
}

std::string System16Dir() {
  const std::string system = SystemDir(false);
  std::string without32 = system;
  const size_t at = without32.rfind("32");
  if (at != std::string::npos) without32.erase(at, 2);
  if (DirExists(without32)) return without32;
  const std::string windowsSystem = WindowsDir(true) + "System";
  return DirExists(windowsSystem) ? windowsSystem : system;
}

std::string OriginDir() {
  static const std::string origin = [] {
    const std::string exe = SUB::Unquote(GetSwitchValue(OwnParams(), kSwOriginExe, ""));
    return exe.empty() ? ExeDir(false) : RemoveTrailingBackslash(ExtractFileDir(exe));
  }();
  return origin;
}

std::string SystemTokenValue(const std::string& name) {
  for (const SystemSource& source : kSystemSources)
    if (name == source.name) return source.value();
  return SpecialFolder(name, false);
}

std::string ExpandTokens(const std::string& text, const std::string& suffix, bool expandRelative,
                         bool useUserTokens, bool full) {
  TokenEnvironment env = TokenInputs();
  env.system = SystemTokenValue;
  env.runTimeDir = RunTimeDir;
  env.absolutePath = AbsolutePath;
  env.isLead = SystemLeadByte;
  env.now = LocalNow();
  env.dateSeparator = LocaleDateSeparator();
  env.timeSeparator = LocaleTimeSeparator();
  env.monthName = MonthName(env.now.month);
  return kestro::ExpandTokens(text, suffix, expandRelative, useUserTokens, full, env);
}

}  // namespace kestro
