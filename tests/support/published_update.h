// Helpers of the update cycle's end-to-end tests: version 1 of the sample
// product installed in a folder with its agent file and settings files, and
// version 2 published in a folder a server serves, as a publisher puts it
// there: the ".INFO" file and the UPDATE setup built by kpack around the
// real stub and the sample engine.
//
//   ktest::ProductRelease release;               // what the ".INFO" file says
//   release.shutDown = "Using WM_CLOSE";
//   ktest::UpdateStage stage(ScratchDir(), "http://127.0.0.1:8123");
//   stage.InstallVersion1();                      // agent, settings, product
//   stage.PublishVersion2(release);               // www\Setup.exe, www\Product.info
#pragma once
#include <windows.h>

#include <string>

#include "agent_run.h"
#include "linux_process.h"
#include "win/ProcessViewer/process_sources.h"
#include "wine_version.h"

namespace ktest {

inline constexpr const char* kProductClass = "KestroSampleProduct";
inline constexpr const char* kProductToken = "tok";

// What the published ".INFO" file asks of the agent.
struct ProductRelease {
  std::string shutDown = "Using WM_CLOSE";
  std::string updateName = "Setup.exe";
  bool confirmDownload = true;
  bool confirmInstall = false;
  bool background = false;
  bool restart = true;
  bool informFinish = false;
  std::string token = kProductToken;  // the UPDATE setup's product token
  std::string updateUrl;              // DownloadURL_UPDATE; the server root when empty
  // A signed release: the publisher's key pair (KEY.pub, KEY.key). Version 1
  // and 2 carry the public key; `kpack publish` signs version 2 with the
  // private one. Unsigned when empty.
  std::string publisherKey;
  std::string packOptions;  // more kpack options for the UPDATE setup ("--solid")
};

// The signing kpack, built natively (the Windows kpack has no OpenSSL).
inline std::string NativeKpack() { return BinaryDir() + "\\..\\native\\tools\\kpack\\kpack"; }

// The key pairs the signed-release tests share, made natively before they run.
inline std::string SignedReleaseKey(const std::string& name) {
  return BinaryDir() + "\\signed-releases\\" + name;
}

// The agent's texts, with the product's name where the agent puts it.
inline std::string AgentTexts() {
  return "[AutoUpdate]\r\n"
         "s11=<B>PROG_NAME 2 is out.</B><P>\r\n"
         "s12=Download it now?\r\n"
         "s13=Download it now? You are asked again before it is installed.\r\n"
         "s14=Install PROG_NAME 2 now?\r\n"
         "s15=Please close PROG_NAME to go on with the update.\r\n"
         "s16=PROG_NAME is up to date.\r\n"
         "s17=<P>Start it again?\r\n"
         "s18=It is downloaded now.\r\n"
         "s19=It is downloaded now; you are asked before it is installed.\r\n"
         "s20=It is installed now.\r\n";
}

class UpdateStage {
 public:
  // dir: scratch folder; serverBase: where the server serves dir\www.
  UpdateStage(std::string dir, std::string serverBase)
      : dir_(std::move(dir)), base_(std::move(serverBase)), agent_(AppDir(), base_) {
    kestro::ForceDirectories(Www());
    kestro::ForceDirectories(AppDir());
  }

  const std::string& Dir() const { return dir_; }
  // The product's folder: a blank in its name, as under "Program Files".
  std::string AppDir() const { return dir_ + "\\Sample App"; }
  std::string Www() const { return dir_ + "\\www"; }
  std::string ProductExe() const { return AppDir() + "\\Product.exe"; }
  std::string EngineLog() const { return dir_ + "\\engine.log"; }
  std::string UpdateBesideAgent(const std::string& name = "Setup.exe") const {
    return AppDir() + "\\" + name;
  }
  const AgentSetup& Agent() const { return agent_; }
  // The program installed as the product (the sample product of this tree
  // unless a test names another build of it).
  void UseProduct(const std::string& exe) { productSource_ = exe; }
  std::string InstalledVersion() const { return ReadFileText(AppDir() + "\\version.txt"); }
  std::string VersionOriginal() const {
    char buf[32] = {};
    GetPrivateProfileStringA("OriginalSetup", "VersionOriginal", "", buf, sizeof buf,
                             agent_.Original().c_str());
    return buf;
  }

  // The agent file, its ".ORIGINAL" file and version 1 of the product; the
  // agent trusts `publisherKey`'s releases when one is named.
  bool InstallVersion1(const std::string& publisherKey = "") const {
    if (agent_.Pack(PublicKeyOption(publisherKey)) != 0) return false;
    agent_.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=1\r\nProbeSecondsInterval=3600\r\n"
                         "ProgramName=Sample Product\r\n[Directories]\r\nTargetDir=" + AppDir() +
                         "\r\n" + AgentTexts());
    WriteFileText(AppDir() + "\\version.txt", "1");
    return CopyFileA(productSource_.c_str(), ProductExe().c_str(), FALSE) != 0;
  }

