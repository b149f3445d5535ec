// Reading the comma-separated output of "tasklist.exe /FO csv":
//
//     "Image Name","PID","Session Name","Session#","Mem Usage"
//     "App.exe","1234","Console","1","12,345 K"
//
// Quotes are dropped and each line split at its commas; a line whose first
// field is the name gives its second field as the process id. The header
// never matches (its second field is no number).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ProcessViewer/process_match.h"

namespace kestro {

// The listed processes in line order: bare image names and their ids
// (lines without a positive id are left out).
std::vector<ProcessImage> ParseTaskList(const std::string& output);

// The id of the first (or, fromEnd, last) line whose image name is the file
// name part of name; 0 when none.
uint32_t TaskListProcessId(const std::string& output, const std::string& name, bool fromEnd);

}  // namespace kestro
