#include "win/Files/files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

std::string FromBuffer(const char* buf, DWORD n, bool trailing) {
  std::string path = (n > 0 && n < MAX_PATH + 1) ? std::string(buf, n) : std::string();
  return path.empty() ? path : SetTrailingBackslash(path, trailing);
}

// Writes all of data at the current position; returns the bytes written.
int64_t WriteAll(HANDLE h, const char* data, int64_t size) {
  int64_t done = 0;
  while (done < size) {
    DWORD piece = DWORD(std::min<int64_t>(size - done, 1 << 30));
    DWORD written = 0;
    if (!WriteFile(h, data + done, piece, &written, nullptr) || written == 0) break;
    done += written;
  }
  return done;
}

struct FindCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};

// Calls visit for every entry a directory search for mask yields.
template <typename Visit>
void ForEachEntry(const std::string& mask, Visit visit) {
  WIN32_FIND_DATAA fd;
  HANDLE raw = FindFirstFileA(mask.c_str(), &fd);
  if (raw == INVALID_HANDLE_VALUE) return;
  std::unique_ptr<void, FindCloser> find(raw);
  do visit(fd);
  while (FindNextFileA(raw, &fd));
}

bool IsDotEntry(const char* name) {
  return !strcmp(name, ".") || !strcmp(name, "..");
}

// Whether a text of `count` bytes fits in this process: within what a
// string can address (a 32-bit process cannot hold 4 GB and more) and in
// memory free now. Asked before the string is made, so a huge file reads as
// unreadable instead of ending the program.
bool CanHoldInMemory(int64_t count) {
  if (uint64_t(count) >= std::string().max_size()) return false;
  void* probe = std::malloc(size_t(count) + 1);
  std::free(probe);
  return probe != nullptr;
}

}  // namespace

// ---------------------------------------------------------------- handles

