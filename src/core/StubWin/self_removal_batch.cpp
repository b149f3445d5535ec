#include "core/StubWin/self_removal_batch.h"

namespace kestro {

std::string SelfRemovalBatch(const std::string& exe, const std::string& folder,
                             const std::string& batch, bool removeFolder) {
  // Quoted, and every "%" doubled: the command interpreter expands "%NAME%"
  // in batch lines even between quotes, so a path like "C:\50%off%\x.exe"
  // would otherwise name (and DEL) some other file.
  auto q = [](const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out + "\"";
  };
  std::string text = ":START\r\n";
  text += "DEL " + q(exe) + "\r\n";
  text += "IF exist " + q(exe) + " GOTO START\r\n";
  if (removeFolder) text += "RD " + q(folder) + "\r\n";
  text += "DEL " + q(batch) + "\r\n";
  return text;
}

}  // namespace kestro
