// Rules of one update cycle that need no Windows call: which agent texts
// the questions are made of, how ShutDownMethod is read, which UPDATE file
// names are accepted, the switch that tells the new setup where the ".INFO"
// file lies, and when the closed product is started again.
#pragma once

#include <string>

namespace kestro {

// The second half of the question before the download ("s11" is the first).
std::string PreDownloadSecondKey(bool confirmInstall, bool downloadForce);
// The question (or, forced, the notice) before the installation.
std::string PreInstallKey(bool installForce);

// ShutDownMethod values, compared exactly.
enum class ShutDownMethod { kMessageBox, kWmClose, kWmQuit, kTerminate, kNone, kOther };
inline constexpr char kShutDownMessageBox[] = "Issue a Message Box";
inline constexpr char kShutDownWmClose[] = "Using WM_CLOSE";
inline constexpr char kShutDownWmQuit[] = "Using WM_QUIT";
inline constexpr char kShutDownTerminate[] = "Using Terminate Process";
inline constexpr char kShutDownNone[] = "Don't Shut Down";
ShutDownMethod ParseShutDownMethod(const std::string& value);

// The UPDATE file is downloaded, run and deleted beside the agent under this
// name. A name that could reach another folder (a separator, a drive, "..")
// gives "": it is never used.
std::string SafeUpdateFileName(const std::string& name);

// "/OriginalInfoFile=" and the quoted path of the local ".INFO" copy.
std::string OriginalInfoFileArg(const std::string& localInfo);

// The product as the shut-down step leaves it.
enum ShutDownState { kNotRunningAtStart = 0, kRunningAtStart = 1, kClosedByUpdate = 2 };
ShutDownState StateAfterShutDown(bool runningAtStart, bool runningNow);
// Only a product this cycle closed is started again.
bool RestartAfterUpdate(bool restartProcess, ShutDownState state);

// "TRUE FALSE >C:\App\Product.exe<": restart flag, answer, product path.
std::string RestartTraceText(bool restart, bool answer, const std::string& path);

}  // namespace kestro
