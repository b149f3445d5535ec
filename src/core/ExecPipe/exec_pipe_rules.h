// The text side of running a console command with captured output.
#pragma once

#include <cstddef>
#include <string>

namespace kestro {

// The longest command line CreateProcess accepts.
constexpr size_t kMaxCommandLine = 32766;
// Exit code reported when the command could not be started.
constexpr unsigned kExecNotStarted = 21;
// Exit code given to a command the caller cancelled.
constexpr unsigned kExecCancelled = 255;

// A command with a blank and no quote is quoted; one blank and the
// arguments follow.
std::string ConsoleCommandLine(const std::string& command, const std::string& arguments);
// The error text of a command that could not be started.
std::string ExecFailureText(const std::string& systemError, const std::string& commandLine);

}  // namespace kestro
