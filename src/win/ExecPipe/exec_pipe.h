// Runs a console command and captures what it writes: standard output and
// error output through pipes, turned from the OEM code page into the
// program's, handed piece by piece to an optional callback that may cancel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestro {

struct ConsoleResult {
  std::string output;
  std::string errors;
  uint32_t exitCode = 0;
};

// Gets each piece read (output and errors alike); setting cancel ends the
// command with exit code 255.
using ConsoleCallback = std::function<void(const std::string& piece, bool& cancel)>;

// True when the command ran and ended with exit code 0. A command that
// cannot be started gives exit code 21 and the reason as error text.
bool RunConsoleCommand(const std::string& command, const std::string& arguments, int showMode,
                       const ConsoleCallback& callback, uint32_t finalPauseMs,
                       ConsoleResult& result);

}  // namespace kestro