UniqueHandle OpenForWriteShared(const std::string& path) {
  return UniqueHandle(CreateFileA(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueHandle OpenForReadShared(const std::string& path) {
  return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueHandle CreateAlways(const std::string& path) {
  return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
}

UniqueHandle OpenOrCreateForWrite(const std::string& path, bool& existed) {
  UniqueHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  existed = IsValid(h) && GetLastError() == ERROR_ALREADY_EXISTS;
  return h;
}

int64_t FileSeek(HANDLE h, int64_t offset, DWORD origin) {
  LARGE_INTEGER move, pos;
  move.QuadPart = offset;
  if (!SetFilePointerEx(h, move, &pos, origin)) return -1;
  return pos.QuadPart;
}

int64_t FileSizeOf(HANDLE h) {
  LARGE_INTEGER size;
  return GetFileSizeEx(h, &size) ? size.QuadPart : -1;
}

// ---------------------------------------------------------------- names

std::string SetTrailingBackslash(const std::string& path, bool add) {
  return SetTrailingBackslash(path, add, SystemLeadByte);
}

std::string RemoveTrailingBackslash(const std::string& path) {
  return RemoveTrailingBackslash(path, SystemLeadByte);
}

std::string ExePath(bool baseName) {
  // Long paths: grow the buffer until the name fits.
  std::vector<char> buf(MAX_PATH + 1);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), DWORD(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) {
      std::string path(buf.data(), n);
      return baseName ? FileBaseName(path) : path;
    }
    buf.resize(buf.size() * 2);
  }
}

std::string ExeDir(bool trailingBackslash) {
  return SetTrailingBackslash(ExtractFileDir(ExePath(), SystemLeadByte), trailingBackslash);
}

std::string WindowsDir(bool trailingBackslash) {
  char buf[MAX_PATH + 1];
  return FromBuffer(buf, GetWindowsDirectoryA(buf, sizeof buf), trailingBackslash);
}

std::string SystemDir(bool trailingBackslash) {
  char buf[MAX_PATH + 1];
  return FromBuffer(buf, GetSystemDirectoryA(buf, sizeof buf), trailingBackslash);
}

std::string TempDir(bool trailingBackslash) {
  char buf[MAX_PATH + 1];
  return FromBuffer(buf, GetTempPathA(sizeof buf, buf), trailingBackslash);
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
  std::string dir = SetTrailingBackslash(path, false);
  if (dir.empty()) return false;
  if (DirExists(dir)) return true;
  std::string parent = ExtractFileDir(dir, SystemLeadByte);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDirectoryA(dir.c_str(), nullptr) || DirExists(dir);
}

// ---------------------------------------------------------------- dates

uint32_t FileAge(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return uint32_t(date) << 16 | time;
}

bool FileSetDate(HANDLE h, uint32_t dosDateTime) {
  FILETIME local, utc;
  if (!IsValidDosDateTime(dosDateTime) ||
      !DosDateTimeToFileTime(WORD(dosDateTime >> 16), WORD(dosDateTime & 0xFFFF), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  return SetFileTime(h, nullptr, nullptr, &utc) != 0;
}

// ---------------------------------------------------------------- reading and writing

bool AppendToFile(const std::string& path, const std::string& text,
                  uint32_t fileDate) {
  UniqueHandle h = FileExists(path) ? OpenForWriteShared(path) : CreateAlways(path);
  // An empty text on a file that could not be opened is still a failure.
  if (!IsValid(h) || FileSeek(h.get(), 0, FILE_END) < 0) return false;
  bool ok = WriteAll(h.get(), text.data(), int64_t(text.size())) == int64_t(text.size());
  if (ok && fileDate != 0) FileSetDate(h.get(), fileDate);
  return ok;
}

bool WriteTextToFile(const std::string& path, const std::string& text,
                     uint32_t fileDate, bool append, const WriteProgress& progress) {
  UniqueHandle h;
  if (append) {
    h = FileExists(path) ? OpenForWriteShared(path) : CreateAlways(path);
    if (IsValid(h) && FileSeek(h.get(), 0, FILE_END) < 0) h.reset();
  } else {
    h = CreateAlways(path);
  }
  if (!IsValid(h)) return false;

  const int64_t total = int64_t(text.size());
  int64_t written = 0;
  const int64_t chunk = WriteChunkSize(total, bool(progress));
  if (chunk > 0) {
    bool cancel = false;
    if (progress) progress(total, 0, cancel);
    while (!cancel && written < total) {
      int64_t piece = std::min(chunk, total - written);
      int64_t done = WriteAll(h.get(), text.data() + written, piece);
      written += done;
      if (done == 0) break;
      if (progress) progress(total, written, cancel);
    }
  } else {
    written = WriteAll(h.get(), text.data(), total);
  }
  bool ok = written == total;
  if (ok && fileDate != 0) FileSetDate(h.get(), fileDate);
  return ok;
}

std::string ReadFileRange(const std::string& path, int64_t atMost, int64_t offset) {
  if (!FileExists(path)) return std::string();
  UniqueHandle h = OpenForReadShared(path);
  if (!IsValid(h)) return std::string();
  const int64_t size = FileSizeOf(h.get());
  int64_t count = size - offset;
  if (atMost != 0) count = std::min(count, atMost);
  if (offset < 0 || offset >= size || count <= 0) return std::string();
  if (FileSeek(h.get(), offset, FILE_BEGIN) != offset) return std::string();
  if (!CanHoldInMemory(count)) return std::string();  // too big for this process: unreadable
  std::string out(size_t(count), '\0');
  int64_t done = 0;
  while (done < count) {
    DWORD piece = DWORD(std::min<int64_t>(count - done, 1 << 30)), got = 0;
    if (!ReadFile(h.get(), &out[size_t(done)], piece, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done == count ? out : std::string();
}

std::string ReadWholeFile(const std::string& path) { return ReadFileRange(path, 0, 0); }

int64_t FileSizeByName(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE raw = FindFirstFileA(path.c_str(), &fd);
  if (raw == INVALID_HANDLE_VALUE) return 0;
  FindClose(raw);
  return int64_t(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow;
}

// ---------------------------------------------------------------- disk and deletion

double DiskFreeSpace(const std::string& path) {
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  static const FreeSpaceEx freeSpaceEx = [] {
    HMODULE k = GetModuleHandleA("kernel32.dll");
    return k ? reinterpret_cast<FreeSpaceEx>(
                   reinterpret_cast<void*>(GetProcAddress(k, "GetDiskFreeSpaceExA")))
             : nullptr;
  }();
  if (path.empty()) return 0;
  if (freeSpaceEx) {
    ULARGE_INTEGER avail, total, free;
    // A network path is asked at its share root: cutting it after the
    // server name, as DriveRoot does, names no volume at all.
    std::string unc = UncShareRoot(path);
    for (const std::string& root : {unc.empty() ? DriveRoot(path, false) : unc,
                                    DriveRoot(path, true)}) {
      if (freeSpaceEx(root.c_str(), &avail, &total, &free)) return double(avail.QuadPart);
    }
    return 0;
  }
  DWORD sectors, bytes, freeClusters, clusters;
  if (!GetDiskFreeSpaceA(DriveRoot(path, true).c_str(), &sectors, &bytes, &freeClusters,
                         &clusters))
    return 0;
  return double(sectors) * double(bytes) * double(freeClusters);
}

bool DeleteFiles(const std::string& mask, bool clearAttributes) {
  std::string folder = ExtractFilePath(mask, SystemLeadByte);
  bool any = false;
  ForEachEntry(mask, [&](const WIN32_FIND_DATAA& fd) {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    any = true;
    std::string file = folder + fd.cFileName;
    if (clearAttributes) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
  });
  return any;
}

bool DeleteTree(const std::string& folder, bool clearAttributes,
                const TreeProgress& progress) {
  if (folder.empty()) return false;
  const std::string dir = SetTrailingBackslash(folder, false);
  const bool existed = DirExists(dir);
  DeleteFiles(dir + "\\*.*", clearAttributes);

  // Names first, deletion after: the search is not disturbed by removals.
  std::vector<std::pair<std::string, bool>> subs;  // name, is a link
  ForEachEntry(dir + "\\*.*", [&](const WIN32_FIND_DATAA& fd) {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(fd.cFileName))
      subs.emplace_back(dir + "\\" + fd.cFileName,
                        (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
  });
  bool cancel = false;
  for (const auto& sub : subs) {
    if (cancel) break;
    // A junction or symbolic link leads elsewhere: remove the link only,
    // never what it points at.
    if (!sub.second) DeleteTree(sub.first, clearAttributes);
    if (progress) progress(cancel);
    RemoveDirectoryA(sub.first.c_str());
  }
  RemoveDirectoryA(dir.c_str());
  return existed && !DirExists(dir);
}

}  // namespace kestro
