#include <windows.h>

#include "core/Files/file_names.h"
#include "win/StubGlob/switches.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/kdebug.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/stubsetup.h"
#include "win/StubSetup/temp_folders.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

// Emptied first: files left by an earlier run must not mix with this one.
std::string MakeFreshFolder(const std::string& folder) {
  if (DirExists(folder)) DeleteTree(folder, true);
  ForceDirectories(folder);
  return folder;
}

// Claims the folder name for this process with a named mutex held until
// exit; false when another live process holds it.
bool Claim(const std::string& folder) {
  const std::string name = "Kestro.Folder." + SUB::ReplaceText(SUB::Upper(folder), "\\", "/");
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) return true;  // held until exit
  if (mutex) CloseHandle(mutex);
  return false;
}

// Two setup files written within the same two seconds share the folder name,
// and a second setup running at the same time must not empty the first one's
// folder under its engine: it takes the next free name instead.
std::string ClaimFolder(const std::string& base) {
  for (int k = 0; k < 1000; ++k) {
    const std::string folder = k == 0 ? base : base + "_" + std::to_string(k);
    if (Claim(folder)) return folder;
  }
  return base;
}

std::string MakeExtractionFolder() {
  // The relay copy lies in the folder its launcher made for it and works
  // there; emptying it first would mean deleting itself. Its launcher has
  // ended, so the copy claims the name itself.
  if (IsLaunchedRelayCopy()) {
    const std::string own = ExtractFileDir(OwnExePath());
    Claim(own);
    return own;
  }
  const std::string base = ExtractionFolderPath(TempDir(true), FileAge(OwnExePath()));
  if (base.empty()) {
    PidTrace(" ==== no temp folder: nothing is extracted");
    return base;
  }
  return MakeFreshFolder(ClaimFolder(base));
}

std::string g_alternativeRoot;
bool g_alternativeChecked = false;
bool g_extractionFolderMade = false;

}  // namespace

// ---- the relay copy --------------------------------------------------------

int64_t SpanCdLevel() { return GetSwitchInt(OwnParams(), kSwSpanCdLvl, 1); }

bool IsRelayCopy() { return SpanCdLevel() == 2; }

bool IsLaunchedRelayCopy() {
  const std::string folder = ExtractFileDir(OwnExePath());
  return IsRelayCopy() && SUB::StartsWith(ExtractFileName(OwnExePath()), kRelayCopyPrefix, true) &&
         SUB::SameText(ExtractFilePath(folder), TempDir(true)) &&
         SUB::StartsWith(ExtractFileName(folder), kSetupFolderPrefix, true);
}

// ---- the extraction folder -----------------------------------------------

const std::string& ExtractionFolder() {
  // The time half of the own file's DOS date-time: a relay copy that keeps
  // the file time arrives at the same folder.
  static const std::string folder = MakeExtractionFolder();
  g_extractionFolderMade = true;
  return folder;
}

// Only a folder this process made: asking for it here would make one (and
// empty whatever folder of that name another run works in) just to delete
// it, as an agent's window would on every close.
void DeleteExtractionFolder() {
  if (g_extractionFolderMade && !ExtractionFolder().empty()) DeleteTree(ExtractionFolder(), true);
}

// ---- the alternative temp root -------------------------------------------

const std::string& AlternativeTempRoot() { return g_alternativeRoot; }

void SetAlternativeTempRoot(const std::string& root) {
  g_alternativeRoot = root;
  g_alternativeChecked = true;
}

bool AlternativeTempRootChecked() { return g_alternativeChecked; }

const std::string& AlternativeExtractionFolder() {
  static const std::string folder =
      MakeFreshFolder(g_alternativeRoot + "_" + std::to_string(SUB::RandomInt(10000, 100000)));
  return folder;
}

}  // namespace kestro
