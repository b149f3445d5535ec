#include "core/StubAU/agent_lines.h"

#include "core/Utils/ksub.h"

namespace kestro {

std::string TransientCopyArgs(const std::string& overrides, const std::string& delay) {
  std::string args;
  if (!overrides.empty()) args += " /TRANSIENTx=" + overrides;
  if (!delay.empty()) args += " /SleepX=" + delay;
  return args;
}

std::string RestartArgs(const std::string& overrides) {
  return " /_ZZ=99 /WAIT=10 /TRANSIENT=" + overrides;
}

ListenerPair ParseListenerPair(const std::string& value) {
  const std::string list = ":" + value + ":";
  return {SUB::GetItemInt(list, 0, 0), SUB::GetItemInt(list, 1, 0)};
}

}  // namespace kestro
