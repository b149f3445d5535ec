#include "win/Utils/start_program.h"

#include <windows.h>

#include <vector>

#include "core/StubGlob/switches.h"

namespace kestro {

bool StartProgram(const std::string& path, const std::string& args, int showMode) {
  const std::string line = CommandPath(path) + args;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace kestro
