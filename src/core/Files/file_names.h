// Rules for Windows path texts that need no Windows call: trailing
// backslashes (aware of double-byte code pages through a lead-byte test the
// caller supplies), file names, drive roots, and the chunking of big writes.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Tells whether a byte starts a two-byte character in the active code page.
// nullptr means a single-byte code page. The trailing-backslash routines
// take it without a default so that Windows code (win/Files) can offer the
// same names bound to the system code page.
using LeadByteTest = bool (*)(unsigned char);

// True when the last byte is a backslash that is not the second half of a
// double-byte character.
bool HasTrailingBackslash(const std::string& path, LeadByteTest isLead);
// Paths of 3 characters or more lose a trailing backslash, then one is added
// when asked: "C:\" -> "C:", "C:" + add -> "C:\", "\" stays.
std::string SetTrailingBackslash(const std::string& path, bool add,
                                 LeadByteTest isLead);
// "\" -> "", "C:\" -> "C:", "a\" -> "a".
std::string RemoveTrailingBackslash(const std::string& path,
                                    LeadByteTest isLead);

// The parts of a path split at its last "\" or ":".
std::string ExtractFileName(const std::string& path, LeadByteTest isLead = nullptr);
// Folder with its trailing backslash ("C:\a\b.txt" -> "C:\a\").
std::string ExtractFilePath(const std::string& path, LeadByteTest isLead = nullptr);
// Folder without it ("C:\a\b.txt" -> "C:\a", "C:\b.txt" -> "C:\").
std::string ExtractFileDir(const std::string& path, LeadByteTest isLead = nullptr);
// Replaces the extension (from the last "." of the file name) by ext.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// File name without folder and without its last extension (all of them when
// asked): "x\a.b.c" -> "a.b", or "a".
std::string FileBaseName(const std::string& path, bool all = false);

// "C:\Some\Folder" -> "C:\Some"; forced (or short paths) -> "C:\".
std::string DriveRoot(const std::string& path, bool force);
// "\\server\share\x" -> "\\server\share\"; empty for other paths.
std::string UncShareRoot(const std::string& path);

// Writes are split so a progress bar can move: one tenth of the text, at
// most 1 MB, and at least 1 KB (or the whole text when shorter). Returns 0
// when the text goes in one write (no callback and not above 1 MB).
constexpr int64_t kChunkedWriteLimit = 1048576;
int64_t WriteChunkSize(int64_t total, bool withCallback);

}  // namespace kestro
