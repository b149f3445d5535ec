// File and disk helpers shared by extraction, downloads, the agent and the
// logs. Every routine opens and closes what it uses; nothing stays open
// between calls, and no routine throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kestro {

// ---- handles ----
struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
inline bool IsValid(const UniqueHandle& h) {
  return h && h.get() != INVALID_HANDLE_VALUE;
}

// Existing files: write access, others may read and write (mode 0x41).
UniqueHandle OpenForWriteShared(const std::string& path);
// Existing files: read access, others may read and write (mode 0x40).
UniqueHandle OpenForReadShared(const std::string& path);
// New file, replacing an existing one; read and write, no sharing.
UniqueHandle CreateAlways(const std::string& path);
// An existing file opened for write like OpenForWriteShared, or a new one
// made; `existed` tells which (false when nothing could be opened, and
// GetLastError gives the open's reason). One name lookup instead of an
// existence check and two opens (each lookup of a missing name reads its folder).
UniqueHandle OpenOrCreateForWrite(const std::string& path, bool& existed);

// Returns the new position, -1 on failure.
int64_t FileSeek(HANDLE h, int64_t offset, DWORD origin);
int64_t FileSizeOf(HANDLE h);

// ---- folders and names ----
std::string ExePath(bool baseName = false);
std::string ExeDir(bool trailingBackslash = true);
std::string WindowsDir(bool trailingBackslash = true);
std::string SystemDir(bool trailingBackslash = true);
std::string TempDir(bool trailingBackslash = true);
// The core rules with the system code page's lead bytes.
std::string SetTrailingBackslash(const std::string& path, bool add);
std::string RemoveTrailingBackslash(const std::string& path);

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// Creates the folder and every missing parent; true when it exists after.
bool ForceDirectories(const std::string& path);

// ---- dates (packed DOS date-time, local time) ----
// 0 when the file is missing.
uint32_t FileAge(const std::string& path);
// Sets the last-write time; an invalid packed value changes nothing.
bool FileSetDate(HANDLE h, uint32_t dosDateTime);

// ---- reading and writing ----
// Progress of a chunked write: total length, bytes written so far, and a
// flag the callback sets to stop the write.
using WriteProgress = std::function<void(int64_t total, int64_t written, bool& cancel)>;

bool AppendToFile(const std::string& path, const std::string& text,
                  uint32_t fileDate = 0);
bool WriteTextToFile(const std::string& path, const std::string& text,
                     uint32_t fileDate = 0, bool append = false,
                     const WriteProgress& progress = nullptr);
// The bytes from offset to the end, or at most atMost of them (0 = no
// limit); empty when the range is not readable whole.
std::string ReadFileRange(const std::string& path, int64_t atMost = 0,
                          int64_t offset = 0);
std::string ReadWholeFile(const std::string& path);
// From a directory search, so it works on files opened without sharing;
// 0 when nothing matches.
int64_t FileSizeByName(const std::string& path);

// ---- disk and deletion ----
// Free bytes available to the caller on the volume of path; 0 on failure.
double DiskFreeSpace(const std::string& path);
// Deletes the files a mask matches (hidden, system and read-only included);
// true when at least one file matched.
bool DeleteFiles(const std::string& mask, bool clearAttributes);
using TreeProgress = std::function<void(bool& cancel)>;
// True when the folder existed and is gone afterwards.
bool DeleteTree(const std::string& folder, bool clearAttributes,
                const TreeProgress& progress = nullptr);

}  // namespace kestro
