#include "core/StubAU/download_names.h"

#include <cstring>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

std::string DownloadNameRefusal(const std::string& name, const std::string& infoName,
                                const std::string& originalName, const std::string& agentName) {
  if (name.empty()) return "no file name";
  for (unsigned char c : name)
    if (c < 0x20 || std::strchr("\\/:*?\"<>|", c)) return "not a plain file name";
  if (name.find("..") != std::string::npos) return "not a plain file name";
  // "Product.original." and "PRODUC~1.ORI" may both open Product.original.
  if (name.back() == '.' || name.back() == ' ' || name.find('~') != std::string::npos)
    return "Windows may open it as another file";
  const std::string transient = "X_" + agentName;
  const std::string own[] = {infoName, infoName + ".sig", originalName, agentName, transient,
                             ChangeFileExt(transient, ".log")};
  for (const std::string& file : own)
    if (SUB::SameText(name, file)) return "the name of the agent's own file " + file;
  return {};
}

}  // namespace kestro
