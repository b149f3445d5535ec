// The program's standard text output and its trace lines. By default the
// text goes to the process's stdout; on Windows the debug channel
// (win/KDebug) puts its device in place and hands the text on in pieces.
// Lines end with CR LF, as a Windows text device writes them, and the end of
// a line flushes the output.
#pragma once

#include <cstddef>
#include <string>

namespace kestro {

// A place the standard text output can go.
class TextOutput {
 public:
  virtual ~TextOutput() = default;
  // Takes the text whole: another thread's write never lands inside it.
  virtual void Write(const char* text, std::size_t size) = 0;
  virtual void Flush() = 0;
};

// Puts output in place of the current one and returns the one it replaced;
// nullptr stands for the process's stdout.
TextOutput* SetStandardOutput(TextOutput* output);

// Text without an end of line: it waits in the output until a line ends,
// the output is full or the program ends.
void WriteOut(const std::string& text);
// One line: the text, CR LF, then a flush.
void Trace(const std::string& text);

// Lines written by every module.
// " --- where (detail) --- message"
void LogException(const std::string& message, const std::string& where,
                  const std::string& detail);
// "[a]  [b]  [c]  [d]"
void LogFields(const std::string& a, const std::string& b, const std::string& c,
               const std::string& d);

}  // namespace kestro
