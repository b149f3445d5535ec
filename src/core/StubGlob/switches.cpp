#include "core/StubGlob/switches.h"

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

const char kItemSep = '\x01';

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }


// Cuts the first argument off the way the C runtime splits argv[0]: a quoted
// run, or everything up to the first blank.
std::string DropFirstArgument(const std::string& line) {
  std::string s = SUB::Trim(line);
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
bool FindSwitch(const std::string& params, const std::string& rawName, const TextCase& textCase,
                std::string* value) {
  std::string name = SUB::Trim(rawName);
  if (name.empty()) return false;
  const char sw = name[0] == '-' ? '-' : '/';
  std::string bare;
  for (char c : name)
    if (c != sw) bare += c;
  if (bare.empty()) return false;
  if (bare.back() != '=') bare += '=';

  std::string list = SUB::ReplaceText(" " + params, "\"", "");
  list = SUB::ReplaceText(list, std::string(" ") + sw, std::string(1, kItemSep));
  list = kItemSep + list + kItemSep;
  // "/Name =value" is meant as the switch too.
  list = SUB::ReplaceUntilGone(list, " =", "=");

  size_t at = FindText(list, kItemSep + bare, textCase);
  if (at == std::string::npos) return false;
  size_t from = at + 1 + bare.size();
  size_t to = list.find(kItemSep, from);
  *value = SUB::Trim(list.substr(from, to - from));
  return true;
}

}  // namespace

// ---- reading -------------------------------------------------------------

std::string GetParams(const std::string& rawCmdLine, const std::string& exePath,
                      const TextCase& textCase) {
  const std::string name = ExtractFileName(exePath, textCase.isLead);
  std::string rest;
  size_t at;
  if (!name.empty() && (at = FindText(rawCmdLine, name + "\"", textCase)) != std::string::npos) {
    rest = rawCmdLine.substr(at + name.size() + 1);
  } else if (!name.empty() && (at = FindText(rawCmdLine, name, textCase)) != std::string::npos) {
    rest = rawCmdLine.substr(at + name.size());
  } else if (!exePath.empty() && (at = rawCmdLine.find(exePath)) != std::string::npos) {
    return SUB::Trim(rawCmdLine.substr(0, at) + rawCmdLine.substr(at + exePath.size()));
  } else {
    // Started by a name the file does not carry (no extension, a short 8.3
    // name): the program name must still not pass for a parameter.
    return SUB::Trim(DropFirstArgument(rawCmdLine));
  }
  rest = SUB::Trim(rest);
  return rest.size() == 1 ? std::string() : rest;
}

std::string GetSwitchValue(const std::string& params, const std::string& name,
                           const std::string& def, const TextCase& textCase) {
  std::string value;
  return FindSwitch(params, name, textCase, &value) ? value : def;
}

int64_t GetSwitchInt(const std::string& params, const std::string& name, int64_t def,
                     const TextCase& textCase) {
  std::string value;
  int64_t n;
  if (!FindSwitch(params, name, textCase, &value) || !SUB::TryParseInt64(value, n)) return def;
  return n;
}

bool HasSwitch(const std::string& params, const std::string& name, const TextCase& textCase) {
  const std::string flag = SUB::Trim(name);
  return !flag.empty() && FindText(params + " ", flag + " ", textCase) != std::string::npos;
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
    params = SUB::Trim(params + " " + SUB::Trim(engine.substr(star + 1)));
    engine = SUB::Trim(engine.substr(0, star));
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
                           const std::string& exePath, const TextCase& textCase) {
  // The span switches are the launcher's to give: the copy reads the first
  // occurrence, and a "/SpanCdLvl=1" passed on from the user would make
  // every copy start yet another copy instead of the setup.
  std::string own = params;
  for (const char* name : {kSwSpanCdLvl, kSwSpanDiskFName1})
    for (size_t at = FindText(own, name, textCase); at != std::string::npos; at = FindText(own, name, textCase)) {
      size_t next = own.find('/', at + 1);
      own.erase(at, next == std::string::npos ? std::string::npos : next - at);
    }
  std::string tail = SUB::Trim(own) + " " + kSwSpanCdLvl + "2 " + kSwSpanDiskFName1 + "\"" +
                     exePath + ".001\" " + kSwOriginExe + "\"" + exePath + "\"";
  return CommandPath(copyPath) + " " + SUB::Trim(tail);
}

}  // namespace kestro
