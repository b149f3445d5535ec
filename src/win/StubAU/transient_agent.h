// The plain agent never stays resident: it copies itself to "X_" + its own
// name in its folder, starts that transient copy, and hands its control
// switches to it as private messages. The transient copy, after an update,
// starts the plain agent again and ends.
#pragma once

namespace kestro {

// Makes and starts the transient copy when this is the plain agent and no
// transient agent runs (or "/_ZZ=99" asks for a new one anyway). Returns
// transientRunning unchanged.
bool CreateAndRun_X_Exe(bool transientRunning);

// Posts "/STOP=", "/WM_MSG=" and "/TEST=" to the transient agent; true when
// at least one message was posted.
bool HandleParamOK(bool transientRunning);

// Starts the plain agent with "/_ZZ=99 /WAIT=10" and the current overrides,
// then ends this copy's window; nothing when the agent was told to stop.
void ReStartAutoUpdateExe();

}  // namespace kestro
