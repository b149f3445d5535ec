// Paths of the source and build trees as a Windows program under Wine sees
// them: Wine maps the Unix root to drive Z:.
#pragma once
#include <string>

namespace ktest {

inline std::string WinPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

inline std::string SourceDir() { return WinPath(KESTRO_SOURCE_DIR); }
inline std::string BinaryDir() { return WinPath(KESTRO_BINARY_DIR); }

}  // namespace ktest
