#include "win/InetHTTP/inet_worker.h"

#include <algorithm>

#include "win/Utils/utils.h"

namespace kestro {

// ---- the shared state --------------------------------------------------------

// Owned by the caller and the worker together: whoever lets go last frees it.
struct InetWorker::Shared {
  LONG refs = 1;
  HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  Step step = nullptr;
  volatile LONG quit = 0;
  InetCall call;
  ~Shared() {
    if (go) CloseHandle(go);
    if (done) CloseHandle(done);
  }
};

namespace {

// Short enough that a cancel answers at once, long enough to cost nothing.
constexpr std::int64_t kPumpSliceMs = 50;

}  // namespace

// ---- the worker ------------------------------------------------------------------

void InetWorker::Let(Shared* shared) {
  if (InterlockedDecrement(&shared->refs) == 0) delete shared;
}

DWORD WINAPI InetWorker::Main(void* arg) {
  Shared* shared = static_cast<Shared*>(arg);
  HMODULE library = nullptr;
  while (WaitForSingleObject(shared->go, INFINITE) == WAIT_OBJECT_0 && !shared->quit) {
    shared->step(shared->call);
    // Held until this thread ends: a caller that stopped waiting may unload
    // the library while a call of this thread is still inside it.
    if (!library) GetModuleHandleExA(0, "wininet.dll", &library);
    SetEvent(shared->done);
  }
  Let(shared);  // closes the internet handles when the caller let go first
  if (library) FreeLibraryAndExitThread(library, 0);
  return 0;
}

// ---- interface -----------------------------------------------------------------

InetWorker::InetWorker() : shared_(new Shared) {
  HANDLE thread = nullptr;
  if (shared_->go && shared_->done) {
    shared_->refs = 2;
    thread = CreateThread(nullptr, 0, Main, shared_, 0, nullptr);
  }
  if (thread) {
    CloseHandle(thread);
    return;
  }
  shared_->refs = 1;
  if (shared_->go) CloseHandle(shared_->go);
  shared_->go = nullptr;  // the steps run on the calling thread
}

InetWorker::~InetWorker() {
  shared_->quit = 1;
  if (shared_->go) SetEvent(shared_->go);
  Let(shared_);
}

InetCall& InetWorker::Call() { return shared_->call; }

WaitEnd InetWorker::Run(Step step, std::int64_t deadline, const std::function<bool()>& stop) {
  if (!shared_->go) {
    if (stop && stop()) return WaitEnd::kStopped;
    step(shared_->call);
    return WaitEnd::kDone;
  }
  if (stop && stop()) return WaitEnd::kStopped;
  shared_->step = step;
  SetEvent(shared_->go);
  for (;;) {
    if (stop && stop()) return WaitEnd::kStopped;
    const std::int64_t left = deadline - MilliCounter();
    if (left <= 0) return WaitEnd::kLate;
    const DWORD slice = static_cast<DWORD>(std::min(left, kPumpSliceMs));
    if (MsgWaitForMultipleObjects(1, &shared_->done, FALSE, slice, QS_ALLINPUT) == WAIT_OBJECT_0)
      return WaitEnd::kDone;
    YieldX(0);
  }
}

}  // namespace kestro
