#include "core/ExecPipe/exec_pipe_rules.h"

namespace kestro {

std::string ConsoleCommandLine(const std::string& command, const std::string& arguments) {
  std::string line = command;
  if (line.find(' ') != std::string::npos && line.find('"') == std::string::npos)
    line = "\"" + line + "\"";
  return line + " " + arguments;
}

std::string ExecFailureText(const std::string& systemError, const std::string& commandLine) {
  if (commandLine.size() > kMaxCommandLine) return "Command line is too long";
  return systemError + " --- " + commandLine.substr(0, 256);
}

}  // namespace kestro
