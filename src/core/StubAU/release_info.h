// What a signed ".INFO" file promises, read from its exact bytes.
//
// The signature covers the whole file, so every value below is the
// publisher's: the release's version and stamp, and for the UPDATE file and
// the INFORM file their names, sizes and SHA-256 hashes. The hashes live in a
// section of their own:
//
//   [Integrity]
//   SHA256OfUpdateFile=<64 hexadecimal digits>
//   SHA256OfInformFile=<64 hexadecimal digits>
//   SHA256OfProduct=<64 hexadecimal digits>
//   Expires=2027-06-30
//
// The last two tie the release to one product and one period: one key may
// sign the releases of several products, and a server that keeps replaying
// an old release must not hold the agents on it forever. SHA256OfProduct is
// the SHA-256 of ProductBindingText (the name the ".INFO" file is published
// under and the product token the product's setups carry), Expires the last
// day (UTC) on which the release is acted on; empty: none. Releases written
// before the binding existed carry neither.
//
// The text is read the way the system's profile reader reads the stored copy
// (sections and keys ignore case, the first match wins, blanks around a value
// and one pair of enclosing quotes are dropped), so that the values checked
// here are the values the agent acts on.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

constexpr const char* kInfoNewSetup = "NewSetup";
constexpr const char* kInfoAutoInform = "AutoInform";
constexpr const char* kInfoIntegrity = "Integrity";
constexpr const char* kInfoUpdateHash = "SHA256OfUpdateFile";
constexpr const char* kInfoInformHash = "SHA256OfInformFile";
constexpr const char* kInfoProduct = "SHA256OfProduct";
constexpr const char* kInfoExpires = "Expires";

// The value of `key` in `section` of an INI text; `found` tells a missing
// key from an empty value.
std::string IniTextValue(const std::string& text, const std::string& section,
                         const std::string& key, bool& found);

struct ReleaseFile {
  std::string name;    // the file-name part, as the agent stores the file
  int64_t size = 0;
  std::string sha256;  // 32 bytes, or empty when the key is missing or malformed
};

struct ReleaseFacts {
  int32_t versionNew = 0;
  int32_t stamp = 0;
  ReleaseFile update, inform;
  bool bound = false;     // SHA256OfProduct is there
  std::string product;   // its 32 bytes, or empty when malformed
  std::string expires;   // as written; empty for none
};

ReleaseFacts ReadReleaseFacts(const std::string& infoText);

// Why a verified ".INFO" must not become the stored one, or empty when it
// may: its version is below the installed one, or its version and stamp
// come before those of the verified copy stored earlier (`stored` may be
// null). A replayed older release therefore changes nothing.
std::string RollbackRefusal(const ReleaseFacts& candidate, int32_t versionOriginal,
                            const ReleaseFacts* stored);

// What SHA256OfProduct is the SHA-256 of: the ".INFO" file name in upper
// case (Windows names ignore case), "|" and the product token as typed.
std::string ProductBindingText(const std::string& infoName, const std::string& productToken);

// Who acts on a release: the SHA-256 of the agent's ProductBindingText (32
// bytes) and today's date in UTC as YYYY-MM-DD.
struct ReleaseScope {
  std::string product, today;
};

// Why a verified ".INFO" must not be acted on here, or empty when it may: it
// names another product (SHA256OfProduct differs), it has
// expired or its expiry is no date, or it is bound to no product while the
// verified copy stored earlier (`stored` may be null) was bound, which only a
// replay of an old release can be.
std::string ScopeRefusal(const ReleaseFacts& candidate, const ReleaseScope& scope, const ReleaseFacts* stored);

// YYYY-MM-DD with a month of 1 to 12 and a day that month has.
bool IsIsoDate(const std::string& text);

// Why a downloaded file is not the one the release names, or empty when its
// file name (ignoring case), size and SHA-256 (32 bytes) are the signed ones.
std::string FileRefusal(const ReleaseFile& expected, const std::string& name, uint64_t size,
                        const std::string& sha256);

}  // namespace kestro
