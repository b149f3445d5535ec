#include "release_tool.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

#include "core/PackX/file_info.h"
#include "core/PackX/package_token.h"
#include "core/StubAU/info_writer.h"
#include "core/StubAU/inform_file.h"
#include "core/StubAU/release_signature.h"
#include "core/Utils/ksub.h"
#include "kpack_options.h"
#include "release_crypto.h"

namespace kestro {

const char kReleaseHelp[] =
    "Signed releases (native kpack only):\n"
    "  kpack keygen NAME        write the key pair NAME.key (private, keep it off every\n"
    "                           setup file and server) and NAME.pub (for --public-key)\n"
    "  kpack publish --key NAME.key --version N --out FOLDER [--update SETUP.exe]\n"
    "                [--inform FILE] [--settings RELEASE.ini] [--stamp N] [--info-name NAME]\n"
    "                [--expires YYYY-MM-DD|DAYS] [--drop-signing | --rotate-key NEW.pub]\n"
    "                           write the release's server folder: the .INFO file (every\n"
    "                           key; names, sizes, SHA-256, version and stamp filled in,\n"
    "                           bound to the product by the SHA-256 of its .INFO name and\n"
    "                           product token), its signature NAME.sig and copies\n"
    "                           of the UPDATE and INFORM files; the .INFO name and download\n"
    "                           folder default to the UPDATE setup's own; the stamp to the\n"
    "                           seconds since 2020. --expires: the last day (UTC, or DAYS\n"
    "                           from today) on which agents act on the release. An UPDATE\n"
    "                           setup whose agents carry no key or another key is refused\n"
    "                           unless --drop-signing or --rotate-key (its new key) says so\n"
    "  --public-key NAME.pub    (packing) the agents of this setup accept only releases\n"
    "                           signed with the matching private key\n";

namespace {

namespace fs = std::filesystem;

// ---- helpers ------------------------------------------------------------------------

constexpr std::time_t kStampEpoch = 1577836800;  // 2020-01-01 00:00 UTC

std::string ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return {};
}

std::string WriteWhole(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return out ? std::string() : "cannot write " + path.string();
}

bool ParseInt32(const std::string& text, int32_t& out) {
  int64_t v;
  if (!SUB::TryParseInt64(text, v) || v < INT32_MIN || v > INT32_MAX) return false;
  out = int32_t(v);
  return true;
}

// Name, size and SHA-256 of one of the release's files.
std::string Describe(const std::string& path, ReleaseFile& file) {
  std::error_code ec;
  uint64_t size = fs::file_size(path, ec);
  if (ec) return "cannot read " + path;
  if (size > uint64_t(INT32_MAX)) return path + " is larger than the agent can be told (2 GB)";
  file.name = fs::path(path).filename().string();
  file.size = int64_t(size);
  return Sha256OfFile(path, file.sha256);
}

struct PublishOptions {
  std::string key, out, update, inform, settings, infoName, version, stamp, expires, rotateKey;
  bool dropSigning = false;
};

std::string ParsePublish(const std::vector<std::string>& args, PublishOptions& o) {
  const std::map<std::string, std::string*> valued = {
      {"--key", &o.key},         {"--out", &o.out},           {"--update", &o.update},
      {"--inform", &o.inform},   {"--settings", &o.settings}, {"--info-name", &o.infoName},
      {"--version", &o.version}, {"--stamp", &o.stamp},        {"--expires", &o.expires},
      {"--rotate-key", &o.rotateKey}};
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--drop-signing") {
      o.dropSigning = true;
      continue;
    }
    auto v = valued.find(args[i]);
    if (v == valued.end()) return "unknown publish option " + args[i] + " (see kpack --help)";
    if (i + 1 >= args.size()) return args[i] + " needs a value";
    *v->second = args[++i];
  }
  if (o.key.empty() || o.out.empty() || o.version.empty()) return "publish needs --key, --version and --out";
  if (o.update.empty() && o.inform.empty()) return "publish needs --update or --inform";
  if (o.dropSigning && !o.rotateKey.empty()) return "--drop-signing and --rotate-key contradict each other";
  return {};
}

std::string UtcDate(std::time_t when) {
  char text[16] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&when));
  return text;
}

