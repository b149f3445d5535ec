#include <windows.h>

#include "core/Utils/ksub.h"
#include "core/LangRes0/lang_keys.h"
#include "core/StubSetup/temp_space.h"
#include "win/Files/files.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubSetup/stubsetup.h"
#include "win/StubSetup/temp_folders.h"
#include "win/Utils/registry.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

const char kSpanDiskKey[] = "HKEY_CURRENT_USER\\Software\\Tolvexan\\Kestro\\SpanDisk";

uint64_t ClusterSize(const std::string& path) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  const std::string root = path.substr(0, 3);
  if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &clusters))
    return 0;
  return uint64_t(sectorsPerCluster) * bytesPerSector;
}

double SpaceRequired(const TGFileInfo& package, const std::string& folder) {
  return package.SpaceRequiredForCluster(ClusterSize(folder));
}

// Free bytes of a fixed drive that takes a written file, 0 otherwise.
uint64_t ProbeDrive(char letter) {
  const std::string root = std::string(1, letter) + ":\\";
  if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED) return 0;
  std::string probe = root + "TEMP";
  if (DirExists(probe)) probe += "\\TEMP" + std::to_string(SUB::RandomInt(10000, 100000));
  uint64_t freeBytes = 0;
  if (ForceDirectories(probe) && WriteTextToFile(probe + "\\~aa.tmp", "aa") &&
      FileExists(probe + "\\~aa.tmp"))
    freeBytes = static_cast<uint64_t>(DiskFreeSpace(probe));
  DeleteTree(probe, true);
  return freeBytes;
}

}  // namespace

// ---- temp space ------------------------------------------------------------

bool HasEnoughTempSpace(const std::string& folder, const TGFileInfo& package) {
  return SpaceRequired(package, folder) < DiskFreeSpace(folder) && DirExists(folder);
}

bool ConfirmTempSpace(const std::string& folder, const TGFileInfo& package,
                      std::uintptr_t boxOwner) {
  TempSpaceFacts facts;
  facts.folder = folder;
  facts.needed = SpaceRequired(package, folder);
  facts.available = DiskFreeSpace(folder);
  facts.alwaysNotify = package.ShowTempDriveNotice();
  const std::string text = TempSpaceNotice(
      facts, [&](const std::string& k, const std::string& d) { return package.GetLangString(k, d); });
  if (text.empty()) return true;
  return MsgBoxConfirm(boxOwner, text, package.GetLangString(lang::kConfirm), 0, package.GetCharset(),
                       package.GetLangString(lang::kButtons));
}

bool FindBetterTempDrive() {
  if (AlternativeTempRootChecked()) return !AlternativeTempRoot().empty();
  uint64_t freeBytes[3];
  for (int i = 0; i < 3; ++i) freeBytes[i] = ProbeDrive(static_cast<char>('C' + i));
  const std::string temp = TempDir(true);
  const char best = PickBetterTempDrive(freeBytes, temp.empty() ? 0 : temp[0]);
  std::string root;
  if (best) {
    root = std::string(1, best) + ":\\TEMP";
    if (DirExists(root)) root += "\\TEMP";  // the folder lands inside it
  }
  SetAlternativeTempRoot(root);
  return !root.empty();
}

bool ReadForcePrompt() { return RegReadString(kSpanDiskKey, "ForcePrompt", "0") == "1"; }

}  // namespace kestro
