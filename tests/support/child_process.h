// A process a test starts from outside, as Explorer would start it; ended (if
// still running) and closed with the test.
#pragma once

#include <windows.h>

#include <string>

namespace ktest {

class ChildProcess {
 public:
  explicit ChildProcess(const std::string& commandLine) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string line = commandLine;
    started_ = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &pi_) != 0;
  }
  ~ChildProcess() {
    if (!started_) return;
    if (Running()) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_; }
  HANDLE Handle() const { return pi_.hProcess; }
  DWORD Id() const { return pi_.dwProcessId; }
  bool Running() const { return started_ && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  // Exit code once ended within timeoutMs, -1 when still running.
  long Wait(DWORD timeoutMs = 60000) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION pi_ = {};
  bool started_ = false;
};

}  // namespace ktest
