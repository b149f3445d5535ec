// The developer marker: environment variable DVX set to exactly "584"
// switches on small diagnostic extras of the message box and the agent.
#pragma once

namespace kestro {

// Read once and cached for the life of the process.
bool IsDeveloperMode();

}  // namespace kestro
