#include "win/StubWin/stubwin.h"

#include <commctrl.h>

#include "core/LangRes0/lang_keys.h"
#include "win/StubGlob/switches.h"
#include "core/KDebug/trace.h"
#include "win/KDebug/agent_log.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubGlob/stubglob.h"
#include "win/CommUtils/progbar.h"
#include "win/StubAU/agent_bridge.h"
#include "win/InetHTTP/inet_http.h"
#include "win/InetHTTP/wininet_library.h"
#include "win/StubSetup/stubsetup.h"
#include "win/Utils/utils.h"
#include "win/Utils/window_utils.h"

namespace kestro {

// ---- window state --------------------------------------------------------
namespace {

const char kMainIconName[] = "MainIcon";

HWND g_main = nullptr;
HWND g_label = nullptr;
HWND g_stepBar = nullptr;
HWND g_busyBar = nullptr;
HFONT g_labelFont = nullptr;
bool g_destroyed = false;
bool g_cancel = false;
bool g_loopEnded = false;
TickHandler g_tick;

// The user asked to stop (or the window is going): a running download ends.
void Cancel() {
  g_cancel = true;
  SetDownloadAbort(true);
}

int StatusLabelLeft(int charset) { return IsRightToLeftCharset(charset) ? 122 : 70; }
int BusyBarLeft(int charset) { return IsRightToLeftCharset(charset) ? 70 : 416; }

void ReplaceLabelFont(HFONT font) {
  SendMessageA(g_label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (g_labelFont) DeleteObject(g_labelFont);
  g_labelFont = font;
}

// ---- window procedure ----------------------------------------------------

void CreateChildren(HWND w) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  const int charset = OwnPackage().GetCharset();
  g_label = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, StatusLabelLeft(charset), 20,
                            340, 18, w, nullptr, inst, nullptr);
  g_stepBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 70, 38, 392, 13, w,
                              nullptr, inst, nullptr);
  g_busyBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, BusyBarLeft(charset), 20, 46, 13,
                              w, nullptr, inst, nullptr);
  SetTimer(w, kWorkTimerId, kWorkTimerMs, nullptr);
  ReplaceLabelFont(CreateFontA(-11, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, "Tahoma"));
}

// Sets the label's text, font and reading order.
void SetLabel(const std::string& text, const std::string& fontName, int charset, int fontSize) {
  if (!g_label) return;
  const bool rtl = IsRightToLeftCharset(charset);
  SetWindowLongA(g_label, GWL_EXSTYLE, rtl ? WS_EX_RTLREADING : 0);
  LONG style = GetWindowLongA(g_label, GWL_STYLE) & ~static_cast<LONG>(SS_TYPEMASK);
  SetWindowLongA(g_label, GWL_STYLE, style | (rtl ? SS_RIGHT : SS_LEFT));
  ReplaceLabelFont(CreateFontA(-PointsToPixels(fontSize), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                               static_cast<DWORD>(charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, fontName.c_str()));
  SetWindowTextA(g_label, text.c_str());
}

// ---- the host of the runs ------------------------------------------------

class MainWindowHost : public RunHost {
 public:
  void SetStatusText(const std::string& text, const std::string& fontName, int charset,
                     int fontSize) override {
    SetLabel(text, fontName, charset, fontSize);
  }
  ProgressSink Progress() override { return MakeStubProgressSink(g_stepBar, g_busyBar); }
  void ShowBusyBar() override {
    if (g_busyBar) ::ShowWindow(g_busyBar, SW_SHOWNA);
  }
  void SetStatusLine(const std::string& text) override {
    if (g_label) SetWindowTextA(g_label, text.c_str());
  }
  void ShowWindow(bool show) override {
    if (g_main) ::ShowWindow(g_main, show ? SW_SHOW : SW_HIDE);
  }
  void BringToFront() override {
    if (g_main) SetForegroundWindow(g_main);
  }
  void PostEnd() override {
    if (g_main) PostMessageA(g_main, WM_DESTROY, 0, 0);
  }
  bool Cancelled() const override { return g_cancel; }
  bool Closed() const override { return g_destroyed; }
  std::uintptr_t BoxOwner() const override {
    return g_main ? reinterpret_cast<std::uintptr_t>(g_main) : 1;
  }
};

MainWindowHost g_host;

// A one-shot handler is forgotten before it runs: a tick already queued
// when the timer stops must not start the work again.
void OnTick(HWND w) {
  const TickHandler tick = g_tick;
  if (!tick.run) return;
  if (tick.once) {
    KillTimer(w, kWorkTimerId);
    g_tick.run = nullptr;
  }
  tick.run(g_host);
}

void Paint(HWND w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT rc;
  GetClientRect(w, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), kMainIconName)) DrawIcon(dc, 18, 20, icon);
  EndPaint(w, &ps);
}

