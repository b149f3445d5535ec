#include "win/KDebug/kdebug.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/KDebug/debug_log_format.h"
#include "core/KDebug/trace.h"
#include "win/Files/files.h"

namespace kestro {

// ---------------------------------------------------------------- state
namespace {

struct DebugOutput {
  uint8_t mode = kDebugMode;
  std::string file = kDebugFileName;
};

DebugOutput& Output() {
  static DebugOutput output;
  return output;
}

UINT DebugMessage() {
  static const UINT message = RegisterWindowMessageA(kDebugMessageName);
  return message;
}

// Atoms hold at most 255 characters; a longer piece (only possible when
// DebugSend is called directly) goes over in several atoms.
constexpr std::size_t kAtomNameMax = 255;

void SendToViewer(const std::string& piece) {
  HWND viewer = FindWindowA(kDebugViewerClass, nullptr);
  if (!viewer) return;
  for (std::size_t at = 0; at < piece.size(); at += kAtomNameMax) {
    std::string part = piece.substr(at, kAtomNameMax);
    ATOM atom = GlobalAddAtomA(part.c_str());
    if (!atom) continue;
    SendMessageA(viewer, DebugMessage(), kDebugChannel, atom);
    GlobalDeleteAtom(atom);
  }
}

// ---------------------------------------------------------------- the device

// The text device that takes the program's standard output: a buffer of
// kDebugDeviceSize characters, delivered when it is full or flushed.
class DebugDevice : public TextOutput {
 public:
  DebugDevice() { InitializeCriticalSection(&lock_); }

  // The whole text is taken under the lock, so a thread that traces as well
  // cannot tear it apart. (The lock is re-entrant: Deliver takes it again.)
  void Write(const char* text, std::size_t size) override {
    EnterCriticalSection(&lock_);
    while (size > 0) {
      std::size_t take = std::min(size, kDebugDeviceSize - count_);
      std::memcpy(buffer_ + count_, text, take);
      count_ += take;
      text += take;
      size -= take;
      if (count_ == kDebugDeviceSize) Deliver();
    }
    LeaveCriticalSection(&lock_);
  }
  void Flush() override { Deliver(); }

 private:
  void Deliver() {
    EnterCriticalSection(&lock_);
    if (count_ > 0) {
      std::string piece(buffer_, count_);
      piece = piece.substr(0, piece.find('\0'));  // stops at a zero character
      DebugSend(piece);
    }
    count_ = 0;
    LeaveCriticalSection(&lock_);
  }

  CRITICAL_SECTION lock_;
  char buffer_[kDebugDeviceSize];
  std::size_t count_ = 0;
};

DebugDevice* g_device = nullptr;

// A last line without its end still goes out when the program ends.
void FlushAtExit() { g_device->Flush(); }

}  // namespace

// ---------------------------------------------------------------- interface

void InstallDebugChannel() {
  if (g_device) return;
  DebugMessage();
  Output();  // made before the exit flush is registered, so it outlives it
  g_device = new DebugDevice;  // never destroyed: traces may come until the end
  SetStandardOutput(g_device);
  std::atexit(FlushAtExit);
}

void SetDebugOutput(uint8_t mode, const std::string& file) {
  Output().mode = mode;
  Output().file = file;
}

void DebugSend(const std::string& piece) {
  const DebugOutput& out = Output();
  if (out.mode == 1 || out.mode == 2) AppendToFile(out.file, NormaliseLineBreaks(piece));
  if (out.mode == 0 || out.mode == 2) SendToViewer(piece);
}

std::string PidText() { return std::to_string(GetCurrentProcessId()); }

void PidTrace(const std::string& text) { Trace(PidText() + text); }

}  // namespace kestro
