#include "win/StubAU/shut_down_product.h"

#include <windows.h>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/ProcessViewer/processviewer.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

// OK with an exclamation mark, and Cancel.
constexpr std::uint32_t kCloseNoticeFlags = MB_OKCANCEL | MB_ICONEXCLAMATION;

// Asks until the product is gone. The user may also decline: Cancel or
// closing the box ends the asking, and the update with it, instead of a
// notice that comes back for as long as the product runs.
bool AskUntilClosed(const std::string& path, const std::string& notice, const MsgBoxLook& look) {
  const std::string message = SUB::ReplaceText(notice, "PROG_NAME", ExtractFileName(path));
  PidTrace("s1=" + message + "<");
  while (IsProcessRunning(path)) {
    const int answer = ShowMsgBox(0, message, look.attention, 0, kCloseNoticeFlags, look.charset,
                                  look.buttons);
    if (answer != IDOK) {
      WriteLog("Shut Down Process() - declined by the user");
      return false;
    }
  }
  return true;
}

void CloseBy(ShutDownMethod method, const std::string& path) {
  switch (method) {
    case ShutDownMethod::kWmClose:
      CloseProcessByWmClose(path, true, 0);
      break;
    case ShutDownMethod::kWmQuit:
      CloseProcessByWmQuit(path, true);
      break;
    case ShutDownMethod::kTerminate:
      TerminateProcessByName(path, true);
      break;
    default:
      break;
  }
  if (method != ShutDownMethod::kNone) WaitForProcessEnd(path, 0);
}

}  // namespace

// ---- interface -----------------------------------------------------------------

ShutDownOutcome ShutDownProduct(const std::string& productPath, const std::string& method,
                                const std::string& notice, const MsgBoxLook& look) {
  ShutDownOutcome out;
  const bool runningAtStart = IsProcessRunning(productPath);
  WriteLog("Shut Down Process() - START  (" + productPath + ")  Method: " + method);
  const ShutDownMethod how = ParseShutDownMethod(method);
  if (how == ShutDownMethod::kMessageBox && !AskUntilClosed(productPath, notice, look)) {
    out.refused = true;
    out.state = StateAfterShutDown(runningAtStart, IsProcessRunning(productPath));
    return out;
  }
  PidTrace(" ==== PerformAutoUpdate-8 ====");
  CloseBy(how, productPath);
  PidTrace(" ==== PerformAutoUpdate-9 ====");
  WriteLog("Shut Down Process() - END");
  out.state = StateAfterShutDown(runningAtStart, IsProcessRunning(productPath));
  return out;
}

}  // namespace kestro
