// Path tokens on this machine: the text rules of core/ShellDir/path_tokens.h
// with the values of the running system (names, folders, registry, shell).
#pragma once

#include <string>

#include "core/ShellDir/path_tokens.h"

namespace kestro {

// The update cycle passes a backslash as suffix and true for the flags.
std::string ExpandTokens(const std::string& text, const std::string& suffix = "\\",
                         bool expandRelative = true, bool useUserTokens = true, bool full = true);

// The product's folders, stored as given ("<InstallDir>", "<InstallCommonDir>",
// "<InstallAuxDir>" and their long names).
void SetInstallFolders(const std::string& application, const std::string& common,
                       const std::string& auxiliary);

// The other inputs of the expansion (user token table, value provider, last
// exit code, required space, service list). Nothing in the program sets
// them today; they start empty.
TokenEnvironment& TokenInputs();

// One system value by token name (see TokenEnvironment::system).
std::string SystemTokenValue(const std::string& name);
// System folder without "32" when that exists, else Windows\System, else
// the system folder.
std::string System16Dir();
// The folder of "/OriginExe=" (or of the running executable), read once.
std::string OriginDir();

}  // namespace kestro
