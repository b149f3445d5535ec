// Runs the agent's download routine once in a process of its own. The test
// packs this exe with kpack as an agent file, so the package the routine
// reads (release key, product token, settings file names) is that of a real
// agent, and the settings files lie beside it.
//   agent_download.exe /Location=<folder or URL> /Name=<file> /Kind=1|2|3 /Out=<file>
// /Out= receives "1" when the download was accepted, "0" and the error text
// when not; the agent log beside the exe records the rest.
#include <windows.h>

#include <string>

#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/StubAU/download_au.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubGlob/switches.h"

int main() {
  using namespace kestro;
  const std::string p = OwnParams();
  OpenOwnPackage();
  SetAgentLogEnabled(true);
  std::string error;
  const bool ok = DownloadFileAU(SUB::Unquote(GetSwitchValue(p, "/Location=", "")),
                                 SUB::Unquote(GetSwitchValue(p, "/Name=", "")),
                                 int(GetSwitchInt(p, "/Kind=", 0)), error);
  CloseOwnPackage();
  const std::string answer = std::string(ok ? "1" : "0") + "\r\n" + error;
  return WriteTextToFile(SUB::Unquote(GetSwitchValue(p, "/Out=", "")), answer) ? 0 : 1;
}
