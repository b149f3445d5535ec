#include "win/ExecPipe/exec_pipe.h"

#include <windows.h>

#include <vector>

#include "core/ExecPipe/exec_pipe_rules.h"
#include "win/Files/files.h"
#include "win/Utils/registry.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

constexpr DWORD kMaxRead = 30000;
constexpr DWORD kIdlePriority = 0x40;  // IDLE_PRIORITY_CLASS
constexpr DWORD kStartFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES | STARTF_FORCEOFFFEEDBACK;

// One pipe: the child's end is inherited, ours is not.
struct Pipe {
  UniqueHandle read, write;
  bool Create(bool childReads) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &sa, 0)) return false;
    read.reset(r);
    write.reset(w);
    SetHandleInformation(childReads ? w : r, HANDLE_FLAG_INHERIT, 0);
    return true;
  }
};

// Reads what waits in a pipe, converted from the OEM code page; "" if nothing.
std::string ReadWaiting(HANDLE pipe) {
  DWORD waiting = 0;
  if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0) return "";
  std::vector<char> buf(waiting < kMaxRead ? waiting : kMaxRead);
  DWORD got = 0;
  if (!ReadFile(pipe, buf.data(), DWORD(buf.size()), &got, nullptr) || got == 0) return "";
  OemToCharBuffA(buf.data(), buf.data(), got);
  return std::string(buf.data(), got);
}

class Capture {
 public:
  Capture(const ConsoleCallback& callback, ConsoleResult& result)
      : callback_(callback), result_(result) {}

  // True when either pipe delivered something.
  bool Drain(HANDLE out, HANDLE err) {
    const bool a = Take(ReadWaiting(out), result_.output);
    const bool b = Take(ReadWaiting(err), result_.errors);
    return a || b;
  }
  bool Cancelled() const { return cancel_; }

 private:
  bool Take(const std::string& piece, std::string& into) {
    if (piece.empty()) return false;
    into += piece;
    if (callback_) callback_(piece, cancel_);
    return true;
  }
  const ConsoleCallback& callback_;
  ConsoleResult& result_;
  bool cancel_ = false;
};

// Waits on the process handle itself: an exit code of 259 (the value that
// means "still active") is a real exit code for a program that returns it.
void Pump(HANDLE process, HANDLE out, HANDLE err, bool withCallback, Capture& capture) {
  DWORD slice = withCallback ? 1 : 100;
  bool sawOutput = false, ended = false;
  do {
    ended = WaitForSingleObject(process, slice) == WAIT_OBJECT_0;
    const bool data = capture.Drain(out, err);
    sawOutput = sawOutput || data;
    if (sawOutput && slice > 10) slice -= 10;
    if (capture.Cancelled() && !ended) TerminateProcess(process, kExecCancelled);
    if (data) ended = false;  // read on while output keeps coming
  } while (!ended);
}

}  // namespace

// ---------------------------------------------------------------- runner

bool RunConsoleCommand(const std::string& command, const std::string& arguments, int showMode,
                       const ConsoleCallback& callback, uint32_t finalPauseMs,
                       ConsoleResult& result) {
  result = ConsoleResult();
  std::string line = ConsoleCommandLine(command, arguments);
  Pipe in, out, err;
  STARTUPINFOA si = {};
  PROCESS_INFORMATION pi = {};
  bool started = in.Create(true) && out.Create(false) && err.Create(false);
  if (started) {
    si.cb = sizeof si;
    si.dwFlags = kStartFlags;
    si.wShowWindow = WORD(showMode);
    si.hStdInput = in.read.get();
    si.hStdOutput = out.write.get();
    si.hStdError = err.write.get();
    started = line.size() <= kMaxCommandLine &&
              CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, kIdlePriority, nullptr,
                             nullptr, &si, &pi);
  }
  if (!started) {
    result.exitCode = kExecNotStarted;
    result.errors = ExecFailureText(LastErrorText(), line);
    bool ignored = false;
    if (callback) callback(result.errors + "\r\n", ignored);
    return false;
  }
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  Capture capture(callback, result);
  Pump(process.get(), out.read.get(), err.read.get(), bool(callback), capture);
  Sleep(finalPauseMs);
  capture.Drain(out.read.get(), err.read.get());
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  result.exitCode = code;
  return code == 0;
}

}  // namespace kestro