// YYYY-MM-DD naming a day of the calendar (2027-02-30 is none).
bool IsCalendarDay(const std::string& date) {
  if (!IsIsoDate(date)) return false;
  std::tm day{};
  day.tm_year = std::atoi(date.c_str()) - 1900;
  day.tm_mon = std::atoi(&date[5]) - 1;
  day.tm_mday = std::atoi(&date[8]);
  day.tm_hour = 12;
  return UtcDate(timegm(&day)) == date;
}

// --expires as a date, or as a number of days from today (UTC).
std::string ExpiryDate(const std::string& given, std::string& date) {
  int32_t days = 0;
  if (given.empty() || IsCalendarDay(given)) {
    date = given;
  } else if (ParseInt32(given, days) && days >= 0 && days <= 36500) {
    date = UtcDate(std::time(nullptr) + std::time_t(days) * 86400);
  } else {
    return "--expires needs a date YYYY-MM-DD or a number of days, not \"" + given + "\"";
  }
  if (!date.empty() && date < UtcDate(std::time(nullptr)))
    std::cerr << "kpack: warning: the release expired on " << date << "; agents refuse it\n";
  return {};
}

// The product the release belongs to: its .INFO name and the token its
// UPDATE setup and its INFORM file carry (they must agree), as SHA-256.
std::string ProductDigest(const PublishOptions& o, const std::string& infoName, std::string& digest) {
  std::optional<std::string> token, informToken;
  if (!o.update.empty()) {
    token = UnscrambleToken(TGFileInfo(o.update).GetProductToken(false));
    if (!token) return o.update + " carries no product token to bind the release to";
  }
  if (!o.inform.empty()) {
    std::string text;
    std::string err = ReadWhole(o.inform, text);
    if (!err.empty()) return err;
    informToken = SplitInformText(text).token;
    if (!informToken) return o.inform + " carries no product token";
    if (token && *token != *informToken) return o.inform + " carries another product token than " + o.update;
    token = informToken;
  }
  digest = Sha256OfBytes(ProductBindingText(infoName, *token));
  return digest.empty() ? "SHA-256 of the product binding failed" : std::string();
}

// Reads the release's files and settings into `release`; `infoName` gets the
// .INFO file's name.
std::string GatherRelease(const PublishOptions& o, InfoRelease& release, std::string& infoName) {
  if (!ParseInt32(o.version, release.versionNew) || release.versionNew <= 0)
    return "--version needs a positive 32-bit number, not \"" + o.version + "\"";
  int64_t stamp = std::time(nullptr) - kStampEpoch;
  if (!o.stamp.empty() && !ParseInt32(o.stamp, release.stamp)) return "--stamp needs a 32-bit number";
  if (o.stamp.empty()) release.stamp = int32_t(stamp);
  infoName = o.infoName;
  if (!o.update.empty()) {
    TGFileInfo setup(o.update);
    if (!setup.HasPackage()) return o.update + " is not a setup file (it holds no package)";
    if (infoName.empty()) infoName = setup.GetInfoFileName();
    release.defaultUpdateUrl = setup.GetUpdateUrl();
    release.hasUpdate = true;
    std::string err = Describe(o.update, release.update);
    if (!err.empty()) return err;
  }
  if (!o.inform.empty()) {
    release.hasInform = true;
    std::string err = Describe(o.inform, release.inform);
    if (!err.empty()) return err;
  }
  if (infoName.empty() || infoName.find_first_of("\\/:") != std::string::npos || infoName == "." || infoName == "..")
    return "no .INFO file name: give --info-name NAME (the setup names none)";
  std::string err = ProductDigest(o, infoName, release.productDigest);
  if (err.empty()) err = ExpiryDate(o.expires, release.expires);
  if (!err.empty()) return err;
  return o.settings.empty() ? std::string() : ReadWhole(o.settings, release.settingsText);
}

