// Where the agent's downloads meet the release key of its own package. A
// downloaded ".INFO" text becomes the stored copy only when it may (signed
// by the key, not older than what is installed or stored), and a downloaded
// UPDATE or INFORM file is kept only when it is the file the stored release
// signed. Without a key both pass as they always did, and each check writes
// one agent-log line saying the release is not signed.
#pragma once

#include <string>

#include "win/StubUtil/update_settings.h"

namespace kestro {

// Where the ".INFO" text was fetched from: a file of a folder, or an address
// on a server. Its signature lies beside it, reached the same way.
struct InfoSource {
  std::string path;
  bool server = false;
};

// Stores `text` as the local ".INFO" copy (with its signature) when the
// release may be acted on. A refusal leaves the stored files as they were,
// goes to the agent log and the trace, and returns false with the reason.
bool AcceptInfo(const InfoSource& source, const std::string& text, const SettingsFiles& files,
                std::string& error);

// The UPDATE (kind 2) or INFORM (kind 3) file downloaded to `local` for the
// name `name`, against the stored release. A refusal deletes the file, goes
// to the agent log and the trace, and returns false with the reason.
bool AcceptReleaseFile(int kind, const std::string& local, const std::string& name, const SettingsFiles& files,
                       std::string& error);

}  // namespace kestro
