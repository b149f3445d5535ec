// The stub's progress sink: it drives the main window's step bar, which
// advances once per chunk, and its busy bar, which cycles 1..5, 0 to show
// that something is happening when the size is unknown.
#pragma once
#include <windows.h>

#include "win/KProgBar/kprogbar.h"

namespace kestro {

// Both bars are "msctls_progress32" controls. The busy counter carries the
// busy bar's place from one download to the next.
ProgressSink MakeProgressBarsSink(HWND stepBar, HWND busyBar, int& busyCounter);

// The same with the process-wide busy counter of the stub.
ProgressSink MakeStubProgressSink(HWND stepBar, HWND busyBar);

// The stub's progress object, kept for the life of the process: made on
// first use over the sink given then; later calls return the same object
// (the web download and the update agent's downloads share it).
TProgBar& StubProgressBar(const ProgressSink& sink);

}  // namespace kestro
