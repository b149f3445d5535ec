// Blocking internet calls on a thread of their own. The calling thread (the
// user interface) hands the worker one step at a time and, while the step
// runs, keeps its windows alive and watches its "stop?" and a deadline: a
// cancel then answers within one pump slice, and a server that stalls, or
// sends a byte now and then, costs no more than the caller allows instead of
// the library's long time-outs per call.
//
// A step the caller stopped waiting for runs on to its end (the library
// cannot be interrupted under Wine); the worker then closes the internet
// handles and ends by itself. So a step reads and writes only the InetCall,
// which the worker co-owns, never the caller's stack; the worker keeps the
// internet library loaded until it has ended.
//
// Thread rule: the caller touches Call() only between steps, never after a
// Run that did not end with kDone.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/InetHTTP/read_pacer.h"
#include "win/InetHTTP/inet_session.h"

namespace kestro {

// What the steps of one request share.
struct InetCall {
  std::string url;
  InternetHandle session, file;
  ResponseFacts facts;
  std::int32_t wholeLength = -1;  // the size query's answer
  // One read: at most `most` bytes into `buffer` (kLargest bytes), paced.
  ReadPacer pacer;
  std::vector<char> buffer;
  DWORD most = 0, got = 0;
  bool ok = false;
  std::string reason;  // why the last call failed: the worker's own last error
};

enum class WaitEnd { kDone, kStopped, kLate };

class InetWorker {
 public:
  using Step = void (*)(InetCall&);
  InetWorker();
  ~InetWorker();  // lets the worker go
  InetWorker(const InetWorker&) = delete;
  InetWorker& operator=(const InetWorker&) = delete;

  InetCall& Call();
  // Runs step on the worker (on the calling thread when no worker could be
  // started) and pumps messages until it has finished (kDone), stop() turned
  // true (kStopped; a stop already asked for starts nothing) or the
  // millisecond counter reached deadline (kLate).
  WaitEnd Run(Step step, std::int64_t deadline, const std::function<bool()>& stop);

 private:
  struct Shared;
  static void Let(Shared* shared);
  static DWORD WINAPI Main(void* shared);
  Shared* shared_;
};

}  // namespace kestro
