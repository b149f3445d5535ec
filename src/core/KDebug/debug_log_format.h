// Texts of the debug channel and the agent log, kept apart from the Windows
// code that delivers them.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Every line break of any kind (CR LF, lone CR, lone LF) becomes CR LF.
std::string NormaliseLineBreaks(const std::string& text);
// " --- where (detail) --- message"
std::string ExceptionLine(const std::string& where, const std::string& detail,
                          const std::string& message);
// "[a]  [b]  [c]  [d]"
std::string FieldsLine(const std::string& a, const std::string& b,
                       const std::string& c, const std::string& d);
// The agent log beside the executable: "X_" + name (unless it already starts
// so, case-sensitive), extension ".log". A plain agent and its transient
// copy therefore share one log.
std::string AgentLogFileName(const std::string& exePath);
// stamp, blank, thread id right-aligned in 5 places, tag, message, CR LF.
std::string AgentLogLine(const std::string& stamp, uint32_t threadId,
                         const std::string& tag, const std::string& message);

}  // namespace kestro
