// Process-wide state of the stub, set once at start-up and read by every
// mode: the own file and command line, the package descriptor of the own file
// (owned by the entry), the instance name and the process exit code.
#pragma once
#include <string>

#include "core/PackX/file_info.h"

namespace kestro {

// The running executable's full path and the raw command line.
const std::string& OwnExePath();
const std::string& RawCommandLine();
// Everything after the program name (see GetParams).
std::string OwnParams();

// The descriptor of the own file; valid between OpenOwnPackage and
// CloseOwnPackage (the entry's lifetime).
void OpenOwnPackage();
void CloseOwnPackage();
const TGFileInfo& OwnPackage();

// Trailer byte 69 of the own package: the file is an update agent.
bool IsAgentFile();

// Window class of the main window, and what FindWindowA looks for.
inline constexpr const char* kDefaultInstanceName = "KestroStub";
const std::string& InstanceName();
void SetInstanceName(const std::string& name);

// Ends up as the process exit code: the install engine's code after a setup
// run, otherwise 0.
int ProcessExitCode();
void SetProcessExitCode(int code);

}  // namespace kestro
