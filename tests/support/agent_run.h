// Helpers of the agent's end-to-end tests: an agent file packed by kpack
// around the real stub, its settings files, the process started as the
// resident (transient) copy, a listener window of the test's own for the
// agent's notifications, and the private messages that drive it.
//
//   ktest::DebugViewer viewer;
//   ktest::AgentSetup setup(dir, "Z:\\...\\server");   // packs the agent file
//   setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\n");
//   ktest::RunningAgent agent(setup, viewer);          // started with /SleepX=0
//   agent.Command(31, 0);                               // check now
//   agent.WaitForTrace(" GetOkToPerformAU=", 1);
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "debug_viewer.h"
#include "setup_road.h"
#include "ui_driver.h"
#include "win/KMsgBox/kmsgbox.h"

namespace ktest {

inline constexpr UINT kWmShutDown = 1123;
inline constexpr UINT kWmLocalMsg = 1124;
inline constexpr UINT kWmAgentMsg = 1125;
inline constexpr const char* kAgentName = "Product.AutoUpdate.exe";
inline constexpr const char* kAgentClass = ".AutoUpdate.X_Product.AutoUpdate";

// The agent clock of this moment (seconds since 30 December 1899, local).
inline long long AgentClockNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  const unsigned long long t = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  // FILETIME counts 100 ns from 1 January 1601; 109205 days lie between.
  return static_cast<long long>(t / 10000000ULL) - 109205LL * 86400;
}

// A value of a settings file as the agent's profile reader sees it.
inline std::string ReadIni(const std::string& file, const char* section, const char* key) {
  char buf[256] = {};
  GetPrivateProfileStringA(section, key, "", buf, sizeof buf, file.c_str());
  return buf;
}

// A box of the agent is complete once its thread takes messages again (its
// modal loop runs): it is created first and filled afterwards. Messages sent
// to the test meanwhile (trace lines) are still taken.
inline void WaitForBoxComplete(HWND box) {
  DWORD_PTR idle = 0;
  SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &idle);
}

// An agent file with its settings files in a scratch folder.
class AgentSetup {
 public:
  AgentSetup(std::string dir, std::string updateUrl) : dir_(std::move(dir)), url_(std::move(updateUrl)) {}

  // Packs the transient copy with kpack; returns kpack's exit code. Without
  // a --public-key among `extra` the agent is unsigned on purpose.
  long Pack(const std::string& extra = "") const {
    const bool keyed = extra.find("--public-key") != std::string::npos;
    const std::string cmd = "\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" +
                            AgentPath() + "\" --agent --agent-log --update-url \"" + url_ +
                            "\" --info-file Product.info --agent-name " + kAgentName +
                            " --product-token tok " + (keyed ? "" : "--unsigned-agent ") + extra;
    ChildProcess kpack(cmd);
    return kpack.Wait(60000);
  }
  std::string AgentPath() const { return dir_ + "\\X_" + kAgentName; }
  std::string Original() const { return dir_ + "\\Product.original"; }
  std::string LocalInfo() const { return dir_ + "\\Product.info"; }
  std::string Log() const { return dir_ + "\\X_Product.AutoUpdate.log"; }
  const std::string& Dir() const { return dir_; }
  void WriteOriginal(const std::string& text) const { WriteFileText(Original(), text); }

 private:
  std::string dir_, url_;
};

// A top-level window of the test's own that collects the notifications the
// agent posts: (code, value) pairs in order.
class Listener {
 public:
  Listener() {
    message_ = RegisterWindowMessageA("Kestro.Test.Listener");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Kestro.Test.Listener";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Listener() { DestroyWindow(hwnd_); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  HWND Window() const { return hwnd_; }
  UINT Message() const { return message_; }
  const std::vector<std::pair<WPARAM, LPARAM>>& Received() const { return got_; }
  int Count(WPARAM code, LPARAM value) const {
    int n = 0;
    for (const auto& g : got_) n += g.first == code && g.second == value;
    return n;
  }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Listener*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (self && m == self->message_) {
      self->got_.push_back({wp, lp});
      return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
  }
  HWND hwnd_ = nullptr;
  UINT message_ = 0;
  std::vector<std::pair<WPARAM, LPARAM>> got_;
};

// The agent file started as the resident copy, with the listener registered.
class RunningAgent {
 public:
  RunningAgent(const AgentSetup& setup, DebugViewer& viewer, const std::string& params = "/SleepX=0",
               DWORD startMs = 30000)
      : viewer_(viewer), process_("\"" + setup.AgentPath() + "\" " + params) {
    viewer_.PumpUntil([&] { return (window_ = FindWindowA(kAgentClass, nullptr)) != nullptr; }, startMs);
    if (window_)
      SendMessageA(window_, kWmLocalMsg, reinterpret_cast<WPARAM>(listener_.Window()),
                   listener_.Message());
  }