// The agents an UPDATE setup installs trust the key it carries. A setup
// without one turns signing off for good (its agents then run whatever the
// network sends), one with another key moves every later release to that
// key: either happens only when the publisher names it. A setup that writes
// no agent leaves the installed agents and their key as they are.
std::string SetupKeyRule(const PublishOptions& o, const P256Point& signer) {
  if (o.update.empty() || !TGFileInfo(o.update).CreatesAgent()) return {};
  const std::string item = TGFileInfo(o.update).GetReleaseKey();
  std::string rotated;
  if (!o.rotateKey.empty()) {
    std::string err = ReadPublicKeyItem(o.rotateKey, rotated);
    if (!err.empty()) return err;
  }
  if (item.empty()) {
    if (!o.dropSigning)
      return o.update + " carries no release key: the agents it installs would run unsigned releases "
             "(give --drop-signing to publish it so on purpose)";
    std::cerr << "kpack: warning: " << o.update << " carries no release key; the agents it installs check no signature\n";
    return {};
  }
  if (o.dropSigning) return "--drop-signing, but " + o.update + " carries a release key";
  if (item == FormatReleaseKeyItem(signer))
    return rotated.empty() ? std::string() : "--rotate-key names a key " + o.update + " does not carry";
  if (rotated.empty())
    return o.update + " carries another release key than " + o.key +
           " (give --rotate-key NEW.pub to move its agents to that key)";
  if (item != rotated) return o.update + " carries another release key than " + o.rotateKey;
  std::cerr << "kpack: note: the agents " << o.update << " installs accept only releases signed with the key of "
            << o.rotateKey << " from now on\n";
  return {};
}

// The folder as the agent will read it: the signature parses and the facts
// read back are the ones written.
std::string CheckRoundTrip(const std::string& info, const std::string& der, const InfoRelease& r) {
  ReleaseFacts f = ReadReleaseFacts(info);
  bool same = f.versionNew == r.versionNew && f.stamp == r.stamp &&
              (!r.hasUpdate || (f.update.name == r.update.name && f.update.size == r.update.size &&
                                f.update.sha256 == r.update.sha256)) &&
              (!r.hasInform || (f.inform.name == r.inform.name && f.inform.size == r.inform.size &&
                                f.inform.sha256 == r.inform.sha256)) &&
              f.bound && f.product == r.productDigest && f.expires == r.expires;
  if (!DerSignatureToRaw(der)) return "the signature does not have the form the agent reads";
  return same ? std::string() : "the .INFO file does not read back as written";
}

std::string CopyInto(const std::string& source, const fs::path& folder) {
  if (source.empty()) return {};
  std::error_code ec;
  fs::path target = folder / fs::path(source).filename();
  if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) return {};
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  if (ec) return "cannot copy " + source + " to " + target.string() + ": " + ec.message();
  std::cout << "wrote " << target.string() << "\n";
  return {};
}

std::string Publish(const PublishOptions& o) {
  InfoRelease release;
  std::string infoName, err = GatherRelease(o, release, infoName);
  if (!err.empty()) return err;
  std::string info = WriteInfoText(release, err);
  if (!err.empty()) return err;
  std::string der;
  P256Point signer;
  err = SignBytes(o.key, info, der, signer);
  if (err.empty()) err = CheckRoundTrip(info, der, release);
  if (err.empty()) err = SetupKeyRule(o, signer);
  if (!err.empty()) return err;
  std::error_code ec;
  fs::create_directories(o.out, ec);
  if (ec) return "cannot make the folder " + o.out;
  if (!(err = CopyInto(o.update, o.out)).empty() || !(err = CopyInto(o.inform, o.out)).empty()) return err;
  fs::path infoPath = fs::path(o.out) / infoName;
  if (!(err = WriteWhole(infoPath, info)).empty()) return err;
  if (!(err = WriteWhole(infoPath.string() + ".sig", der)).empty()) return err;
  std::cout << "wrote " << infoPath.string() << "\nwrote " << infoPath.string() << ".sig\n";
  return {};
}

}  // namespace

int RunKeygen(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::cerr << "kpack: usage: kpack keygen NAME\n";
    return 2;
  }
  std::string err = WriteKeyPair(args[0]);
  if (!err.empty()) {
    std::cerr << "kpack: " << err << "\n";
    return 1;
  }
  std::cout << "wrote " << args[0] << ".key (private: keep it secret)\nwrote " << args[0] << ".pub\n";
  return 0;
}

int RunPublish(const std::vector<std::string>& args) {
  PublishOptions o;
  std::string err = ParsePublish(args, o);
  if (!err.empty()) {
    std::cerr << "kpack: " << err << "\n";
    return 2;
  }
  err = Publish(o);
  if (!err.empty()) {
    std::cerr << "kpack: " << err << "\n";
    return 1;
  }
  return 0;
}

}  // namespace kestro
