// kpack's release commands: `kpack keygen` makes the publisher's key pair,
// `kpack publish` writes the server folder of a signed release. They need
// OpenSSL and exist in the native build only.
#pragma once

#include <string>
#include <vector>

namespace kestro {

extern const char kReleaseHelp[];

// The arguments after the command word; returns the exit code and prints
// what was written, or the error, itself.
int RunKeygen(const std::vector<std::string>& args);
int RunPublish(const std::vector<std::string>& args);

}  // namespace kestro
