// Self-removal of a temporary copy of the stub (the transient agent copy and
// the spanned-CD relay copy): a batch file in the temp folder deletes the exe
// once the process has ended, and its folder when asked.
#pragma once

namespace kestro {

// Writes "_DEL_ME_.BAT" to the user's temp folder and starts it hidden.
// Returns false when the batch could not be written or started.
bool StartSelfRemoval(bool removeFolder);

}  // namespace kestro
