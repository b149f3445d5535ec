// kengine: the sample install engine carried in a package and started by the
// stub. It honours the engine contract:
//   - reads "/TH_ID=" (the run id the stub chose),
//   - shows a window of class ".SDialog_Class_Name." + run id while it works
//     (the stub waits until that class is gone),
//   - deletes the global atom "AutoUpdateAtomTokenByKestro" + run id to report
//     success,
//   - exits with a chosen code.
// What it installs: every file beside it (the extraction folder, sub-folders
// included, itself excepted) is copied to the folder named by "/Target=".
//
// Switches (usually the default switches after "*" in the package):
//   /Target=<folder>   where to install; nothing is copied without it
//   /ExitCode=<n>      process exit code (default 0)
//   /KeepToken         leave the run token, i.e. report failure
//   /WorkMs=<n>        keep the progress window up at least this long
//   /Product=<name>    shown in the window caption
//   /EngineLog=<file>  record (default <Target>\kengine.log): line 1 the
//                      command line as received, then key=value lines
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/Files/file_names.h"
#include "win/StubGlob/switches.h"
#include "win/Files/files.h"
#include "win/StubSetup/engine_process.h"
#include "win/Utils/utils.h"

namespace {

// Relative paths of all files under root (sub-folders included).
void ListFiles(const std::string& root, const std::string& rel, std::vector<std::string>* out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + "\\" + rel + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(root, rel + name + "\\", out);
    else
      out->push_back(rel + name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

LRESULT CALLBACK DialogProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

struct ProgressWindow {
  HWND frame = nullptr, label = nullptr, bar = nullptr;

  ProgressWindow(const std::string& cls, const std::string& product, int steps) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DialogProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls.c_str();
    RegisterClassA(&wc);
    RECT wa;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0);
    const int w = 420, h = 130;
    frame = CreateWindowExA(0, cls.c_str(), ("Installing " + product).c_str(),
                            WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            wa.left + (wa.right - wa.left - w) / 2,
                            wa.top + (wa.bottom - wa.top - h) / 2, w, h, nullptr, nullptr,
                            wc.hInstance, nullptr);
    label = CreateWindowExA(0, "STATIC", "Preparing...", WS_CHILD | WS_VISIBLE, 16, 16, 380, 18,
                            frame, nullptr, wc.hInstance, nullptr);
    bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 16, 44, 380, 16, frame,
                          nullptr, wc.hInstance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageA(bar, PBM_SETRANGE32, 0, steps > 0 ? steps : 1);
    // SW_SHOWDEFAULT takes the stub's show mode: hidden setups stay hidden.
    ShowWindow(frame, SW_SHOWDEFAULT);
    UpdateWindow(frame);
  }
  ~ProgressWindow() {
    if (frame) DestroyWindow(frame);
  }
  void Step(const std::string& text, int pos) {
    SetWindowTextA(label, text.c_str());
    SendMessageA(bar, PBM_SETPOS, pos, 0);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace kestro;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);

  const std::string self = ExePath();
  const std::string raw = GetCommandLineA();
  const std::string params = GetParams(raw, self);
  const std::string runId = GetSwitchValue(params, kSwThreadId, "");
  const std::string target = GetSwitchValue(params, "/Target=", "");
  const std::string product = GetSwitchValue(params, "/Product=", "the sample product");
  const int exitCode = static_cast<int>(GetSwitchInt(params, "/ExitCode=", 0));
  const int64_t workMs = GetSwitchInt(params, "/WorkMs=", 300);
  const bool keepToken = HasSwitch(params, "/KeepToken");
  std::string logPath = GetSwitchValue(params, "/EngineLog=", "");
  if (logPath.empty() && !target.empty()) logPath = target + "\\kengine.log";

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  GetStartupInfoA(&si);

  const std::string source = ExtractFileDir(self);
  std::vector<std::string> all, files;
  ListFiles(source, "", &all);
  const std::string selfName = self.substr(source.size() + 1);
  for (const std::string& rel : all)
    if (lstrcmpiA(rel.c_str(), selfName.c_str()) != 0) files.push_back(rel);

  int copied = 0;
  {
    ProgressWindow win(kEngineDialogClassPrefix + runId, product, static_cast<int>(files.size()));
    if (!target.empty()) ForceDirectories(target);
    const DWORD perFile = files.empty() ? 0 : static_cast<DWORD>(workMs / int64_t(files.size()));
    int i = 0;
    for (const std::string& rel : files) {
      win.Step("Installing " + rel, ++i);
      if (!target.empty()) {
        std::string to = target + "\\" + rel;
        ForceDirectories(ExtractFileDir(to));
        if (CopyFileA((source + "\\" + rel).c_str(), to.c_str(), FALSE)) ++copied;
      }
      WaitWithMessages(perFile);
    }
    if (files.empty()) WaitWithMessages(static_cast<uint32_t>(workMs));
  }

  std::string token = "missing";
  if (ATOM a = GlobalFindAtomA((kRunTokenPrefix + runId).c_str())) {
    token = "kept";
    if (!keepToken) {
      GlobalDeleteAtom(a);
      token = "deleted";
    }
  }

  if (!logPath.empty()) {
    std::string log = raw + "\r\n";
    log += "runid=" + runId + "\r\n";
    log += "show=" + std::to_string((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1) + "\r\n";
    log += "files=" + std::to_string(files.size()) + "\r\n";
    log += "copied=" + std::to_string(copied) + "\r\n";
    log += "token=" + token + "\r\n";
    log += "exit=" + std::to_string(exitCode) + "\r\n";
    WriteTextToFile(logPath, log);
  }
  return exitCode;
}
