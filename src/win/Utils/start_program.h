// Starting a program by its full path. The path is given to the system as
// the application name and written quoted at the head of the command line,
// so a folder with blanks can never make the system try "C:\Program.exe"
// or a like-named file first.
#pragma once

#include <string>

namespace kestro {

// Starts path with args (text after the program, led by a blank) and the
// given show mode; true when the process was created.
bool StartProgram(const std::string& path, const std::string& args, int showMode);

}  // namespace kestro
