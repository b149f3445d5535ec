// Runs one process-discovery call in a process of its own, so that a test
// can choose the Windows version it is told (Wine's per-program setting),
// and writes the answer to /Out=.
//   /Op=main|close|quit|terminate|terminate-id|running|wait|list|toolhelp|psapi|tasklist|bylist
//   /Name=<file name or full path>   /Full (full-path matching)   /First
//   /Ms=n (wait time)                /Pid=n (terminate-id)        /Out=<file>
#include <windows.h>

#include <string>

#include "win/StubGlob/switches.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/ProcessViewer/processviewer.h"
#include "win/StubGlob/stubglob.h"

namespace {

std::string Answer(const std::string& op, const std::string& name, bool full, bool first,
                   uint32_t ms, uint32_t pid) {
  using namespace kestro;
  if (op == "main") return std::to_string(reinterpret_cast<uintptr_t>(FindMainWindow(name, full, first)));
  if (op == "close") return SUB::BoolChar(CloseProcessByWmClose(name, full, ms));
  if (op == "quit") return SUB::BoolChar(CloseProcessByWmQuit(name, full));
  if (op == "terminate") return SUB::BoolChar(TerminateProcessByName(name, full));
  if (op == "terminate-id") return SUB::BoolChar(TerminateProcessIfImage(pid, name, full));
  if (op == "running") return SUB::BoolChar(IsProcessRunning(name));
  if (op == "list") return ProcessList(full);
  if (op == "toolhelp") return std::to_string(ProcessIdByToolhelp(name, full, first));
  if (op == "psapi") return std::to_string(ProcessIdByPSAPI(name, full, first));
  if (op == "tasklist") return std::to_string(ProcessIdByTaskList(name, !first, full));
  if (op == "bylist") return std::to_string(ProcessIdByList(name, full, first));
  if (op == "wait") {
    const DWORD start = GetTickCount();
    WaitForProcessEnd(name, ms);
    return std::to_string(GetTickCount() - start);
  }
  return "?";
}

}  // namespace

int main() {
  using namespace kestro;
  const std::string p = OwnParams();
  const std::string answer =
      Answer(GetSwitchValue(p, "/Op=", ""), SUB::Unquote(GetSwitchValue(p, "/Name=", "")),
             HasSwitch(p, "/Full"), HasSwitch(p, "/First"), uint32_t(GetSwitchInt(p, "/Ms=", 0)),
             uint32_t(GetSwitchInt(p, "/Pid=", 0)));
  return WriteTextToFile(SUB::Unquote(GetSwitchValue(p, "/Out=", "")), answer) ? 0 : 1;
}
