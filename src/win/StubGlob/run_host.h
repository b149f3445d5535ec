// The seam between the main window and the long runs it hosts (the setup
// run, the web download, the update agent's cycle). A run sees only this
// interface, handed to it by the window: it never includes the window's
// module, never touches its controls, and can be driven by any other host
// (a test's, or none with a window at all).
//
//   status text   the line above the bars, in the package's font and
//                 character set (177 and 178 read right to left)
//   window        shown, hidden, brought to the front, or told to end
//   progress      the step bar and the busy bar (core/CommUtils/progress.h)
//   cancelled?    the user asked to stop: a running download ends on it
//   closed?       the window is gone: nothing new may start (no engine)
//   box owner     the owner of message boxes (1: no window, see KMsgBox)
//
// Everything runs on the thread that owns the window; a run keeps messages
// flowing (the message pump of Utils) while it works.
#pragma once
#include <cstdint>
#include <string>

#include "core/CommUtils/progress.h"

namespace kestro {

class RunHost {
 public:
  virtual ~RunHost() = default;

  virtual void SetStatusText(const std::string& text, const std::string& fontName, int charset,
                             int fontSize) = 0;
  // The text alone, in the font the line has now.
  virtual void SetStatusLine(const std::string& text) = 0;
  // Receives the run's progress events; valid while the host lives.
  virtual ProgressSink Progress() = 0;
  // The busy bar is hidden until a package asks for it.
  virtual void ShowBusyBar() = 0;
  // Shows the window (progress the user watches) or hides it (the install
  // engine's own window takes over); BringToFront also makes it the
  // foreground window.
  virtual void ShowWindow(bool show) = 0;
  virtual void BringToFront() = 0;
  // Posts the window's end (WM_DESTROY) to its queue: the window ends once
  // the run has returned to the loop (the agent's restart).
  virtual void PostEnd() = 0;

  virtual bool Cancelled() const = 0;
  virtual bool Closed() const = 0;
  virtual std::uintptr_t BoxOwner() const = 0;
};

}  // namespace kestro
