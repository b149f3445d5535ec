// The names under which the agent writes a release's files beside itself.
//
// The UPDATE and the INFORM file take the names a ".INFO" file gives
// (NameOfUpdateFile, NameOfInformFile), and the agent's folder also holds
// its own files: the ".ORIGINAL" and ".INFO" files, the ".INFO" file's
// signature, the agent file, its transient copy (X_<agent>) and the agent
// log. A name that reaches another folder, that Windows may open as another
// file (a trailing dot or blank, a "~" of short 8.3 names), or that is one
// of the agent's own files is never downloaded: writing or deleting it would
// break the agent for good.
#pragma once

#include <string>

namespace kestro {

// Why no file may be downloaded under `name` beside the agent, or "" when it
// may. The agent's own files are named by its ".INFO" and ".ORIGINAL" file
// names and its agent file name (the others follow from them); names
// compare ignoring case, as Windows compares them.
std::string DownloadNameRefusal(const std::string& name, const std::string& infoName,
                                const std::string& originalName, const std::string& agentName);

}  // namespace kestro