  HWND Window() const { return window_; }
  Listener& Notifications() { return listener_; }
  const ChildProcess& Process() const { return process_; }

  LRESULT Command(WPARAM command, LPARAM argument) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window_, kWmAgentMsg, command, argument, SMTO_NORMAL, 20000, &result);
    return static_cast<LRESULT>(result);
  }
  void ShutDown(WPARAM countdown) { PostMessageA(window_, kWmShutDown, countdown, 0); }

  // Trace lines that contain `text`.
  int TraceCount(const std::string& text) const {
    int n = 0;
    for (const std::string& line : viewer_.Lines()) n += line.find(text) != std::string::npos;
    return n;
  }
  // Waits until `text` was traced at least `count` times.
  bool WaitForTrace(const std::string& text, int count, DWORD timeoutMs = 30000) {
    return viewer_.PumpUntil([&] { return TraceCount(text) >= count; }, timeoutMs);
  }
  // The last traced line that contains `text` ("" when none).
  std::string LastTrace(const std::string& text) const {
    std::string last;
    for (const std::string& line : viewer_.Lines())
      if (line.find(text) != std::string::npos) last = line;
    return last;
  }
  DWORD WaitForExit(DWORD timeoutMs = 30000) { return viewer_.WaitForExit(process_.Handle(), timeoutMs); }
  bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
    return viewer_.PumpUntil(done, timeoutMs);
  }

 private:
  DebugViewer& viewer_;
  Listener listener_;
  ChildProcess process_;
  HWND window_ = nullptr;
};

// The agent's box whose text holds `text`, waited for while the viewer's
// messages flow (the agent traces to this thread while it works); null
// when none came in time.
inline HWND WaitForAgentBox(RunningAgent& agent, const std::string& text, DWORD timeoutMs = 60000) {
  HWND found = nullptr;
  agent.Pump(
      [&] {
        HWND w = FindWindowA(kestro::kMsgBoxClass, nullptr);
        if (!w || !IsWindowVisible(w) || !FindWindowExA(w, nullptr, "Button", nullptr)) return false;
        if (BoxText(w).find(text) == std::string::npos) return false;
        found = w;
        return true;
      },
      timeoutMs);
  return found;
}

// Answers a box of another process with a key, as its user would.
inline void AnswerBox(HWND box, WORD key) {
  BringToFront(box);
  PressKey(key);
}

// An offered release starts the update cycle (an announcement needs no
// answer). The UPDATE files of most agent tests belong to no product: the
// cycle refuses the download with "Bad Secret Token!" and ends once the user
// has answered that box; a download question is answered No. True when the
// check has ended.
inline bool AnswerForeignUpdate(RunningAgent& agent) {
  const int ended = agent.TraceCount(" ==== PerformShot-2 ====");
  const auto checkEnded = [&] { return agent.TraceCount(" ==== PerformShot-2 ====") > ended; };
  for (int i = 0; i < 300 && !checkEnded(); ++i) {
    if (HWND box = WaitForAgentBox(agent, "", 100)) {
      AnswerBox(box, BoxText(box).find("Bad Secret Token!") != std::string::npos ? VK_RETURN : 'N');
      break;
    }
  }
  return agent.Pump(checkEnded, 30000);
}

// A forced check (agent command 31); returns the decision code traced for
// it, -1 when none came.
inline int ForcedCheck(RunningAgent& agent) {
  const int before = agent.TraceCount(" GetOkToPerformAU=");
  agent.Command(31, 0);
  if (!agent.WaitForTrace(" GetOkToPerformAU=", before + 1)) return -1;
  const std::string line = agent.LastTrace(" GetOkToPerformAU=");
  const int code = atoi(line.substr(line.find('=') + 1).c_str());
  if (code == 6) {
    EXPECT_TRUE(AnswerForeignUpdate(agent));
  }
  return code;
}

}  // namespace ktest
