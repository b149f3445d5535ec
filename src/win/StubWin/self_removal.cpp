#include "win/StubWin/self_removal.h"

#include <windows.h>

#include <string>

#include "core/Files/file_names.h"
#include "core/StubWin/self_removal_batch.h"
#include "core/StubGlob/switches.h"
#include "win/Files/files.h"
#include "win/StubGlob/stubglob.h"

namespace kestro {

bool StartSelfRemoval(bool removeFolder) {
  const std::string exe = OwnExePath();
  const std::string folder = ExtractFileDir(exe);
  const std::string temp = TempDir(true);
  if (temp.empty()) return false;
  const std::string batch = temp + kSelfRemovalBatchName;
  // Leave the exe's folder so that the batch can remove it.
  SetCurrentDirectoryA(RemoveTrailingBackslash(temp).c_str());
  // A copy made from a CD keeps the read-only attribute; DEL would then fail
  // for ever and the batch would never end.
  SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!WriteTextToFile(batch, SelfRemovalBatch(exe, folder, batch, removeFolder))) return false;
  return WinExec(CommandPath(batch).c_str(), SW_HIDE) > 31;
}

}  // namespace kestro
