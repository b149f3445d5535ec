#include "win/Win64/system_info.h"

#include <windows.h>

#include <vector>

#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/Utils/exe_version.h"
#include "win/Utils/registry.h"
#include "win/Utils/system_library.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

constexpr int kServerR2Metric = 89;  // SM_SERVERR2
constexpr BYTE kProductDomainController = 2;
constexpr BYTE kProductServer = 3;

OSVersionRecord ReadVersionRecord() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  OSVersionRecord r;
  if (!GetVersionExA(&info)) return r;
  r.major = info.dwMajorVersion;
  r.minor = info.dwMinorVersion;
  r.build = info.dwBuildNumber;
  r.platformId = info.dwPlatformId;
  r.servicePack = info.szCSDVersion;
  return r;
}

bool AskIs64BitWindows() {
  // A 64-bit build of the program runs on 64-bit Windows only.
  if (sizeof(void*) == 8) return true;
  using NativeInfo = void(WINAPI*)(SYSTEM_INFO*);
  using Wow64Query = BOOL(WINAPI*)(HANDLE, BOOL*);
  const NativeInfo nativeInfo = SystemFunctionAs<NativeInfo>("kernel32.dll", "GetNativeSystemInfo");
  const Wow64Query isWow64 = SystemFunctionAs<Wow64Query>("kernel32.dll", "IsWow64Process");
  if (!nativeInfo || !isWow64) return false;
  SYSTEM_INFO si = {};
  nativeInfo(&si);
  BOOL wow64 = FALSE;
  if (!isWow64(GetCurrentProcess(), &wow64) || !wow64) return false;
  return SystemFunctionAs<FARPROC>("kernel32.dll", "Wow64DisableWow64FsRedirection") &&
         SystemFunctionAs<FARPROC>("kernel32.dll", "Wow64RevertWow64FsRedirection") &&
         SystemFunctionAs<FARPROC>("kernel32.dll", "GetSystemWow64DirectoryA") &&
         SystemFunctionAs<FARPROC>("advapi32.dll", "RegDeleteKeyExA");
}

std::string OwnerKey() {
  return IsNT() ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
}

}  // namespace

// ---------------------------------------------------------------- version

OSVersionRecord GetOSVersionInfo() {
  static const OSVersionRecord record = [] {
    OSVersionRecord r = ReadVersionRecord();
    if (NeedsKernelVersionCorrection(r))
      r = WithKernelVersion(r, GetProductVersion(SystemDir() + "kernel32.dll", 1, 4));
    return r;
  }();
  return record;
}

bool IsNT() { return IsNTRecord(GetOSVersionInfo()); }
bool IsXP() {
  static const bool xp = IsXPRecord(GetOSVersionInfo());
  return xp;
}
bool IsWin8OrLater() { return IsWin8OrLaterRecord(GetOSVersionInfo()); }

bool IsServerOS() {
  if (GetSystemMetrics(kServerR2Metric) != 0) return true;
  OSVERSIONINFOEXA ex = {};
  ex.dwOSVersionInfoSize = sizeof ex;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return false;
  return ex.wProductType == kProductDomainController || ex.wProductType == kProductServer;
}

bool Is64BitWindows() {
  static const bool is64 = AskIs64BitWindows();
  return is64;
}

OSName GetOSName() { return IdentifyOS(GetOSVersionInfo(), Is64BitWindows(), IsServerOS()); }
uint32_t GetOSBit() { return GetOSName().osBit; }

// ---------------------------------------------------------------- names

std::string GetLoggedUserName() {
  char buf[256] = {};
  DWORD size = sizeof buf;
  return GetUserNameA(buf, &size) ? SUB::Trim(buf) : std::string();
}

std::string GetComputerNameText() {
  char buf[256] = {};
  DWORD size = sizeof buf;
  return GetComputerNameA(buf, &size) ? SUB::Trim(buf) : std::string();
}

std::string GetRegisteredOwner() {
  return SUB::Trim(RegReadString(OwnerKey(), "RegisteredOwner", GetLoggedUserName(), Is64BitWindows()));
}

std::string GetRegisteredOrganization() {
  return SUB::Trim(RegReadString(OwnerKey(), "RegisteredOrganization", "", Is64BitWindows()));
}

std::string GetCurrentDomainName() {
  const std::string user = GetLoggedUserName();
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use;
  LookupAccountNameA(nullptr, user.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
  if (sidSize == 0 || domainSize == 0) return "";
  std::vector<char> sid(sidSize), domain(domainSize + 1);
  if (!LookupAccountNameA(nullptr, user.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                          &use))
    return "";
  return domain.data();
}

}  // namespace kestro
