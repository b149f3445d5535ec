// kbench-viewer FILE: a debug viewer for the benchmark, so that the setup
// files it runs can report their own extraction time. It writes FILE.ready
// once its window is up, collects the trace of every program run meanwhile,
// and when FILE.quit appears writes all text received to FILE and ends.
#include <windows.h>

#include <cstdio>
#include <string>

#include "../tests/support/debug_viewer.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kbench-viewer FILE\n");
    return 2;
  }
  const std::string file = argv[1];
  ktest::DebugViewer viewer;
  if (!WriteText(file + ".ready", "")) return 1;
  const DWORD day = 24 * 3600 * 1000;
  viewer.PumpUntil([&] { return Exists(file + ".quit"); }, day);
  return WriteText(file, viewer.Text()) ? 0 : 1;
}
