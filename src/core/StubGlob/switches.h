// Command-line switches: how the stub reads its own raw command line and how
// it writes the lines of the programs it starts (install engine, relay copy).
//
// Syntax: "/" name ["=" value]. Names are matched ignoring case; a name given
// with a leading "-" is looked up among "-" switches. A value runs to the next
// blank followed by the switch character, so it may contain blanks; double
// quotes are dropped before matching, so a quoted path comes back bare.
//
// The readers compare in the terms of the code page (textCase); Windows code
// calls the same names without it, bound to the system code page
// (win/StubGlob/switches.h).
#pragma once
#include <cstdint>
#include <string>

#include "core/Utils/text_case.h"

namespace kestro {

// Switch names shared by the stub, its relay copy and the install engine.
inline constexpr const char* kSwSpanCdLvl = "/SpanCdLvl=";
inline constexpr const char* kSwSpanDiskFName1 = "/SpanDiskFName1=";
inline constexpr const char* kSwHide = "/hide";
inline constexpr const char* kSwSleepX = "/SleepX=";
inline constexpr const char* kSwOriginExe = "/OriginExe=";
inline constexpr const char* kSwThreadId = "/TH_ID=";
inline constexpr const char* kSwAutoUpdateProg = "/AutoUpdateProg";

// The raw command line without the program name, trimmed. exePath is the
// running executable's full path (its file name is what gets cut off).
std::string GetParams(const std::string& rawCmdLine, const std::string& exePath,
                      const TextCase& textCase);

// Value of a switch, trimmed; def when absent, "" when present without value.
// The first occurrence wins.
std::string GetSwitchValue(const std::string& params, const std::string& name,
                           const std::string& def, const TextCase& textCase);

// Value as a 64-bit integer (decimal, or hexadecimal after "$"); def when the
// switch is absent, empty or not a number.
int64_t GetSwitchInt(const std::string& params, const std::string& name, int64_t def,
                     const TextCase& textCase);

// True when the flag stands in the parameters followed by a blank or the end.
bool HasSwitch(const std::string& params, const std::string& name, const TextCase& textCase);

// Removes every occurrence of the switch (exact case) with its value: from the
// name up to, not including, the next "/" or the end of the line.
std::string RemoveSwitch(std::string line, const std::string& name);

// A program path as written at the head of a command line: bare, or quoted
// when it holds a blank (an unquoted path with blanks lets the system try to
// start "C:\Program.exe" and the like first).
std::string CommandPath(const std::string& path);

struct EngineLineInput {
  std::string folder;       // extraction folder
  std::string engineEntry;  // name, optionally "*" and default switches
  std::string params;       // the stub's own parameters
  uint32_t threadId = 0;    // names the run token
  std::string ownExe;       // the setup file the user started
  bool isAgent = false;     // the stub runs as an update agent
};

struct EngineLine {
  std::string line;   // the full command line for CreateProcessA
  std::string runId;  // "_" + thread id: suffix of the run token and dialog class
};

EngineLine BuildEngineLine(const EngineLineInput& in);

// Line that starts the spanned-CD relay copy at copyPath; exePath is the setup
// file on the disc, whose first volume the copy extracts.
std::string BuildRelayLine(const std::string& copyPath, const std::string& params,
                           const std::string& exePath, const TextCase& textCase);

}  // namespace kestro
