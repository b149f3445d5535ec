#include "win/UnPack/unpack.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"
#include "core/UnPack/package_blocks.h"
#include "core/PackX/package_layout.h"
#include "core/KDebug/trace.h"
#include "win/Files/files.h"
#include "win/KDebug/kdebug.h"
#include "win/PackX/handle_source.h"
#include "win/Files/eject_cd.h"
#include "win/Utils/registry.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

// ---- helpers ---------------------------------------------------------------------

int g_failedWrites = 0;

constexpr uint32_t kDiscPollMs = 500;

bool EndsWithIgnoreCase(const std::string& text, const std::string& suffix) {
  return SUB::EndsWith(text, suffix, true);
}

// Windows takes "/" for a folder separator as much as "\\".
std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The agent name comes from the package, so only its file-name part may
// count, with either separator; a part that names no file ("..") writes no
// agent file.
std::string AgentFileName(const std::string& agentName) {
  const std::string name = ExtractFileName(WithBackslashes(agentName));
  return IsSafeRelativeName(name) ? name : std::string();
}

// Writes all of it or fails with the system's error code.
bool WriteAll(HANDLE out, const void* data, size_t size, DWORD& error) {
  DWORD written = 0;
  if (WriteFile(out, data, DWORD(size), &written, nullptr) && written == size) return true;
  error = GetLastError();
  if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
  return false;
}

// The agent's bytes: the stub and the header blocks with the package-end
// pointer cleared, then the trailer with the agent flag.
bool WriteAgentBytes(HANDLE out, ByteSource& volume, uint64_t firstFileBlock, PackageTrailer trailer,
                     DWORD& error) {
  std::vector<uint8_t> piece(kReadPiece);
  for (uint64_t at = 0; at < firstFileBlock;) {
    const size_t n = volume.ReadAt(at, piece.data(), size_t(std::min<uint64_t>(piece.size(), firstFileBlock - at)));
    if (n == 0) {
      error = ERROR_READ_FAULT;
      return false;
    }
    for (uint64_t i = kPackageEndLowOffset; i < kPackageEndLowOffset + 4; ++i)
      if (i >= at && i < at + n) piece[size_t(i - at)] = 0;
    if (!WriteAll(out, piece.data(), n, error)) return false;
    at += n;
  }
  trailer.raw[kTrIsAgent] = 1;
  trailer.SetU32(kTrLength, kTrailerSize);
  return WriteAll(out, trailer.raw.data(), trailer.raw.size(), error);
}

// ---- one extraction ---------------------------------------------------------------

class Extraction : public BlockSink {
 public:
  Extraction(SetupPackage& package, const ExtractRequest& r) : package_(package), r_(r) {}

  ExtractResult Run();

  // BlockSink: each file block is appended to its target in pieces. The
  // window's messages are taken once per tick of the system clock, not
  // after every piece: each look costs a trip to the window system.
  void Pump() override {
    const DWORD now = GetTickCount();
    if (now - lastPump_ < kPumpEveryMs) return;
    lastPump_ = now;
    YieldX(0);
  }
  void BeginFile(const FileBlockHeader& h) override;
  void FileData(const uint8_t* data, size_t size) override;
  void EndFile() override;

 private:
  void Progress(ProgressEvent event, int64_t range = 0) {
    if (r_.progress) r_.progress(event, range, 0);
  }
  bool Box(ExtractBox kind, const std::string& text, const std::string& caption) {
    if (r_.messageBox) return r_.messageBox(kind, text, caption, r_.buttons, r_.charset);
    UINT type = kind == ExtractBox::kError ? MB_OK | MB_ICONERROR : MB_OKCANCEL | MB_ICONINFORMATION;
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), type | MB_TASKMODAL) == IDOK;
  }

  bool ExtractVolume(const std::string& path, unsigned number, PackageTrailer& trailer);
  bool ExtractFrom(ByteSource& volume, const std::string& path, unsigned number,
                   const PackageTrailer& trailer);
  bool Unreadable(const std::string& path, unsigned long error);
  bool AskForVolume(const std::string& path, unsigned number);
  void WriteAgentFile(uint64_t firstFileBlock);
  void ReportWriteFailure(DWORD error);

  SetupPackage& package_;
  const ExtractRequest& r_;
  ExtractResult result_;

  static constexpr DWORD kPumpEveryMs = 10;
  DWORD lastPump_ = GetTickCount() - kPumpEveryMs;

  // The file being written.
  UniqueHandle target_;
  std::string targetPath_;
  uint32_t targetTime_ = 0;
  uint64_t dataSize_ = 0;
  bool writeFailed_ = false;
  DWORD writeError_ = 0;
};

