// nginx serving a folder on a free port of 127.0.0.1 for a Windows test, as
// a publisher serves packages and update files: started and stopped through
// scripts/nginx-serve.sh, found by the port file it writes (a Windows program
// cannot wait for a Linux one). The state folder keeps the generated config
// and the access log ("... \"GET /path HTTP/1.1\" 200 ... \"user agent\"").
#pragma once
#include <string>

#include "linux_process.h"

namespace ktest {

class NginxServer {
 public:
  // With a certificate and its key (PEM files) it serves HTTPS, addressed as
  // "localhost", the name such a certificate carries.
  NginxServer(const std::string& root, const std::string& state, const std::string& cert = "",
              const std::string& key = "")
      : state_(state), tls_(!cert.empty()) {
    kestro::ForceDirectories(state);
    kestro::DeleteFiles(state + "\\port", true);
    std::string args = Script() + " start \"" + UnixPath(root) + "\" \"" + UnixPath(state) + "\"";
    if (tls_) args += " \"" + UnixPath(cert) + "\" \"" + UnixPath(key) + "\"";
    if (StartLinuxProgram("/bin/bash", args)) port_ = WaitForFileText(state + "\\port");
    while (!port_.empty() && (port_.back() == '\n' || port_.back() == '\r')) port_.pop_back();
  }
  ~NginxServer() {
    if (!Up()) return;
    StartLinuxProgram("/bin/bash", Script() + " stop \"" + UnixPath(state_) + "\"");
    WaitUntil([&] { return !Exists(state_ + "\\port"); }, 10000);
  }
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  bool Up() const { return !port_.empty(); }
  std::string Base() const { return (tls_ ? "https://localhost:" : "http://127.0.0.1:") + port_; }

 private:
  static std::string Script() { return "\"" + UnixPath(SourceDir() + "\\scripts\\nginx-serve.sh") + "\""; }
  std::string state_;
  bool tls_ = false;
  std::string port_;
};

}  // namespace ktest
