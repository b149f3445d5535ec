// A run host of a test's own, in place of the main window: it records what a
// long run (setup run, web download) asks of its window. Boxes have no owner.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "win/StubGlob/run_host.h"

namespace ktest {

class RecordingHost : public kestro::RunHost {
 public:
  struct Status {
    std::string text, font;
    int charset, size;
  };
  void SetStatusText(const std::string& text, const std::string& font, int charset,
                     int size) override {
    status.push_back({text, font, charset, size});
  }
  void SetStatusLine(const std::string& text) override { lines.push_back(text); }
  kestro::ProgressSink Progress() override {
    return [this](kestro::ProgressEvent e, std::int64_t range, int position) {
      progress.push_back({e, range});
      positions.push_back(position);
    };
  }
  void ShowBusyBar() override { busyBar = true; }
  void ShowWindow(bool show) override { shown.push_back(show); }
  void BringToFront() override { broughtToFront = true; }
  void PostEnd() override { endPosted = true; }
  bool Cancelled() const override { return closed; }
  bool Closed() const override { return closed; }
  std::uintptr_t BoxOwner() const override { return 1; }

  std::vector<Status> status;
  std::vector<std::string> lines;
  std::vector<std::pair<kestro::ProgressEvent, int>> progress;
  std::vector<int> positions;
  std::vector<bool> shown;
  bool busyBar = false;
  bool broughtToFront = false;
  bool endPosted = false;
  bool closed = false;
};

}  // namespace ktest
