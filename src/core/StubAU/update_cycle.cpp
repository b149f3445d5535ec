#include "core/StubAU/update_cycle.h"

#include "core/Utils/ksub.h"

namespace kestro {

std::string PreDownloadSecondKey(bool confirmInstall, bool downloadForce) {
  if (downloadForce) return confirmInstall ? "s19" : "s18";
  return confirmInstall ? "s13" : "s12";
}

std::string PreInstallKey(bool installForce) { return installForce ? "s20" : "s14"; }

ShutDownMethod ParseShutDownMethod(const std::string& value) {
  if (value == kShutDownMessageBox) return ShutDownMethod::kMessageBox;
  if (value == kShutDownWmClose) return ShutDownMethod::kWmClose;
  if (value == kShutDownWmQuit) return ShutDownMethod::kWmQuit;
  if (value == kShutDownTerminate) return ShutDownMethod::kTerminate;
  if (value == kShutDownNone) return ShutDownMethod::kNone;
  return ShutDownMethod::kOther;
}

std::string SafeUpdateFileName(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos) return "";
  if (name.find("..") != std::string::npos) return "";
  return name;
}

std::string OriginalInfoFileArg(const std::string& localInfo) {
  return "/OriginalInfoFile=\"" + localInfo + "\"";
}

ShutDownState StateAfterShutDown(bool runningAtStart, bool runningNow) {
  if (!runningAtStart) return kNotRunningAtStart;
  return runningNow ? kRunningAtStart : kClosedByUpdate;
}

bool RestartAfterUpdate(bool restartProcess, ShutDownState state) {
  return restartProcess && state == kClosedByUpdate;
}

std::string RestartTraceText(bool restart, bool answer, const std::string& path) {
  return SUB::BoolText(restart) + " " + SUB::BoolText(answer) + " >" + path + "<";
}

}  // namespace kestro
