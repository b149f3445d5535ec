// A debug viewer for tests: a real top-level window of class ".KDebug." that
// collects the pieces the debug channel of any process sends it, exactly as
// they arrive (one entry per atom).
//
//   ktest::DebugViewer viewer;                 // before starting the process
//   ktest::ChildProcess child("x.exe /S");
//   DWORD code = viewer.WaitForExit(child.Handle(), 10000);
//   EXPECT_TRUE(viewer.Contains("==== RunSetup"));
//
// The sender waits inside SendMessageA until the viewer has read the atom, so
// the test thread must pump messages while another process runs: use
// WaitForExit or PumpUntil, never a bare WaitForSingleObject.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"

namespace ktest {

class DebugViewer {
 public:
  struct Piece {
    WPARAM channel;
    std::string text;
  };

  DebugViewer() {
    message_ = RegisterWindowMessageA(".K_DebugMsg.");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = ".KDebug.";
    RegisterClassA(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExA(0, ".KDebug.", "Kestro test debug viewer", WS_POPUP, 0, 0, 1, 1,
                            nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~DebugViewer() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  DebugViewer(const DebugViewer&) = delete;
  DebugViewer& operator=(const DebugViewer&) = delete;

  HWND Window() const { return hwnd_; }
  const std::vector<Piece>& Pieces() const { return pieces_; }
  void Clear() { pieces_.clear(); }

  // Everything received, joined.
  std::string Text() const {
    std::string all;
    for (const auto& p : pieces_) all += p.text;
    return all;
  }
  // The received text split at CR LF (a last unfinished line included).
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string all = Text();
    size_t start = 0, at;
    while ((at = all.find("\r\n", start)) != std::string::npos) {
      lines.push_back(all.substr(start, at - start));
      start = at + 2;
    }
    if (start < all.size()) lines.push_back(all.substr(start));
    return lines;
  }
  bool Contains(const std::string& text) const {
    return Text().find(text) != std::string::npos;
  }

  // Handles pending messages (and the pieces sent meanwhile).
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // Pumps until done() or the timeout; returns done().
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start >= timeoutMs) return done();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
    return true;
  }
  // Pumps until the process ends; returns its exit code, or STILL_ACTIVE on
  // timeout.
  DWORD WaitForExit(HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
      DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, 20, QS_ALLINPUT);
      Pump();
      if (r == WAIT_OBJECT_0) break;
      if (GetTickCount() - start >= timeoutMs) return STILL_ACTIVE;
    }
    Pump();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<DebugViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == self->message_) {
      char name[256] = {};
      UINT n = GlobalGetAtomNameA(ATOM(lp), name, sizeof name);
      self->pieces_.push_back({wp, std::string(name, n)});
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }

  UINT message_ = 0;
  HWND hwnd_ = nullptr;
  std::vector<Piece> pieces_;
};

}  // namespace ktest
