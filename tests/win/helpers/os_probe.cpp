// Writes what the program makes of the system it runs on, one "key=value"
// per line (the system's path tokens among them), to the file named by its
// argument. It carries the stub's
// manifest, so it sees the versions the stub sees.
#include <windows.h>

#include <string>

#include "core/StubGlob/switches.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/ShellDir/expand_tokens.h"
#include "win/StubGlob/stubglob.h"
#include "win/Win64/system_info.h"

int main() {
  using namespace kestro;
  const std::string out = SUB::Unquote(OwnParams());
  const OSName os = GetOSName();
  const OSVersionRecord r = GetOSVersionInfo();
  const std::string text = "name=" + os.shortName + "\nversion=" + os.versionText +
                           "\nbit=" + std::to_string(os.osBit) +
                           "\nplatform=" + std::to_string(r.platformId) +
                           "\nnt=" + SUB::BoolChar(IsNT()) + "\nxp=" + SUB::BoolChar(IsXP()) +
                           "\nwin8=" + SUB::BoolChar(IsWin8OrLater()) +
                           "\nserver=" + SUB::BoolChar(IsServerOS()) +
                           "\nx64=" + SUB::BoolChar(Is64BitWindows()) +
                           "\nProgramFilesDir=" + SystemTokenValue("ProgramFilesDir") +
                           "\nCommonFilesDir=" + SystemTokenValue("CommonFilesDir") +
                           "\nWinSysDir=" + SystemTokenValue("WinSysDir") + "\n";
  return WriteTextToFile(out, text) ? 0 : 1;
}
