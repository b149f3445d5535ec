#include "win/StubSetup/engine_process.h"

#include <windows.h>

#include <vector>

#include "win/Files/files.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

const DWORD kExitPollMs = 500;
const DWORD kDialogPollMs = 100;
const DWORD kSettleMs = 1000;
const int kMaxStaleReferences = 1000;

// The run token: a global atom the engine deletes to report success.
class RunToken {
 public:
  explicit RunToken(const std::string& name) : name_(name) {
    // A token left by a run that died would only gain a reference: the
    // engine's one deletion could then never report success.
    for (int i = 0; i < kMaxStaleReferences; ++i) {
      ATOM stale = GlobalFindAtomA(name_.c_str());
      if (!stale || GlobalDeleteAtom(stale) != 0) break;
    }
    atom_ = GlobalAddAtomA(name_.c_str());
  }
  ~RunToken() {
    // Deleted whether or not it was still there: an atom left behind would
    // make a later run with the same thread id look successful or failed.
    if (ATOM a = GlobalFindAtomA(name_.c_str())) GlobalDeleteAtom(a);
  }
  // A token that could not be made cannot have been removed by the engine.
  bool Gone() const { return atom_ != 0 && GlobalFindAtomA(name_.c_str()) == 0; }
  RunToken(const RunToken&) = delete;
  RunToken& operator=(const RunToken&) = delete;

 private:
  std::string name_;
  ATOM atom_ = 0;
};

}  // namespace

EngineOutcome RunEngine(const std::string& line, const std::string& runId, bool foreground,
                        const std::function<void()>& started) {
  EngineOutcome out;
  RunToken token(kRunTokenPrefix + runId);

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(foreground ? SW_SHOW : SW_HIDE);
  PROCESS_INFORMATION pi = {};
  std::vector<char> cmd(line.begin(), line.end());
  cmd.push_back('\0');
  out.started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi) != FALSE;
  UniqueHandle process(out.started ? pi.hProcess : nullptr);
  if (out.started) CloseHandle(pi.hThread);
  if (started) started();
  WaitWithMessages(kSettleMs);

  // Asks the process itself whether it has ended: an engine whose exit code
  // happens to be 259 (STILL_ACTIVE) would otherwise be waited for forever.
  while (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
    WaitWithMessages(kExitPollMs);
  DWORD code = 0;
  if (!process || !GetExitCodeProcess(process.get(), &code)) code = 0;
  out.exitCode = static_cast<int>(code);

  const std::string dialogClass = kEngineDialogClassPrefix + runId;
  while (FindWindowA(dialogClass.c_str(), nullptr)) WaitWithMessages(kDialogPollMs);
  WaitWithMessages(kSettleMs);
  out.tokenRemoved = token.Gone();
  return out;
}

}  // namespace kestro
