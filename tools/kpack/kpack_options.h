// kpack's command line: what to pack and how, or one of the helper actions.
#pragma once

#include <string>
#include <vector>

#include "core/PackX/package_writer.h"

namespace kestro {

struct KpackCommand {
  enum class Action { kPack, kHelp, kScramble, kInfo } action = Action::kPack;
  PackOrder order;
  std::string argument;  // the token to scramble, the package to describe
  std::vector<std::string> warnings;  // printed before packing
};

// Parses the arguments (without the program name). Returns an error text, or
// empty with `out` filled; reads the folder, the files and the INI file named.
std::string ParseKpackCommand(const std::vector<std::string>& args, KpackCommand& out);

extern const char kKpackHelp[];

// The release key item (as the package stores it) from a PEM public key file,
// as `kpack keygen` writes it; an error text when it is none.
std::string ReadPublicKeyItem(const std::string& path, std::string& item);

}  // namespace kestro
