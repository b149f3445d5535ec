// The web setup: a stub whose own package carries no files, only where its
// real package lives. It takes the copy lying beside it or downloads one,
// proves by the web token that the package was made for this stub, runs the
// ordinary setup on it and deletes what it downloaded.
#pragma once
#include <string>

#include "core/PackX/file_info.h"
#include "win/StubGlob/run_host.h"

namespace kestro {

struct WebSetupInput {
  const TGFileInfo* own = nullptr;  // the web setup's own package
  std::string params;               // the stub's command-line parameters
  std::string folder;               // the extraction folder of the setup run
  // The web source (an address), or the stub's own folder when the package
  // lies there.
  std::string source;
  std::string packageName;
};

// Shows every failure in an error box (nothing when the user declined the
// download). The host shows the download's progress and is asked whether
// the user cancelled.
void RunWebSetup(RunHost& host, const WebSetupInput& in);

// Writes the agent file a web setup carries into folder under agentName
// (only its file part counts): the stub's own file up to its package end,
// flagged as an agent, with the own file's time. False when nothing was
// written.
bool WriteWebAgentFile(const std::string& folder, const std::string& agentName);

}  // namespace kestro