void DestroyHandling() {
  WriteLog(".. DestroyMainWindow() - Start");
  Cancel();
  // While a setup run is going on, the run removes its folder itself when the
  // engine has ended; deleting it under a running engine would pull its files
  // away mid-install.
  if (!SetupRunInProgress()) DeleteExtractionFolder();
  PostQuitMessage(0);
  g_destroyed = true;
  WriteLog(".. DestroyMainWindow() - End");
}

LRESULT CALLBACK MainWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateChildren(w);
      break;
    case WM_PAINT:
      Paint(w);
      return 0;
    case WM_TIMER:
      OnTick(w);
      break;
    case WM_CLOSE: {
      // The first close request only stops a running download; a second one
      // closes the window.
      WriteLog(".. CloseMainWindow() - Start");
      const bool refuse = !g_cancel;
      Cancel();
      WriteLog(".. CloseMainWindow() - End");
      if (refuse) return 0;
      break;
    }
    case WM_DESTROY:
    case WM_QUIT:
      // The window the loop leaves behind goes quietly: its end was handled
      // (or the run ended the loop itself), and a second round would log,
      // delete and post the quit message again.
      if (g_loopEnded) break;
      Trace(msg == WM_DESTROY ? "- wm_Destroy -" : "- wm_Quit -");
      DestroyHandling();
      break;
    case wm_ShutDown:
      SetAgentStopCountdown(wp);
      break;
    case wm_LocalMsg:
      SetAgentListener(reinterpret_cast<HWND>(wp), static_cast<UINT>(lp));
      NotifyListener(kNotifyMainWindow, reinterpret_cast<LPARAM>(w));
      NotifyListener(kNotifyCommandMsg, wm_AgentMsg);
      break;
    case wm_AgentMsg:
      return HandleAgentCommand(wp, lp);
    default:
      // Known from the first disc change on (extraction registers it).
      if (AutoPlayMessage() != 0 && msg == AutoPlayMessage()) return 1;
      break;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

// ---- interface -----------------------------------------------------------

void NotifyListener(WPARAM code, LPARAM value) { NotifyAgentListener(code, value); }

void RunMainWindow(const TickHandler& tick) {
  g_tick = tick;
  const int64_t sleep = GetSwitchInt(OwnParams(), kSwSleepX, -1);
  if (sleep >= 0) SetAgentStartDelay(sleep);

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = inst;
  wc.hIcon = LoadIconA(inst, kMainIconName);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = InstanceName().c_str();
  RegisterClassA(&wc);

  const RECT at = CenterInWorkArea(kMainWidth, kMainHeight);
  const std::string caption = OwnPackage().GetLangString(lang::kCaption);
  g_destroyed = false;
  g_loopEnded = false;
  g_main = CreateWindowExA(0, InstanceName().c_str(), caption.c_str(),
                           WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU, at.left, at.top, kMainWidth,
                           kMainHeight, nullptr, nullptr, inst, nullptr);
  SetMsgBoxFont(OwnPackage().GetFontName(), OwnPackage().GetFontSize(), OwnPackage().GetCharset());

  if (g_main) {
    ShowWindow(g_main, SW_HIDE);
    MSG m;
    while (!g_destroyed) {
      BOOL r = GetMessageA(&m, nullptr, 0, 0);
      if (r == 0 || r == -1) break;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    KillTimer(g_main, kWorkTimerId);
  }
  Cancel();
  g_loopEnded = true;
  NotifyListener(kNotifyLoopEnded, 0);
  UnloadInternetLibrary();
  if (g_main && IsWindow(g_main)) DestroyWindow(g_main);
  g_main = nullptr;
  if (g_labelFont) {
    DeleteObject(g_labelFont);
    g_labelFont = nullptr;
  }
}

}  // namespace kestro
