// Choosing the main window among the top-level windows of one process. A
// window scores the number of collected windows it is the root owner of
// (itself included when it has no owner), times four, plus 2 for a title and
// 1 when visible: the frame that owns the tool windows beats the hidden
// helper windows every GUI thread has ("Default IME" is titled but hidden).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestro {

// Scores the windows of one process in the order they were collected.
class TAnalizer {
 public:
  static constexpr size_t kMaxWindows = 2001;

  // Windows past kMaxWindows are ignored.
  void Add(uintptr_t window, uintptr_t rootOwner, bool titled, bool visible);
  size_t Count() const { return windows_.size(); }
  uint16_t Score(size_t index) const;
  // The highest score, the earlier window on a tie; 0 when every window
  // scores 0 (or none was collected).
  uintptr_t MainWindow() const;

 private:
  struct Facts {
    uintptr_t window, rootOwner;
    bool titled, visible;
  };
  std::vector<Facts> windows_;
};

}  // namespace kestro
