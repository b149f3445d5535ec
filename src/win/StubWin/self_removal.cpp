#include "win/StubWin/self_removal.h"

#include <windows.h>

#include <string>

#include "core/self_removal_batch.h"
#include "core/switches.h"
#include "win/StubGlob/stubglob.h"

namespace kestro {

namespace {

std::string TempFolder() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(sizeof buf, buf);
  std::string s(buf, n < sizeof buf ? n : 0);
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == text.size();
}

}  // namespace

bool StartSelfRemoval(bool removeFolder) {
  const std::string exe = OwnExePath();
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  const std::string temp = TempFolder();
  if (temp.empty()) return false;
  const std::string batch = temp + kSelfRemovalBatchName;
  // Leave the exe's folder so that the batch can remove it.
  SetCurrentDirectoryA(temp.substr(0, temp.size() - 1).c_str());
  // A copy made from a CD keeps the read-only attribute; DEL would then fail
  // for ever and the batch would never end.
  SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!WriteWholeFile(batch, SelfRemovalBatch(exe, folder, batch, removeFolder))) return false;
  return WinExec(CommandPath(batch).c_str(), SW_HIDE) > 31;
}

}  // namespace kestro
