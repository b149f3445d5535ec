#include "win/ProcessViewer/process_sources.h"

#include <tlhelp32.h>

#include <map>

#include "core/ProcessViewer/task_list.h"
#include "core/Utils/ksub.h"
#include "win/ExecPipe/exec_pipe.h"
#include "win/Files/files.h"
#include "win/Utils/system_library.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

constexpr DWORD kQueryAndRead = 0x0410;  // PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION (Vista on)
constexpr DWORD kIdChunk = 1024;         // bytes

template <class Fn>
Fn Bind(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

struct Psapi {
  using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
  using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  HMODULE lib = LoadSystemLibrary("PSAPI.dll");
  EnumProcessesFn enumProcesses = Bind<EnumProcessesFn>(lib, "EnumProcesses");
  EnumModulesFn enumModules = Bind<EnumModulesFn>(lib, "EnumProcessModules");
  ModuleNameFn fileName = Bind<ModuleNameFn>(lib, "GetModuleFileNameExA");
  bool Ready() const { return enumProcesses && enumModules && fileName; }
};

const Psapi& PsapiCalls() {
  static const Psapi psapi;  // kept loaded for the life of the process
  return psapi;
}

// kernel32's image path call, from Vista on. Unlike the module functions it
// also answers a 32-bit caller about a 64-bit process (on 64-bit Windows a
// setup or agent is the former, the product often the latter), and it needs
// only the limited query right, which Windows grants for processes the
// caller could not otherwise open.
using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, DWORD*);
ImageNameFn ImageNameCall() {
  return SystemFunctionAs<ImageNameFn>("kernel32.dll", "QueryFullProcessImageNameA");
}

// The first module of the process is its executable.
std::string FirstModulePath(HANDLE process) {
  const Psapi& p = PsapiCalls();
  if (!p.Ready()) return "";
  HMODULE module = nullptr;
  DWORD needed = 0;
  if (!p.enumModules(process, &module, sizeof module, &needed)) return "";
  char path[MAX_PATH + 1] = {};
  const DWORD n = p.fileName(process, module, path, sizeof path - 1);
  return std::string(path, n);
}

ProcessImage MakeImage(uint32_t pid, const std::string& path) {
  ProcessImage image;
  image.pid = pid;
  image.path = path;
  image.shortPath = ShortForm(path);
  return image;
}

}  // namespace

std::map<uint32_t, std::string> SnapshotNames() {
  std::map<uint32_t, std::string> names;
  for (const ProcessImage& image : ToolhelpImages()) names[image.pid] = image.path;
  return names;
}

// ---------------------------------------------------------------- processes

std::vector<ProcessImage> ToolhelpImages() {
  using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto snapshot = Bind<SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
  const auto first = Bind<WalkFn>(kernel, "Process32First");
  const auto next = Bind<WalkFn>(kernel, "Process32Next");
  std::vector<ProcessImage> images;
  if (!snapshot || !first || !next) return images;
  UniqueHandle snap(snapshot(TH32CS_SNAPPROCESS, 0));
  if (!IsValid(snap)) return images;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = first(snap.get(), &entry); ok; ok = next(snap.get(), &entry))
    images.push_back(MakeImage(entry.th32ProcessID, entry.szExeFile));
  return images;
}

std::vector<uint32_t> EnumProcessIds() {
  const Psapi& p = PsapiCalls();
  if (!p.Ready()) return {};
  std::vector<DWORD> ids;
  DWORD bytes = 0;
  do {
    ids.resize(ids.size() + kIdChunk / sizeof(DWORD));
    if (!p.enumProcesses(ids.data(), DWORD(ids.size() * sizeof(DWORD)), &bytes)) return {};
  } while (bytes == ids.size() * sizeof(DWORD));
  ids.resize(bytes / sizeof(DWORD));
  return std::vector<uint32_t>(ids.begin(), ids.end());
}

UniqueHandle OpenForImagePath(uint32_t pid, DWORD extraRights) {
  const DWORD rights = ImageNameCall() ? kQueryLimited : kQueryAndRead;
  return UniqueHandle(OpenProcess(rights | extraRights, FALSE, pid));
}

std::string ImagePathOf(HANDLE process) {
  const ImageNameFn query = ImageNameCall();
  if (!query) return FirstModulePath(process);
  char path[MAX_PATH + 1] = {};
  DWORD n = sizeof path - 1;
  return query(process, 0, path, &n) ? std::string(path, n) : std::string();
}

std::string FullImagePath(uint32_t pid) {
  if (pid == 0) return "";
  const UniqueHandle process = OpenForImagePath(pid);
  return IsValid(process) ? ImagePathOf(process.get()) : std::string();
}

std::vector<ProcessImage> PsapiImages() {
  std::vector<ProcessImage> images;
  for (uint32_t pid : EnumProcessIds()) {
    const std::string path = FullImagePath(pid);
    if (!path.empty()) images.push_back(MakeImage(pid, path));
  }
  return images;
}

std::vector<ProcessImage> TaskListImages() {
  ConsoleResult result;
  RunConsoleCommand(SystemDir(true) + "tasklist.exe", "/FO csv", SW_HIDE, nullptr, 1, result);
  return ParseTaskList(result.output);
}

std::string ShortForm(const std::string& path) {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = path.empty() ? 0 : GetShortPathNameA(path.c_str(), buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string(kNoShortName);
}

// ---------------------------------------------------------------- windows

namespace {

struct WalkContext {
  TProcessData* data;
  std::map<uint32_t, std::string> names;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
  WalkContext& ctx = *reinterpret_cast<WalkContext*>(param);
  TProcessData& data = *ctx.data;
  WindowEntry e;
  DWORD pid = 0;
  e.threadId = GetWindowThreadProcessId(window, &pid);
  e.pid = pid;
  e.fileName = ctx.names[e.pid];
  bool known = false;
  for (const WindowEntry& seen : data.windows) known = known || seen.fileName == e.fileName;
  if (data.collectAll || !known) {
    char text[512] = {};
    GetClassNameA(window, text, sizeof text);
    e.className = text;
    text[0] = 0;
    GetWindowTextA(window, text, sizeof text);
    e.title = text;
    e.window = window;
    e.visible = IsWindowVisible(window) != 0;
    data.windows.push_back(e);
  }
  const bool hit = e.fileName == data.searchName || int64_t(e.pid) == data.searchId;
  return data.collectAll || !hit;
}

}  // namespace

void WalkWindows(TProcessData& data) {
  WalkContext ctx{&data, SnapshotNames()};
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&ctx));
}

}  // namespace kestro
