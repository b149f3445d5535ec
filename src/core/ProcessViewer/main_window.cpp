#include "core/ProcessViewer/main_window.h"

namespace kestro {

void TAnalizer::Add(uintptr_t window, uintptr_t rootOwner, bool titled, bool visible) {
  if (windows_.size() < kMaxWindows) windows_.push_back({window, rootOwner, titled, visible});
}

uint16_t TAnalizer::Score(size_t index) const {
  const Facts& me = windows_[index];
  unsigned owned = 0;
  for (const Facts& other : windows_)
    if (other.rootOwner == me.window) ++owned;
  return uint16_t((owned << 2) + (me.titled ? 2 : 0) + (me.visible ? 1 : 0));
}

uintptr_t TAnalizer::MainWindow() const {
  uintptr_t best = 0;
  uint16_t bestScore = 0;
  for (size_t i = 0; i < windows_.size(); ++i) {
    const uint16_t s = Score(i);
    if (s > bestScore) best = windows_[i].window, bestScore = s;
  }
  return best;
}

}  // namespace kestro
