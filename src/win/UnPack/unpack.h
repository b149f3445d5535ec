// UnPack: extraction of a package, volume after volume, into a folder; it
// checks each volume's checksum, asks for the next disc of a spanned
// package, reports the install engine's entry and writes the update agent
// file when asked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/CommUtils/progress.h"
#include "win/PackX/setup_package.h"

namespace kestro {


// The boxes extraction shows: an error (OK) or the disc prompt (OK/Cancel).
// Returns true on OK. Texts are message markup.
enum class ExtractBox { kError, kDiscPrompt };
using ExtractMessageBox = std::function<bool(ExtractBox kind, const std::string& text,
                                             const std::string& caption, const std::string& buttons,
                                             int charset)>;

struct ExtractRequest {
  std::string destFolder;
  std::string agentName;    // agent file to write, or empty; only its file name counts
  bool alwaysPrompt = false;
  std::string discPrompt;   // holds "<DISK_NUM>"
  std::string discCaption;
  std::string buttons;
  int charset = 0;
  // Optional. A start at 0 with range 0, then with volume 1's file count
  // (wrapped to 16 bits); a step per new file and per further volume.
  ProgressSink progress;
  ExtractMessageBox messageBox;    // optional: a plain system box without it
  std::function<bool(const std::string& path)> ejectCd;  // optional: EjectCd without it
  uint32_t settleMs = 500;         // the wait after the last volume
};

struct ExtractResult {
  // The engine's name field ("engine.exe*switches"); empty when none was met,
  // a disc prompt was cancelled or the package was refused.
  std::string engineEntry;
  // False when the first volume is missing, a volume cannot be opened, a
  // checksum does not match, a block is damaged or a name would leave the
  // folder.
  bool checksumOk = false;
  bool cancelled = false;
  bool refused = false;     // damaged block or unsafe name
};

// Extracts the package (its first volume; further volumes are looked for
// beside it) into request.destFolder.
ExtractResult ExtractPackage(SetupPackage& package, const ExtractRequest& request);

// Failed file writes of this process; the "Unable to save" box is shown on
// the first one only.
int FailedWriteCount();
void ResetFailedWriteCount();

// Message texts of extraction.
constexpr const char kUnableToCreateDir[] = "<P><P>Unable to create Directory!<P><P>";
constexpr const char kUnableToSave[] = "<P><P>Unable to save Extracted File!<P><P>";
constexpr const char kDiskNumTag[] = "<DISK_NUM>";

}  // namespace kestro
