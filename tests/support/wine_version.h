// Running helper programs under a chosen Windows version: Wine tells each
// program the version named in HKCU\Software\Wine\AppDefaults\<exe>\Version
// (winxp, win2k, nt40, vista, win98, win2003, win2008, win7, win8, win81,
// win10). The setting is put back when the guard ends.
#pragma once

#include <windows.h>

#include <string>

#include "child_process.h"
#include "test_paths.h"

namespace ktest {

inline std::string HelperExe(const std::string& name) { return BinaryDir() + "\\" + name + ".exe"; }

class WineVersionFor {
 public:
  WineVersionFor(const std::string& exeName, const std::string& version)
      : key_("Software\\Wine\\AppDefaults\\" + exeName) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
      return;
    char old[64] = {};
    DWORD size = sizeof old - 1;
    hadOld_ = RegQueryValueExA(k, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
              ERROR_SUCCESS;
    old_ = old;
    RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   DWORD(version.size() + 1));
    RegCloseKey(k);
  }
  ~WineVersionFor() {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    if (hadOld_)
      RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                     DWORD(old_.size() + 1));
    else
      RegDeleteValueA(k, "Version");
    RegCloseKey(k);
  }
  WineVersionFor(const WineVersionFor&) = delete;
  WineVersionFor& operator=(const WineVersionFor&) = delete;

 private:
  std::string key_;
  bool hadOld_ = false;
  std::string old_;
};

// Runs a command line to its end; its exit code, -1 when it did not end in time.
inline long RunToEnd(const std::string& commandLine, DWORD timeoutMs = 60000) {
  ChildProcess child(commandLine);
  return child.Wait(timeoutMs);
}

}  // namespace ktest
