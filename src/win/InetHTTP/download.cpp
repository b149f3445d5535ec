// One download: open the address, check what the server answers, stream the
// body into a temporary file (or memory) while the thread's windows stay
// alive, and keep the result only when it arrived whole, within its bound
// and its time.
#include <algorithm>
#include <vector>

#include "core/CommUtils/bytes_rate.h"
#include "win/Files/files.h"
#include "win/InetHTTP/inet_http.h"
#include "win/InetHTTP/inet_steps.h"
#include "win/KDebug/kdebug.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

// The windows get their messages and the progress its refresh by time, not
// per read, so a fast connection is never held back by the user interface.
constexpr int64_t kPumpEveryMs = 20;
constexpr int64_t kRefreshEveryMs = 100;
constexpr int kWindowHandleFloor = 10;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Earlier temporary files of the same destination (left by a run that did
// not end); the destination itself and other files that share its name are
// never touched.
void DeleteOldTempFiles(const std::string& dest) {
  const std::string folder = FolderOf(dest);
  const std::string name = dest.substr(folder.size());
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dest + ".*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsDownloadTempName(name, fd.cFileName))
      DeleteFiles(folder + fd.cFileName, true);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
}

// The temporary file, open for the whole download; deleted unless kept.
class TempFile {
 public:
  ~TempFile() { Discard(); }
  bool Create(const std::string& path) {
    path_ = path;
    handle_ = CreateAlways(path);
    return IsValid(handle_);
  }
  bool Write(const char* data, DWORD n) {
    DWORD written = 0;
    return WriteFile(handle_.get(), data, n, &written, nullptr) && written == n;
  }
  int64_t Size() const { return FileSizeOf(handle_.get()); }
  // Closes and turns the file into dest; false (file deleted) on failure.
  bool KeepAs(const std::string& dest) {
    handle_.reset();
    if (!MoveFileExA(path_.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return false;
    path_.clear();
    return true;
  }
  void Discard() {
    handle_.reset();
    if (!path_.empty()) DeleteFiles(path_, true);
    path_.clear();
  }

 private:
  std::string path_;
  UniqueHandle handle_;
};

// ---- one download ----------------------------------------------------------

class Download {
 public:
  explicit Download(const DownloadRequest& r)
      : r_(r), url_(DownloadUrl(r.url)), name_(DownloadDisplayName(r.url)), cap_(BodyCap(r.maxBytes, !ToFile())) {}
  DownloadResult Run();

 private:
  bool Await(InetWorker::Step step);
  void SetDeadline(std::uint64_t bodyBytes);
  bool Open();
  bool Prepare();
  void Receive();
  bool Store(const char* data, DWORD n);
  void Refresh(std::uint64_t sinceLast);
  void Finish();
  bool Stopped() const { return IsDownloadAborted() || (r_.cancelled && r_.cancelled()); }
  bool ToFile() const { return !r_.destPath.empty(); }

  InetWorker worker_;
  InetCall& call_ = worker_.Call();  // between steps only
  const DownloadRequest& r_;
  const std::string url_, name_;
  const std::uint64_t cap_;
  int64_t start_ = 0, deadline_ = 0;
  DownloadResult out_;
  ResponseFacts facts_;
  TempFile temp_;
  ProgressPlan plan_;
  int stepsShown_ = 0;
  std::unique_ptr<TBytesRate> rate_;
};

DownloadResult Download::Run() {
  start_ = MilliCounter();
  SetDeadline(0);
  call_.url = url_;
  if (Await(PrimeStep) && Open() && Prepare()) {
    Receive();
    Finish();
  }
  if (!out_.error.empty()) PidTrace(" HTTP_DownloadFile_Incremental: " + out_.error);
  return out_;
}

// The step on the worker; false with the error when the caller stopped it
// or the time ran out first.
bool Download::Await(InetWorker::Step step) {
  switch (worker_.Run(step, deadline_, [this] { return Stopped(); })) {
    case WaitEnd::kDone:
      return true;
    case WaitEnd::kStopped:
      out_.error = kDownloadAbortedText;
      break;
    case WaitEnd::kLate:
      out_.error = TimedOutText(name_, deadline_ - start_);
      break;
  }
  return false;
}

void Download::SetDeadline(std::uint64_t bodyBytes) {
  deadline_ = start_ + (r_.timeLimitMs > 0 ? r_.timeLimitMs : DownloadTimeLimitMs(bodyBytes));
}

bool Download::Open() {
  if (!Await(OpenStep)) return false;
  if (!call_.session) {
    out_.error = kInitFailedText;
    return false;
  }
  if (!call_.file) {
    out_.error = OpenFailedText(r_.url, call_.reason);
    return false;
  }
  facts_ = call_.facts;
  out_.status = facts_.status;
  const bool announced = facts_.length != kUnknownSize;
  if (!IsWholeAnswer(facts_.status, false))
    out_.error = HttpStatusText(r_.url, facts_.status, facts_.statusText);
  else if (facts_.length == 0)
    out_.error = FileNotFoundText(r_.url);
  else if (announced && facts_.length > cap_)
    out_.error = TooLargeText(name_, facts_.length, cap_);
  SetDeadline(announced ? facts_.length : cap_);
  return out_.error.empty();
}

bool Download::Prepare() {
  if (reinterpret_cast<std::uintptr_t>(r_.window) > kWindowHandleFloor) ShowWindow(r_.window, SW_SHOW);
  if (r_.started) r_.started();
  if (ToFile()) {
    DeleteOldTempFiles(r_.destPath);
    const std::string tempPath = DownloadTempPath(r_.destPath, facts_.length, facts_.lastModified);
    if (!temp_.Create(tempPath)) {
      out_.error = WriteFailedText(tempPath);
      return false;
    }
  }
  plan_ = PlanProgress(facts_.length);
  const bool known = facts_.length != kUnknownSize;
  rate_.reset(new TBytesRate(known && facts_.length > std::uint64_t(kShowKilobytesAbove),
                             known && facts_.length > std::uint64_t(kShowMegabytesAbove)));
  if (r_.progress) {
    r_.progress->Start(plan_.position, plan_.range);
    r_.progress->SetCaption(name_);
  }
  return true;
}

void Download::Receive() {
  int64_t lastPump = MilliCounter(), lastRefresh = lastPump;
  std::uint64_t refreshedAt = 0;
  for (;;) {
    // A read that comes back at once pumps nothing while it waits.
    const int64_t now = MilliCounter();
    if (now - lastPump >= kPumpEveryMs) {
      YieldX(0);
      lastPump = now;
    }
    // One byte past the cap is enough to tell a body that is too long.
    call_.most = static_cast<DWORD>(std::min<std::uint64_t>(cap_ - out_.received + 1, ReadPacer::kLargest));
    if (!Await(ReadStep)) return;
    if (!call_.ok) {
      out_.error = ReadFailedText(name_, call_.reason);
      return;
    }
    if (call_.got == 0) return;
    if (!Store(call_.buffer.data(), call_.got)) return;
    if (now - lastRefresh >= kRefreshEveryMs) {
      Refresh(out_.received - refreshedAt);
      refreshedAt = out_.received;
      lastRefresh = now;
    }
  }
}

bool Download::Store(const char* data, DWORD n) {
  if (out_.received + n > cap_) {
    out_.error = TooLargeText(name_, out_.received + n, cap_);
    return false;
  }
  out_.received += n;
  if (!ToFile()) {
    out_.content.append(data, n);
    return true;
  }
  if (temp_.Write(data, n)) return true;
  out_.error = WriteFailedText(r_.destPath);
  return false;
}

void Download::Refresh(std::uint64_t sinceLast) {
  const std::string text = rate_->GetProgressText(static_cast<std::int64_t>(facts_.length),
                                                  static_cast<std::int64_t>(out_.received),
                                                  static_cast<std::int32_t>(std::min<std::uint64_t>(sinceLast, INT32_MAX)));
  if (!r_.progress) return;
  // A body of unknown length moves the bars once per refresh.
  const int steps = plan_.unit ? ProgressSteps(plan_, out_.received) : std::min(stepsShown_ + 1, plan_.range - 1);
  r_.progress->Advance(steps - stepsShown_, text);
  stepsShown_ = steps;
}

void Download::Finish() {
  if (out_.error.empty() && !ReceivedWhole(facts_.length, out_.received))
    out_.error = IncompleteText(name_, out_.received, facts_.length);
  if (out_.error.empty()) Refresh(0);
  if (!ToFile()) {
    if (!out_.error.empty()) out_.content.clear();
    return;
  }
  if (!out_.error.empty()) return;  // the temporary file goes with temp_
  if (temp_.Size() != static_cast<int64_t>(out_.received) || !temp_.KeepAs(r_.destPath))
    out_.error = WriteFailedText(r_.destPath);
}

}  // namespace

// ---- interface -----------------------------------------------------------------

DownloadResult DownloadFile(const DownloadRequest& request) {
  Download d(request);
  return d.Run();
}

void HTTP_DownloadFile_Incremental(HWND window, const std::string& url, const std::string& destPath,
                                   std::string& error, TProgBar* progress, std::string& content) {
  DownloadRequest r;
  r.url = url;
  r.destPath = destPath;
  r.window = window;
  r.progress = progress;
  DownloadResult result = DownloadFile(r);
  error = result.error;
  content = std::move(result.content);
}

}  // namespace kestro
