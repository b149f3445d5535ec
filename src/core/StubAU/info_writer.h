// The ".INFO" file of a release as the publisher's tool writes it: every key
// the agent reads, in a fixed order, with CR LF line ends. The publisher's
// settings give the chosen values; the names, sizes, hashes, version and
// stamp come from the release's files and are filled in here, and so does
// what binds the release to its product and, when asked, its expiry.
#pragma once

#include <cstdint>
#include <string>

#include "core/StubAU/release_info.h"

namespace kestro {

struct InfoRelease {
  std::string settingsText;  // INI text with [NewSetup], [General], [AutoInform] keys
  int32_t versionNew = 0;
  int32_t stamp = 0;
  std::string defaultUpdateUrl;  // DownloadURL_UPDATE when the settings give none
  bool hasUpdate = false, hasInform = false;
  ReleaseFile update, inform;    // name (file-name part), size and SHA-256 (32 bytes)
  std::string productDigest;     // SHA-256 of ProductBindingText (32 bytes)
  std::string expires;           // YYYY-MM-DD, or empty for none
};

// The ".INFO" text, or an error text in `error`. Refused: unknown sections
// or keys, a key given twice, a key that is filled in here, a value the
// profile reader would not return as written (line breaks, blanks at either
// end, enclosing quotes), an announcement without an INFORM file, an update
// without an UPDATE file, no download folder, no product binding, an expiry
// that is no date.
std::string WriteInfoText(const InfoRelease& release, std::string& error);

}  // namespace kestro
