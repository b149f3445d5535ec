#include "core/Win64/os_identity.h"

#include "core/Utils/ksub.h"

namespace kestro {

// ---------------------------------------------------------------- name table
namespace {

struct NameRow {
  const char* version;
  const char* name;
  uint32_t bit;
};

constexpr NameRow kNTRows[] = {
    {"4.0", "NT", 0x8},        {"5.0", "2000", 0x10},    {"5.1", "XP", 0x20},
    {"5.2", "2003", 0x40},     {"6.0", "Vista", 0x80},   {"6.1", "7", 0x400},
    {"6.2", "8", 0x8000},      {"6.3", "8.1", 0x40000},  {"10.0", "10", 0x200000},
};
constexpr NameRow kNT64Rows[] = {
    {"5.2", "XP.64", 0x100},    {"6.0", "Vista.64", 0x200}, {"6.1", "7.64", 0x800},
    {"6.2", "8.64", 0x10000},   {"6.3", "8.1.64", 0x80000}, {"10.0", "10.64", 0x400000},
};
constexpr NameRow kServer64Rows[] = {
    {"6.0", "2008.64", 0x2000},  {"6.1", "2008R2.64", 0x4000},
    {"6.2", "2012.64", 0x20000}, {"6.3", "2012R2.64", 0x100000},
};
constexpr NameRow kServer32Rows[] = {{"6.0", "2008", 0x1000}};
constexpr NameRow k9xRows[] = {{"4.0", "95", 0x1}, {"4.10", "98", 0x2}, {"4.90", "ME", 0x4}};

template <size_t N>
bool ApplyRows(const NameRow (&rows)[N], const std::string& version, OSName& out) {
  for (const NameRow& row : rows)
    if (version == row.version) {
      out.shortName = row.name;
      out.osBit = row.bit;
      return true;
    }
  return false;
}

void NameNT(const std::string& v, bool is64, bool isServer, OSName& out) {
  if (!ApplyRows(kNTRows, v, out)) out.shortName = "NTx", out.osBit = 0x8;
  if (is64) ApplyRows(kNT64Rows, v, out);
  if (isServer) {
    if (is64)
      ApplyRows(kServer64Rows, v, out);
    else
      ApplyRows(kServer32Rows, v, out);
  }
}

void Name9x(std::string v, uint32_t build, OSName& out) {
  // The millennium edition reports 4.10 with build 3000.
  if (v == "4.10" && build == 3000) v = "4.90";
  if (!ApplyRows(k9xRows, v, out)) out.shortName = "9x", out.osBit = 0x1;
}

}  // namespace

std::string OSVersionText(const OSVersionRecord& r) {
  return std::to_string(r.major) + "." + std::to_string(r.minor);
}

OSName IdentifyOS(const OSVersionRecord& r, bool is64BitWindows, bool isServer) {
  OSName out;
  out.versionText = OSVersionText(r);
  out.servicePack = SUB::Trim(r.servicePack);
  out.build = r.build;
  if (r.platformId == kPlatformWin32s)
    out.shortName = "32S";
  else if (r.platformId == kPlatformWindows9x)
    Name9x(out.versionText, r.build, out);
  else if (r.platformId == kPlatformNT)
    NameNT(out.versionText, is64BitWindows, isServer, out);
  return out;
}

bool IsNTRecord(const OSVersionRecord& r) { return r.platformId == kPlatformNT; }

bool IsXPRecord(const OSVersionRecord& r) { return IsNTRecord(r) && OSVersionText(r) == "5.1"; }

bool IsWin8OrLaterRecord(const OSVersionRecord& r) {
  return IsNTRecord(r) && (r.major > 6 || (r.major == 6 && r.minor >= 2));
}

bool NeedsKernelVersionCorrection(const OSVersionRecord& r) { return r.major > 5 && r.minor > 2; }

OSVersionRecord WithKernelVersion(OSVersionRecord r, const std::string& kernelVersion) {
  const std::string list = "." + kernelVersion + ".";
  r.major = uint32_t(SUB::GetItemInt(list, 0, 0));
  r.minor = uint32_t(SUB::GetItemInt(list, 1, 0));
  r.build = uint32_t(SUB::GetItemInt(list, 2, 0));
  return r;
}

// ---------------------------------------------------------------- versions

std::string FixedVersionText(uint32_t ms, uint32_t ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

std::string FormatVersion(const std::string& text, int digits, int fields) {
  std::string kept;
  for (char c : text) {
    if (c == ',') c = '.';
    if ((c >= '0' && c <= '9') || c == '.') kept += c;
  }
  const std::string list = "." + kept + ".";
  std::string out;
  for (int i = 0; i < fields; ++i) {
    int64_t n = 0;
    if (!SUB::TryParseInt64(SUB::GetItem(list, i), n) || n < 0) n = 0;
    out += SUB::ZeroPad(n, size_t(digits > 0 ? digits : 0)) + ".";
  }
  size_t b = out.find_first_not_of('.');
  if (b == std::string::npos) return "";
  return out.substr(b, out.find_last_not_of('.') + 1 - b);
}

}  // namespace kestro
