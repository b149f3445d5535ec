#include "win/Utils/exe_version.h"

#include <windows.h>

#include <vector>

#include "core/Utils/ksub.h"
#include "core/Win64/os_identity.h"
#include "win/Files/files.h"
#include "win/Utils/system_library.h"
#include "core/KDebug/trace.h"

namespace kestro {

namespace {

constexpr DWORD kMinVersionBuffer = 16384;
constexpr const char* kProductVersionItem = "ProductVersion";

std::string FileOrSelf(const std::string& file) { return file.empty() ? ExePath() : file; }

// The version library is bound at run time from the system folder: it is not
// among the known DLLs that Windows always takes from its own folder, so a
// static import of it would be looked for in the program's folder first,
// before any code of the program could stop that.
template <typename Fn>
Fn VersionFunction(const char* name) {
  return SystemFunctionAs<Fn>("version.dll", name);
}

// The version block of a file; empty when it has none. minimum pads the
// buffer (some systems write past the size they report).
std::vector<char> VersionBlock(const std::string& file, DWORD minimum) {
  const auto infoSize = VersionFunction<decltype(&GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
  const auto info = VersionFunction<decltype(&GetFileVersionInfoA)>("GetFileVersionInfoA");
  DWORD ignored = 0;
  const DWORD size = infoSize && info ? infoSize(file.c_str(), &ignored) : 0;
  if (size == 0) return {};
  std::vector<char> block(size < minimum ? minimum : size);
  if (!info(file.c_str(), 0, size, block.data())) return {};
  return block;
}

// An item of a version block; false when the block lacks it.
bool QueryValue(std::vector<char>& block, const char* item, void** value, UINT* length) {
  const auto query = VersionFunction<decltype(&VerQueryValueA)>("VerQueryValueA");
  return query && query(block.data(), item, value, length);
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
  if (!QueryValue(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) || !tr ||
      len < sizeof *tr)
    return "";
  const std::string path = "\\StringFileInfo\\" + Hex4(tr->language) + Hex4(tr->codePage) + "\\" +
                           kProductVersionItem;
  char* value = nullptr;
  if (!QueryValue(block, path.c_str(), reinterpret_cast<void**>(&value), &len) || !value)
    return "";
  return SUB::ReplaceText(std::string(value, strnlen(value, len)), ",", ".");
}

}  // namespace

std::string GetExeVersion(const std::string& file, int digits, int fields) {
  std::vector<char> block = VersionBlock(FileOrSelf(file), kMinVersionBuffer);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (block.empty() ||
      !QueryValue(block, "\\", reinterpret_cast<void**>(&info), &len) || !info ||
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