void Extraction::BeginFile(const FileBlockHeader& h) {
  targetPath_ = r_.destFolder + "\\" + WithBackslashes(h.name);
  targetTime_ = h.dosTime;
  dataSize_ = 0;
  writeFailed_ = false;
  // Names with folders need their folders; the destination itself was made.
  if (h.name.find_first_of("\\/") != std::string::npos) ForceDirectories(ExtractFileDir(targetPath_));
  // A block of a file met before (a file split across volumes) is appended.
  bool existed = false;
  target_ = OpenOrCreateForWrite(targetPath_, existed);
  if (!existed) Progress(ProgressEvent::kStep);
  if (!IsValid(target_) || FileSeek(target_.get(), 0, FILE_END) < 0) {
    writeFailed_ = true;
    writeError_ = GetLastError();
  }
}

void Extraction::FileData(const uint8_t* data, size_t size) {
  dataSize_ += size;
  if (writeFailed_) return;
  if (!WriteAll(target_.get(), data, size, writeError_)) writeFailed_ = true;
}

void Extraction::EndFile() {
  if (!writeFailed_ && targetTime_ != 0) FileSetDate(target_.get(), targetTime_);
  target_.reset();
  if (writeFailed_) ReportWriteFailure(writeError_);
}

void Extraction::ReportWriteFailure(DWORD error) {
  if (++g_failedWrites != 1) return;
  const std::string text = targetPath_ + kUnableToSave + SystemErrorText(error) + "<P>" +
                           "  Data Size: <T>" + std::to_string(dataSize_) + " Bytes<P>" +
                           "  File Size:  <T>" + std::to_string(FileSizeByName(targetPath_)) + " Bytes<P>" +
                           "  Bytes Free: <T>" + SUB::DecimalToText(DiskFreeSpace(targetPath_), 0) + " Bytes";
  Box(ExtractBox::kError, text, "Error");
}

// One volume: false stops the whole extraction.
// Volume 1 is the package the run opened; further volumes are opened here,
// one at a time.
bool Extraction::ExtractVolume(const std::string& path, unsigned number, PackageTrailer& trailer) {
  trailer = PackageTrailer{};
  if (!FileExists(path)) return true;
  if (number == 1) {
    if (!package_.IsOpen()) return Unreadable(path, package_.OpenError());
    trailer = package_.Trailer();
    Trace("FileInfo.FilesCount=" + std::to_string(trailer.FileCount()));
    return ExtractFrom(package_.Source(), path, number, trailer);
  }
  HandleSource volume(path);
  if (!volume.IsOpen()) return Unreadable(path, GetLastError());
  ReadPackageTrailer(volume, trailer);
  return ExtractFrom(volume, path, number, trailer);
}

// There but not readable (locked without sharing, no access): nothing of it
// can be checked, so it fails like a checksum mismatch.
bool Extraction::Unreadable(const std::string& path, unsigned long error) {
  PidTrace(" Volume cannot be opened: " + path + " (" + SystemErrorText(error) + ")");
  result_.checksumOk = false;
  return false;
}