  // Version 2's setup file with kpack, packed like the first release (its
  // agent file and update settings) and installing into the product folder;
  // its exit code.
  long PackUpdate(const std::string& out, const std::string& token, const std::string& log,
                  const std::string& publisherKey = "", const std::string& packOptions = "") const {
    const std::string payload = dir_ + "\\v2";
    kestro::ForceDirectories(payload);
    WriteFileText(payload + "\\version.txt", "2");
    const std::string cmd = "\"" + KpackExe() + "\" --stub \"" + StubExe() + "\" --out \"" + out +
                            "\" --file \"kengine.exe=" + EngineExe() +
                            "\" --engine kengine.exe --engine-switches \"/Target=" + AppDir() +
                            " /EngineLog=" + log + "\" --file \"version.txt=" + payload +
                            "\\version.txt\" --creates-agent --agent-log --update-url \"" + base_ +
                            "\" --info-file Product.info --agent-name " + kAgentName +
                            " --product-token " + token + " " + PublicKeyOption(publisherKey) + " " + packOptions;
    ChildProcess kpack(cmd);
    return kpack.Wait(60000);
  }

  // The UPDATE setup and the ".INFO" file on the server; signed by
  // `kpack publish` when the release names a publisher key.
  bool PublishVersion2(const ProductRelease& r) const {
    const std::string setup = Www() + "\\Setup.exe";
    if (PackUpdate(setup, r.token, EngineLog(), r.publisherKey, r.packOptions) != 0) return false;
    if (!r.publisherKey.empty()) return Sign(r, setup);
    return WriteFileText(Www() + "\\Product.info",
                         "[NewSetup]\r\nNameOfUpdateFile=" + r.updateName +
                             "\r\nSizeOfUpdateFile=" + std::to_string(kestro::FileSizeByName(setup)) +
                             "\r\nVersionNew=2\r\nStamp=2\r\n" + Settings(r));
  }

 private:
  static std::string PublicKeyOption(const std::string& key) {
    return key.empty() ? std::string("--unsigned-agent") : "--public-key \"" + key + ".pub\"";
  }

  // What the publisher writes of the ".INFO" file; the rest describes the files.
  std::string Settings(const ProductRelease& r) const {
    const auto on = [](bool b) { return std::string(b ? "1" : "0"); };
    return "DownloadURL_UPDATE=" + (r.updateUrl.empty() ? base_ : r.updateUrl) +
           "\r\nProgramName=Sample Product\r\n"
           "RunningProcess=<InstallDir>\\Product.exe\r\nShutDownMethod=" + r.shutDown +
           "\r\nRestartProcess=" + on(r.restart) + "\r\nInformFinish=" + on(r.informFinish) +
           "\r\nRequestConfirmationBeforeDownload=" + on(r.confirmDownload) +
           "\r\nRequestConfirmationBeforeInstall=" + on(r.confirmInstall) +
           "\r\nBackgroundUpdate=" + on(r.background) + "\r\n";
  }

  // Signs version 2 with the native kpack (started through Wine, which
  // cannot wait for it: a shell marks the end) and serves what it signed.
  bool Sign(const ProductRelease& r, const std::string& setup) const {
    const std::string settings = dir_ + "\\release.ini", out = dir_ + "\\signed", done = dir_ + "\\signed.done";
    WriteFileText(settings, "[NewSetup]\r\n" + Settings(r));
    const auto q = [](const std::string& win) { return "'" + UnixPath(win) + "'"; };
    const std::string script = q(NativeKpack()) + " publish --key " + q(r.publisherKey + ".key") + " --update " +
                               q(setup) + " --version 2 --stamp 2 --settings " + q(settings) + " --out " + q(out) +
                               "; echo $? >" + q(done + ".tmp") + "; mv " + q(done + ".tmp") + " " + q(done);
    if (!StartLinuxProgram("/bin/sh", "-c \"" + script + "\"") || WaitForFileText(done, 60000) != "0\n")
      return false;
    for (const char* name : {"Product.info", "Product.info.sig"})
      if (!CopyFileA((out + "\\" + name).c_str(), (Www() + "\\" + name).c_str(), FALSE)) return false;
    return true;
  }

  std::string dir_, base_;
  AgentSetup agent_;
  std::string productSource_ = HelperExe("sample_product");
};

struct ProductSearch {
  const std::string* path;
  DWORD pid;
};

// A named callback, not a lambda: on 32-bit Windows a window walk calls
// back by the __stdcall convention, which a lambda cannot take.
inline BOOL CALLBACK MatchProductWindow(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<ProductSearch*>(p);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) != kProductClass) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (lstrcmpiA(kestro::FullImagePath(pid).c_str(), s.path->c_str()) == 0) s.pid = pid;
  return s.pid == 0;
}

// The process id of a running sample product started from exactly this
// file (found by its main window); 0 when none runs.
inline DWORD ProductPid(const std::string& exePath) {
  ProductSearch s{&exePath, 0};
  EnumWindows(MatchProductWindow, reinterpret_cast<LPARAM>(&s));
  return s.pid;
}

// After an update the agent starts the agent file the setup installed,
// which starts a new resident copy: waits for that copy's window, stops it
// and waits for its end. False when no new copy came.
inline bool StopRestartedAgent(DebugViewer& viewer, DWORD startMs = 60000) {
  HWND window = nullptr;
  if (!viewer.PumpUntil([&] { return (window = FindWindowA(kAgentClass, nullptr)) != nullptr; }, startMs))
    return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  PostMessageA(window, kWmShutDown, 0, 0);
  const DWORD code = process ? viewer.WaitForExit(process, 30000) : STILL_ACTIVE;
  if (process) CloseHandle(process);
  return code == 0;
}

// Ends a product the agent started (the test owns what its run started).
inline void EndProduct(DWORD pid) {
  HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (!h) return;
  TerminateProcess(h, 0);
  WaitForSingleObject(h, 5000);
  CloseHandle(h);
}

}  // namespace ktest
