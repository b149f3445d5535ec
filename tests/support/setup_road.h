// Helpers of the end-to-end tests of the setup road: scratch folders, setup
// files written by the package writer around the real stub and the sample
// engine, stub processes started and followed from outside, and the windows
// they show.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "core/PackX/package_writer.h"
#include "test_paths.h"
#include "ui_driver.h"
#include "win/Files/files.h"

namespace ktest {

// The stub the tests pack: this tree's own, or the one a test program names
// (the 32-bit stage packs the shipped 32-bit build from a 64-bit test).
#ifdef KESTRO_STUB_UNDER_TEST
inline std::string StubExe() { return WinPath(KESTRO_STUB_UNDER_TEST); }
#else
inline std::string StubExe() { return BinaryDir() + "\\src\\stub\\kestro-stub.exe"; }
#endif
inline std::string EngineExe() { return BinaryDir() + "\\tools\\kengine\\kengine.exe"; }
inline std::string KpackExe() { return BinaryDir() + "\\tools\\kpack\\kpack.exe"; }

// A fresh folder for the current test under <build>\e2e.
inline std::string ScratchDir() {
  const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(t->test_suite_name()) + "." + t->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string dir = BinaryDir() + "\\e2e\\" + name;
  kestro::DeleteTree(dir, true);
  kestro::ForceDirectories(dir);
  return dir;
}

inline bool WriteFileText(const std::string& path, const std::string& text) {
  return kestro::WriteTextToFile(path, text);
}

inline std::string ReadFileText(const std::string& path) { return kestro::ReadWholeFile(path); }

// First line of a text file (without its line end).
inline std::string FirstLine(const std::string& path) {
  const std::string text = ReadFileText(path);
  return text.substr(0, text.find_first_of("\r\n"));
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder a setup file extracts to (first instance on this machine).
inline std::string ExtractionFolderOf(const std::string& setupFile) {
  return kestro::TempDir(true) + "SETUP_" +
         std::to_string(kestro::FileAge(setupFile) & 0xFFFFu);
}

// What a test setup carries and how its engine behaves.
struct SetupPlan {
  std::string dir;                 // where the setup file and the results go
  std::string name = "setup.exe";  // setup file name
  std::string engineSwitches;      // extra default switches of the engine
  std::vector<std::pair<std::string, std::string>> payload{{"readme.txt", "Read me.\r\n"},
                                                           {"bin\\tool.dat", "0123456789"}};
  std::string settings = "|http://127.0.0.1/upd|Product.info|Product.AutoUpdate.exe|tok|0|";
  std::string language;            // language block, default: none
  uint8_t flags = 0;               // trailer flag bits
  bool agent = false;              // trailer's agent flag: the file is an update agent
  uint32_t space = 0;              // every entry of the space table (0: computed)
  uint64_t volumeSize = 0;         // > 0: numbered volumes of this size
  bool compress = true;
  kestro::BlockMethod method = kestro::BlockMethod::kZlib;  // of compressed blocks
  bool solid = false;              // zstd: one run per volume
  bool checksum = true;

  std::string SetupPath() const { return dir + "\\" + name; }
  std::string TargetDir() const { return dir + "\\installed"; }
  std::string EngineLog() const { return dir + "\\engine.log"; }
  // Default switches the package gives the engine.
  std::string EngineDefaults() const {
    std::string s = "/Target=" + TargetDir() + " /EngineLog=" + EngineLog();
    return engineSwitches.empty() ? s : s + " " + engineSwitches;
  }
};

// A value the sample engine recorded ("key=value" lines after the first).
inline std::string EngineValue(const SetupPlan& plan, const std::string& key) {
  const std::string log = ReadFileText(plan.EngineLog());
  const size_t at = log.find("\r\n" + key + "=");
  if (at == std::string::npos) return "";
  const size_t from = at + 3 + key.size();
  return log.substr(from, log.find("\r\n", from) - from);
}

// Writes the setup file (or its volumes) with the real package writer.
inline kestro::PackResult WriteSetup(const SetupPlan& plan) {
  kestro::PackOrder order;
  order.stubPath = StubExe();
  order.outPath = plan.volumeSize ? plan.SetupPath() + ".001" : plan.SetupPath();
  order.languageBlock = plan.language;
  order.packageSettings = plan.settings;
  order.compress = plan.compress;
  order.method = plan.method;
  order.solid = plan.solid;
  order.checksum = plan.checksum;
  order.volumeSize = plan.volumeSize;
  order.trailer.raw[kestro::kTrFlags] = plan.flags;
  order.trailer.raw[kestro::kTrIsAgent] = plan.agent ? 1 : 0;
  for (size_t i = 0; plan.space && i < kestro::kSpaceTableEntries; ++i)
    order.trailer.SetU32(kestro::kTrSpaceTable + 4 * i, plan.space);
  order.files.push_back({EngineExe(), "kengine.exe*" + plan.EngineDefaults(), 0});
  const std::string src = plan.dir + "\\payload";
  kestro::ForceDirectories(src);
  int n = 0;
  for (const auto& f : plan.payload) {
    // Sources by number: the packed name may be one no folder could hold.
    const std::string path = src + "\\file" + std::to_string(++n);
    WriteFileText(path, f.second);
    order.files.push_back({path, f.first, 0});
  }
  return kestro::WritePackage(order);
}

// Writes the setup file with the packager's own command line (kpack.exe);
// returns its exit code.
long PackWithKpack(const SetupPlan& plan, const std::string& extraOptions = "");

// The stub started from outside, as Explorer would start it.
using StubProcess = ChildProcess;

inline long PackWithKpack(const SetupPlan& plan, const std::string& extraOptions) {
  const std::string src = plan.dir + "\\payload";
  std::string cmd = "\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" +
                    plan.SetupPath() + "\" --file \"kengine.exe=" + EngineExe() +
                    "\" --engine kengine.exe --engine-switches \"" + plan.EngineDefaults() + "\"";
  int n = 0;
  for (const auto& f : plan.payload) {
    const std::string path = src + "\\file" + std::to_string(++n);
    kestro::ForceDirectories(src);
    WriteFileText(path, f.second);
    cmd += " --file \"" + f.first + "=" + path + "\"";
  }
  if (!extraOptions.empty()) cmd += " " + extraOptions;
  StubProcess kpack(cmd);
  return kpack.Wait(60000);
}

// Starts a setup file the way a double-click does: quoted path, then params.
inline std::string SetupCommand(const std::string& setup, const std::string& params = "") {
  return "\"" + setup + "\"" + (params.empty() ? "" : " " + params);
}

template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = 20000) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// A program's last log line may follow the trace a test waited for: wait
// until the file holds the text.
inline bool LogGets(const std::string& path, const std::string& text, DWORD timeoutMs = 5000) {
  return WaitUntil([&] { return ReadFileText(path).find(text) != std::string::npos; }, timeoutMs);
}

// Sets or deletes HKCU\Software\Tolvexan\Kestro\SpanDisk "ForcePrompt".
inline void SetForcePrompt(const char* value) {
  const char* key = "Software\\Tolvexan\\Kestro\\SpanDisk";
  HKEY k;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    return;
  if (value)
    RegSetValueExA(k, "ForcePrompt", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
  else
    RegDeleteValueA(k, "ForcePrompt");
  RegCloseKey(k);
}

}  // namespace ktest
