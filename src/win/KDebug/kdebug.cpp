#include "win/KDebug/kdebug.h"

#include <windows.h>

#include <iostream>
#include <streambuf>

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

// The text device on std::cout. Its write and flush routine is Deliver.
class DebugDevice : public std::streambuf {
 public:
  DebugDevice() {
    InitializeCriticalSection(&lock_);
    setp(buffer_, buffer_ + kDebugDeviceSize);
  }

 protected:
  int_type overflow(int_type c) override {
    Deliver();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    Deliver();
    return 0;
  }
  // One write of a line fills the buffer under the lock, so a thread that
  // traces as well cannot tear the line apart. (The lock is re-entrant:
  // overflow delivers inside it.)
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    EnterCriticalSection(&lock_);
    std::streamsize written = std::streambuf::xsputn(s, n);
    LeaveCriticalSection(&lock_);
    return written;
  }

 private:
  void Deliver() {
    EnterCriticalSection(&lock_);
    std::size_t count = std::size_t(pptr() - pbase());
    if (count > 0) {
      std::string piece(pbase(), count);
      piece = piece.substr(0, piece.find('\0'));  // stops at a zero character
      try {
        DebugSend(piece);
      } catch (...) {
        // A trace never takes the program down; the piece is dropped.
      }
    }
    setp(buffer_, buffer_ + kDebugDeviceSize);
    LeaveCriticalSection(&lock_);
  }

  CRITICAL_SECTION lock_;
  char buffer_[kDebugDeviceSize];
};

}  // namespace

// ---------------------------------------------------------------- interface

void InstallDebugChannel() {
  // Never destroyed: the runtime flushes std::cout after static objects die.
  static DebugDevice* device = [] {
    DebugMessage();
    auto* d = new DebugDevice;
    std::cout.rdbuf(d);
    return d;
  }();
  (void)device;
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

void LogException(const std::exception& e, const std::string& where,
                  const std::string& detail) {
  Trace(ExceptionLine(where, detail, e.what()));
}

void LogFields(const std::string& a, const std::string& b, const std::string& c,
               const std::string& d) {
  Trace(FieldsLine(a, b, c, d));
}

std::string PidText() { return std::to_string(GetCurrentProcessId()); }

void PidTrace(const std::string& text) { Trace(PidText() + text); }

}  // namespace kestro
