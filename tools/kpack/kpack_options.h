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
};

// Parses the arguments (without the program name). Returns an error text, or
// empty with `out` filled; reads the folder, the files and the INI file named.
std::string ParseKpackCommand(const std::vector<std::string>& args, KpackCommand& out);

extern const char kKpackHelp[];

}  // namespace kestro
