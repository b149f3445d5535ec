#include "core/KDebug/trace.h"

#include <atomic>
#include <cstdio>

#include "core/KDebug/debug_log_format.h"

namespace kestro {

namespace {

class ProcessStdout : public TextOutput {
 public:
  void Write(const char* text, std::size_t size) override { std::fwrite(text, 1, size, stdout); }
  void Flush() override { std::fflush(stdout); }
};

std::atomic<TextOutput*> g_output{nullptr};

TextOutput& Output() {
  static ProcessStdout processStdout;
  TextOutput* output = g_output.load();
  return output ? *output : processStdout;
}

}  // namespace

TextOutput* SetStandardOutput(TextOutput* output) { return g_output.exchange(output); }

void WriteOut(const std::string& text) { Output().Write(text.data(), text.size()); }

void Trace(const std::string& text) {
  // One write of the whole line keeps threads from interleaving inside it.
  TextOutput& output = Output();
  std::string line = text + "\r\n";
  output.Write(line.data(), line.size());
  output.Flush();
}

void LogException(const std::string& message, const std::string& where,
                  const std::string& detail) {
  Trace(ExceptionLine(where, detail, message));
}

void LogFields(const std::string& a, const std::string& b, const std::string& c,
               const std::string& d) {
  Trace(FieldsLine(a, b, c, d));
}

}  // namespace kestro
