// One download: open the address, check what the server answers, stream the
// body into a temporary file (or memory) while the thread's windows stay
// alive, and keep the result only when it arrived whole.
#include <algorithm>
#include <vector>

#include "core/CommUtils/bytes_rate.h"
#include "core/InetHTTP/read_pacer.h"
#include "win/Files/files.h"
#include "win/InetHTTP/inet_http.h"
#include "win/InetHTTP/inet_session.h"
#include "win/KDebug/kdebug.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

// The windows get their messages and the progress its refresh by time, not
// per read, so a fast connection is never held back by the user interface.
constexpr int64_t kPumpEveryMs = 20;
constexpr int64_t kRefreshEveryMs = 100;
constexpr unsigned kFirstFailingStatus = 400;
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
      : r_(r), url_(DownloadUrl(r.url)), name_(DownloadDisplayName(r.url)) {}
  DownloadResult Run();

 private:
  bool Open();
  bool Prepare();
  void Receive();
  bool Store(const char* data, DWORD n);
  void Refresh(std::uint64_t sinceLast);
  void Finish();
  bool Stopped() const { return IsDownloadAborted() || (r_.cancelled && r_.cancelled()); }
  bool ToFile() const { return !r_.destPath.empty(); }

  const DownloadRequest& r_;
  const std::string url_, name_;
  DownloadResult out_;
  InternetHandle session_, file_;
  ResponseFacts facts_;
  TempFile temp_;
  ProgressPlan plan_;
  int stepsShown_ = 0;
  std::unique_ptr<TBytesRate> rate_;
  bool aborted_ = false;
};

DownloadResult Download::Run() {
  PrimeUrl(url_);
  if (Open() && Prepare()) {
    Receive();
    Finish();
  }
  file_.reset();
  session_.reset();
  if (!out_.error.empty()) PidTrace(" HTTP_DownloadFile_Incremental: " + out_.error);
  return out_;
}

bool Download::Open() {
  session_ = OpenSession(kDownloadAgentName);
  if (!session_) {
    out_.error = kInitFailedText;
    return false;
  }
  SetDownloadTimeouts(session_.get());
  file_ = OpenUrl(session_.get(), url_);
  if (!file_) {
    out_.error = OpenFailedText(r_.url, InternetErrorReason(GetLastError()));
    return false;
  }
  facts_ = ReadResponseFacts(file_.get());
  out_.status = facts_.status;
  if (facts_.status >= kFirstFailingStatus)
    out_.error = HttpStatusText(r_.url, facts_.status, facts_.statusText);
  else if (facts_.length == 0)
    out_.error = FileNotFoundText(r_.url);
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
  std::vector<char> buf(ReadPacer::kLargest);
  ReadPacer pacer;
  int64_t lastPump = MilliCounter(), lastRefresh = lastPump;
  std::uint64_t refreshedAt = 0;
  for (;;) {
    const int64_t now = MilliCounter();
    if (now - lastPump >= kPumpEveryMs) {
      YieldX(0);
      lastPump = now;
    }
    if (Stopped()) {
      aborted_ = true;
      return;
    }
    // Waits until the connection holds something (or ended); what it holds
    // is read at once, a fast connection in the pacer's larger pieces.
    DWORD available = 0, n = 0;
    bool ok = inet::InternetQueryDataAvailable(file_.get(), &available, 0, 0);
    const DWORD ask = pacer.Ask(available);
    const int64_t readStart = MilliCounter();
    ok = ok && inet::InternetReadFile(file_.get(), buf.data(), ask, &n);
    if (!ok) {
      out_.error = ReadFailedText(name_, InternetErrorReason(GetLastError()));
      return;
    }
    if (n == 0) return;
    pacer.Took(ask, n, MilliCounter() - readStart);
    if (!Store(buf.data(), n)) return;
    if (now - lastRefresh >= kRefreshEveryMs) {
      Refresh(out_.received - refreshedAt);
      refreshedAt = out_.received;
      lastRefresh = now;
    }
  }
}

bool Download::Store(const char* data, DWORD n) {
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
  if (aborted_) out_.error = kDownloadAbortedText;
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
