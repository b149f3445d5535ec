#include "core/KDebug/debug_log_format.h"

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

std::string NormaliseLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ExceptionLine(const std::string& where, const std::string& detail,
                          const std::string& message) {
  return " --- " + where + " (" + detail + ") --- " + message;
}

std::string FieldsLine(const std::string& a, const std::string& b,
                       const std::string& c, const std::string& d) {
  return "[" + a + "]  [" + b + "]  [" + c + "]  [" + d + "]";
}

std::string AgentLogFileName(const std::string& exePath) {
  std::string name = ExtractFileName(exePath);
  if (!SUB::StartsWith(name, "X_")) name = "X_" + name;
  return SetTrailingBackslash(ExtractFileDir(exePath), true, nullptr) +
         ChangeFileExt(name, ".log");
}

std::string AgentLogLine(const std::string& stamp, uint32_t threadId,
                         const std::string& tag, const std::string& message) {
  return stamp + " " + SUB::PadLeft(std::to_string(threadId), 5) + tag + message + "\r\n";
}

}  // namespace kestro