bool Extraction::ExtractFrom(ByteSource& volume, const std::string& path, unsigned number,
                             const PackageTrailer& trailer) {
  result_.checksumOk = ChecksumAccepted(ComputeChecksum(volume, trailer.Length()), trailer.Checksum());
  if (!result_.checksumOk) return false;

  const uint64_t dataEnd = GetDataEnd(volume);
  Trace("FileLen=" + std::to_string(dataEnd));
  if (!trailer.HasMagic()) return true;
  if (number == 1) Progress(ProgressEvent::kStart, trailer.FileCount());

  if (!ForceDirectories(r_.destFolder)) {
    const DWORD error = GetLastError();
    Box(ExtractBox::kError, r_.destFolder + kUnableToCreateDir + SystemErrorText(error), "Error");
  }

  const VolumeWalk walk =
      WalkVolumeBlocks(volume, trailer.PackageStart(), dataEnd, trailer.HeaderCount(), *this);
  target_.reset();
  if (!walk.engineEntry.empty()) result_.engineEntry = walk.engineEntry;
  if (walk.status != VolumeStatus::kComplete) {
    // A damaged block or a name outside the folder: the package cannot be
    // trusted, so it is reported like a checksum failure.
    PidTrace(std::string(" Package refused: ") + (walk.status == VolumeStatus::kDamaged ? "damaged block" : "unsafe file name") +
          " in " + path);
    result_.refused = true;
    result_.checksumOk = false;
    return false;
  }

  const std::string agent = AgentFileName(r_.agentName);
  if (number == 1 && !agent.empty() &&
      (EndsWithIgnoreCase(path, ".exe") || EndsWithIgnoreCase(path, ".exe.001")))
    WriteAgentFile(walk.firstFileBlock);
  return true;
}

// The agent file holds no file blocks. One that could not be written whole
// is removed: cut short, it would still read as a valid agent.
void Extraction::WriteAgentFile(uint64_t firstFileBlock) {
  const PackageTrailer& trailer = package_.Trailer();
  ByteSource& volume = package_.Source();
  if (firstFileBlock == 0) return;  // the header blocks were never complete
  const std::string path = r_.destFolder + "\\" + AgentFileName(r_.agentName);
  UniqueHandle out = CreateAlways(path);
  DWORD error = IsValid(out) ? ERROR_SUCCESS : GetLastError();
  if (IsValid(out) && WriteAgentBytes(out.get(), volume, firstFileBlock, trailer, error)) {
    FileSetDate(out.get(), FileAge(package_.Path()));
    PidTrace(" New AU-Agent: " + path);
    return;
  }
  if (IsValid(out)) {
    out.reset();
    DeleteFileA(path.c_str());
  }
  PidTrace(" AU-Agent not written: " + path + " (" + SystemErrorText(error) + ")");
}

// Asks until the volume is there; false when the user cancelled.
bool Extraction::AskForVolume(const std::string& path, unsigned number) {
  if (!r_.alwaysPrompt && FileExists(path)) return true;
  if (r_.ejectCd) r_.ejectCd(path);
  else EjectCd(path);
  const std::string text = SUB::ReplaceText(r_.discPrompt, kDiskNumTag, std::to_string(number));
  do {
    if (!Box(ExtractBox::kDiscPrompt, text, r_.discCaption)) return false;
    WaitWithMessages(kDiscPollMs);
  } while (!FileExists(path));
  return true;
}

ExtractResult Extraction::Run() {
  const DWORD started = GetTickCount();
  const std::string base = VolumeBasePath(package_.Path());
  Progress(ProgressEvent::kStart);
  std::string path = package_.Path();
  for (unsigned number = 1;; ) {
    PackageTrailer trailer;
    if (!ExtractVolume(path, number, trailer)) break;
    if (!trailer.Flag(kFlagNextVolume)) break;
    StartAutoPlaySuppression();
    path = VolumePath(base, ++number);
    if (!AskForVolume(path, number)) {
      result_.cancelled = true;
      break;
    }
    Progress(ProgressEvent::kStep);
  }
  if (result_.cancelled || !result_.checksumOk) result_.engineEntry.clear();
  Trace("UnCompressTime: " + std::to_string(GetTickCount() - started) + " MS");
  Trace("");
  WaitWithMessages(r_.settleMs);
  return result_;
}

}  // namespace

ExtractResult ExtractPackage(SetupPackage& package, const ExtractRequest& request) {
  return Extraction(package, request).Run();
}

int FailedWriteCount() { return g_failedWrites; }
void ResetFailedWriteCount() { g_failedWrites = 0; }

}  // namespace kestro
