#include "win/Utils/exe_version.h"

#include <windows.h>

#include <vector>

#include "core/Utils/ksub.h"
#include "core/Win64/os_identity.h"
#include "win/Files/files.h"
#include "core/KDebug/trace.h"

namespace kestro {

namespace {

constexpr DWORD kMinVersionBuffer = 16384;
constexpr const char* kProductVersionItem = "ProductVersion";

std::string FileOrSelf(const std::string& file) { return file.empty() ? ExePath() : file; }

// The version block of a file; empty when it has none. minimum pads the
// buffer (some systems write past the size they report).
std::vector<char> VersionBlock(const std::string& file, DWORD minimum) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> block(size < minimum ? minimum : size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return {};
  return block;
}

// Four lower-case hexadecimal digits, as "%.4x" writes a WORD.
std::string Hex4(WORD value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) out[size_t(i)] = kDigits[value & 15];
  return out;
}

std::string ProductVersionOf(const std::string& file) {
  std::vector<char> block = VersionBlock(file, 0);
  if (block.empty()) return "";
  struct Translation { WORD language, codePage; };
  Translation* tr = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr),
                      &len) || !tr || len < sizeof *tr)
    return "";
  const std::string path = "\\StringFileInfo\\" + Hex4(tr->language) + Hex4(tr->codePage) + "\\" +
                           kProductVersionItem;
  char* value = nullptr;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) || !value)
    return "";
  return SUB::ReplaceText(std::string(value, strnlen(value, len)), ",", ".");
}

}  // namespace

std::string GetExeVersion(const std::string& file, int digits, int fields) {
  std::vector<char> block = VersionBlock(FileOrSelf(file), kMinVersionBuffer);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (block.empty() ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof *info)
    return "";
  std::string result = FixedVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
  if (VersionNeedsFormatting(digits, fields)) result = FormatVersion(result, digits, fields);
  return result;
}

std::string GetProductVersion(const std::string& file, int digits, int fields) {
  const std::string path = FileOrSelf(file);
  std::string result = ProductVersionOf(path);
  if (!result.empty() && VersionNeedsFormatting(digits, fields))
    result = FormatVersion(result, digits, fields);
  LogFields("QueryValue", path, kProductVersionItem, result);
  return result;
}

}  // namespace kestro
