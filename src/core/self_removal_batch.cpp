#include "core/self_removal_batch.h"

namespace kestro {

std::string SelfRemovalBatch(const std::string& exe, const std::string& folder,
                             const std::string& batch, bool removeFolder) {
  auto q = [](const std::string& s) { return "\"" + s + "\""; };
  std::string text = ":START\r\n";
  text += "DEL " + q(exe) + "\r\n";
  text += "IF exist " + q(exe) + " GOTO START\r\n";
  if (removeFolder) text += "RD " + q(folder) + "\r\n";
  text += "DEL " + q(batch) + "\r\n";
  return text;
}

}  // namespace kestro
