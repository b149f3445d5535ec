// Opens the tray of the CD drive that holds a path, so that the user can
// insert the next disc of a spanned package.
#pragma once

#include <string>

namespace kestro {

// True when the drive reported the eject as done; false (and nothing done)
// when the path is not on a CD-ROM drive.
bool EjectCd(const std::string& path);

}  // namespace kestro
