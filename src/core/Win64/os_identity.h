// Naming the Windows that runs: the version record the system reports, the
// short names and one-bit codes the agent's settings use ("XP", "7.64",
// "2008R2.64"...), and the dotted version texts of executables.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows9x = 1;
constexpr uint32_t kPlatformNT = 2;

// The fields of the system's basic version record that the program reads.
struct OSVersionRecord {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;
  std::string servicePack;
};

struct OSName {
  std::string versionText;  // "6.1", "10.0"
  std::string shortName;    // "7", "7.64", "NTx", "" for an unknown platform
  std::string servicePack;  // trimmed
  uint32_t build = 0;
  uint32_t osBit = 0;       // exactly one bit set, 0 for "32S" and unknown
};

// "major.minor" in decimal.
std::string OSVersionText(const OSVersionRecord& r);
// The name table: plain rows first, then the 64-bit rows, then the server
// rows, each later pass overriding the earlier one where its version matches.
OSName IdentifyOS(const OSVersionRecord& r, bool is64BitWindows, bool isServer);

bool IsNTRecord(const OSVersionRecord& r);
bool IsXPRecord(const OSVersionRecord& r);
bool IsWin8OrLaterRecord(const OSVersionRecord& r);

// Newer systems report an older version to programs that do not declare
// them in their manifest; kernel32's product version tells the truth. Only
// records above 6.2 are corrected: 6.2 is what every undeclared program sees
// from 8 on, and is left alone.
bool NeedsKernelVersionCorrection(const OSVersionRecord& r);
// Takes major, minor and build from fields 0, 1 and 2 of a dotted version
// (0 where a field is missing).
OSVersionRecord WithKernelVersion(OSVersionRecord r, const std::string& kernelVersion);

// "%d.%d.%d.%d" of the two double words of a fixed file version.
std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant);
// Keeps digits and dots ("," counts as "."), then writes `fields` numbers,
// each zero-padded to `digits`: ("12.0.0.2", 2, 3) -> "12.00.00".
std::string FormatVersion(const std::string& text, int digits, int fields);
// Applied to version resources only when it changes something.
inline bool VersionNeedsFormatting(int digits, int fields) { return digits > 1 || fields < 4; }

}  // namespace kestro
