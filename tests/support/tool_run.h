// Native tests: running the real tools (kpack, openssl) and reading and
// writing whole files.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ktest {

struct RunResult {
  int code;
  std::string output;  // standard output and error together
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline RunResult RunTool(const std::string& program, const std::vector<std::string>& args) {
  std::string cmd = ShellQuote(program);
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  cmd += " 2>&1";
  RunResult r{-1, ""};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.output.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace ktest
