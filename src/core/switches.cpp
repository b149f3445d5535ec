#include "core/switches.h"

#include <cctype>
#include <limits>

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

const char kItemSep = '\x01';

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

size_t FindNoCase(const std::string& hay, const std::string& needle) {
  return Upper(hay).find(Upper(needle));
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
}

std::string FileNameOf(const std::string& path) {
  size_t p = path.find_last_of("\\/:");
  return p == std::string::npos ? path : path.substr(p + 1);
}

// Cuts the first argument off the way the C runtime splits argv[0]: a quoted
// run, or everything up to the first blank.
std::string DropFirstArgument(const std::string& line) {
  std::string s = Trim(line);
  size_t end;
  if (!s.empty() && s[0] == '"') {
    end = s.find('"', 1);
    end = end == std::string::npos ? s.size() : end + 1;
  } else {
    end = 0;
    while (end < s.size() && !IsBlank(s[end])) ++end;
  }
  return s.substr(end);
}

// Value of the switch, or false when it is absent.
bool FindSwitch(const std::string& params, const std::string& rawName, std::string* value) {
  std::string name = Trim(rawName);
  if (name.empty()) return false;
  const char sw = name[0] == '-' ? '-' : '/';
  std::string bare;
  for (char c : name)
    if (c != sw) bare += c;
  if (bare.empty()) return false;
  if (bare.back() != '=') bare += '=';

  std::string list = " " + params;
  ReplaceAll(list, "\"", "");
  ReplaceAll(list, std::string(" ") + sw, std::string(1, kItemSep));
  list = kItemSep + list + kItemSep;
  // "/Name =value" and "/Name= value" are both meant as the switch.
  while (list.find(" =") != std::string::npos) ReplaceAll(list, " =", "=");

  size_t at = FindNoCase(list, kItemSep + bare);
  if (at == std::string::npos) return false;
  size_t from = at + 1 + bare.size();
  size_t to = list.find(kItemSep, from);
  *value = Trim(list.substr(from, to - from));
  return true;
}

bool ParseInt64(const std::string& text, int64_t* out) {
  std::string s = Trim(text);
  bool neg = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t limit = neg ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                             : uint64_t(std::numeric_limits<int64_t>::max());
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d;
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return false;
    if (v > (limit - uint64_t(d)) / uint64_t(base)) return false;
    v = v * uint64_t(base) + uint64_t(d);
  }
  *out = neg ? int64_t(0 - v) : int64_t(v);
  return true;
}

}  // namespace

// ---- reading -------------------------------------------------------------

std::string GetParams(const std::string& rawCmdLine, const std::string& exePath) {
  const std::string name = FileNameOf(exePath);
  std::string rest;
  size_t at;
  if (!name.empty() && (at = FindNoCase(rawCmdLine, name + "\"")) != std::string::npos) {
    rest = rawCmdLine.substr(at + name.size() + 1);
  } else if (!name.empty() && (at = FindNoCase(rawCmdLine, name)) != std::string::npos) {
    rest = rawCmdLine.substr(at + name.size());
  } else if (!exePath.empty() && (at = rawCmdLine.find(exePath)) != std::string::npos) {
    return Trim(rawCmdLine.substr(0, at) + rawCmdLine.substr(at + exePath.size()));
  } else {
    // Started by a name the file does not carry (no extension, a short 8.3
    // name): the program name must still not pass for a parameter.
    return Trim(DropFirstArgument(rawCmdLine));
  }
  rest = Trim(rest);
  return rest.size() == 1 ? std::string() : rest;
}

std::string GetSwitchValue(const std::string& params, const std::string& name,
                           const std::string& def) {
  std::string value;
  return FindSwitch(params, name, &value) ? value : def;
}

int64_t GetSwitchInt(const std::string& params, const std::string& name, int64_t def) {
  std::string value;
  int64_t n;
  if (!FindSwitch(params, name, &value) || !ParseInt64(value, &n)) return def;
  return n;
}

bool HasSwitch(const std::string& params, const std::string& name) {
  const std::string flag = Trim(name);
  return !flag.empty() && FindNoCase(params + " ", flag + " ") != std::string::npos;
}

// ---- writing -------------------------------------------------------------

std::string RemoveSwitch(std::string line, const std::string& name) {
  if (name.empty()) return line;
  for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at)) {
    size_t next = line.find('/', at + 1);
    line.erase(at, next == std::string::npos ? std::string::npos : next - at);
  }
  return line;
}

std::string CommandPath(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

EngineLine BuildEngineLine(const EngineLineInput& in) {
  std::string engine = in.engineEntry;
  std::string params = in.params;
  size_t star = engine.find('*');
  if (star != std::string::npos) {
    params = Trim(params + " " + Trim(engine.substr(star + 1)));
    engine = Trim(engine.substr(0, star));
  }
  std::string folder = in.folder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';

  EngineLine out;
  out.line = CommandPath(folder + engine);
  if (!params.empty()) out.line += " " + params;
  out.runId = "_" + std::to_string(in.threadId);
  out.line += std::string(" ") + kSwThreadId + out.runId;
  if (out.line.find(kSwOriginExe) == std::string::npos)
    out.line += std::string(" ") + kSwOriginExe + "\"" + in.ownExe + "\"";
  if (in.isAgent) out.line += std::string(" ") + kSwAutoUpdateProg;
  out.line = RemoveSwitch(out.line, kSwSpanCdLvl);
  out.line = RemoveSwitch(out.line, kSwSpanDiskFName1);
  return out;
}

std::string BuildRelayLine(const std::string& copyPath, const std::string& params,
                           const std::string& exePath) {
  std::string tail = params + " " + kSwSpanCdLvl + "2 " + kSwSpanDiskFName1 + "\"" + exePath +
                     ".001\" " + kSwOriginExe + "\"" + exePath + "\"";
  return CommandPath(copyPath) + " " + Trim(tail);
}

}  // namespace kestro
