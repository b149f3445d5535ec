// The tests' scripted HTTP server (tests/servers/scripted_http.py) started
// from a Windows test: one per fixture, on a free port of 127.0.0.1, serving
// the files of a folder with the behaviour the address's first segment
// names. It logs every request's path and user agent and ends on Quit() (or
// by itself when left idle).
#pragma once
#include <string>
#include <vector>

#include "linux_process.h"
#include "win/InetHTTP/inet_session.h"

namespace ktest {

class ScriptedServer {
 public:
  // root: the folder it serves (also holds its port and log files).
  explicit ScriptedServer(const std::string& root, int idleSeconds = 120) : root_(root) {
    kestro::ForceDirectories(root);
    const std::string portFile = root + "\\server.port";
    kestro::DeleteFiles(portFile, true);
    kestro::DeleteFiles(LogPath(), true);
    const std::string args = "\"" + UnixPath(SourceDir() + "\\tests\\servers\\scripted_http.py") +
                             "\" --root \"" + UnixPath(root) + "\" --port-file \"" + UnixPath(portFile) +
                             "\" --log \"" + UnixPath(LogPath()) + "\" --idle " + std::to_string(idleSeconds);
    if (StartLinuxProgram(KESTRO_PYTHON3, args)) port_ = WaitForFileText(portFile);
  }
  ~ScriptedServer() { Quit(); }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  bool Up() const { return !port_.empty(); }
  std::string Base() const { return "http://127.0.0.1:" + port_; }
  // Address of a file under a behaviour: Url("plain", "a.bin").
  std::string Url(const std::string& mode, const std::string& name) const {
    return Base() + "/" + mode + "/" + name;
  }
  std::string LogPath() const { return root_ + "\\requests.log"; }
  // "path<TAB>user agent" per request, oldest first.
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    const std::string text = ReadFileText(LogPath());
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
      end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      if (end > at) lines.push_back(text.substr(at, end - at));
    }
    return lines;
  }
  void Quit() {
    if (!Up()) return;
    kestro::PrimeUrl(Base() + "/quit");  // one request, its answer unread
    port_.clear();
  }

 private:
  std::string root_;
  std::string port_;
};

}  // namespace ktest
