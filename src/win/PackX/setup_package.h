// The package a setup run works on, opened once for the whole run: its path,
// one open handle (every later read goes through it by offset), the trailer
// as stored in the file and the descriptor parsed from it. The setup run,
// the space check, extraction and the agent file all read this one object;
// a downloaded web package or an update file arrives the same way.
//
// Two descriptors, two jobs:
//   the stub's own file (OwnPackage, StubGlob)  decides the run mode, the
//       agent name and whether an agent file is written, web setup and
//       hidden-by-default, the main window's caption and the box font;
//   the package being run (this object)         decides the space needed,
//       the temp-drive notice, the busy bar, the checksum, the file blocks
//       and the agent file's bytes, and is asked for the run's texts
//       (status, questions, disc prompt, errors) with their font and
//       character set.
// The texts come from one language section per process: TGFileInfo keeps
// the section the first descriptor chose (in the stub that is its own
// file's), so a relay volume, a web package or an update speaks in the
// language the stub started in. For an ordinary setup both descriptors
// read the same file; for a relay copy, a web setup or an update they do not.
#pragma once
#include <string>

#include "core/PackX/file_info.h"
#include "core/PackX/package_layout.h"
#include "win/PackX/handle_source.h"

namespace kestro {

class SetupPackage {
 public:
  // A missing or unreadable file gives a package that is not open, with a
  // zero trailer and an empty descriptor (every setting at its default).
  explicit SetupPackage(const std::string& path);
  SetupPackage(const SetupPackage&) = delete;
  SetupPackage& operator=(const SetupPackage&) = delete;

  const std::string& Path() const { return path_; }
  bool IsOpen() const { return source_.IsOpen(); }
  // The system's error code when the file could not be opened, else 0.
  unsigned long OpenError() const { return openError_; }
  // The open file, read by offset.
  ByteSource& Source() { return source_; }
  // The trailer as stored: its package start names the header blocks.
  const PackageTrailer& Trailer() const { return trailer_; }
  // Settings, texts and fonts (its trailer copy's package start names the
  // first file block).
  const TGFileInfo& Info() const { return info_; }

 private:
  std::string path_;
  HandleSource source_;
  unsigned long openError_;
  PackageTrailer trailer_;
  TGFileInfo info_;
};

}  // namespace kestro
