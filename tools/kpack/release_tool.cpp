#include "release_tool.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "core/PackX/file_info.h"
#include "core/StubAU/info_writer.h"
#include "core/StubAU/release_signature.h"
#include "core/Utils/ksub.h"
#include "release_crypto.h"

namespace kestro {

const char kReleaseHelp[] =
    "Signed releases (native kpack only):\n"
    "  kpack keygen NAME        write the key pair NAME.key (private, keep it off every\n"
    "                           setup file and server) and NAME.pub (for --public-key)\n"
    "  kpack publish --key NAME.key --version N --out FOLDER [--update SETUP.exe]\n"
    "                [--inform FILE] [--settings RELEASE.ini] [--stamp N] [--info-name NAME]\n"
    "                           write the release's server folder: the .INFO file (every\n"
    "                           key; names, sizes, SHA-256, version and stamp filled in),\n"
    "                           its signature NAME.sig and copies of the UPDATE and INFORM\n"
    "                           files; the .INFO name and download folder default to the\n"
    "                           UPDATE setup's own; the stamp to the seconds since 2020\n"
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
  std::string key, out, update, inform, settings, infoName, version, stamp;
};

std::string ParsePublish(const std::vector<std::string>& args, PublishOptions& o) {
  const std::map<std::string, std::string*> valued = {
      {"--key", &o.key},         {"--out", &o.out},           {"--update", &o.update},
      {"--inform", &o.inform},   {"--settings", &o.settings}, {"--info-name", &o.infoName},
      {"--version", &o.version}, {"--stamp", &o.stamp}};
  for (size_t i = 0; i < args.size(); ++i) {
    auto v = valued.find(args[i]);
    if (v == valued.end()) return "unknown publish option " + args[i] + " (see kpack --help)";
    if (i + 1 >= args.size()) return args[i] + " needs a value";
    *v->second = args[++i];
  }
  if (o.key.empty() || o.out.empty() || o.version.empty()) return "publish needs --key, --version and --out";
  if (o.update.empty() && o.inform.empty()) return "publish needs --update or --inform";
  return {};
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
  return o.settings.empty() ? std::string() : ReadWhole(o.settings, release.settingsText);
}

// What the agents of the UPDATE setup will trust, when it is not this key.
void NoteSetupKey(const std::string& update, const P256Point& signer) {
  if (update.empty()) return;
  std::string item = TGFileInfo(update).GetReleaseKey();
  if (item.empty())
    std::cerr << "kpack: note: " << update << " carries no release key; the agents it installs check no signature\n";
  else if (item != FormatReleaseKeyItem(signer))
    std::cerr << "kpack: note: " << update << " carries another release key; later releases must be signed with it\n";
}

// The folder as the agent will read it: the signature parses and the facts
// read back are the ones written.
std::string CheckRoundTrip(const std::string& info, const std::string& der, const InfoRelease& r) {
  ReleaseFacts f = ReadReleaseFacts(info);
  bool same = f.versionNew == r.versionNew && f.stamp == r.stamp &&
              (!r.hasUpdate || (f.update.name == r.update.name && f.update.size == r.update.size &&
                                f.update.sha256 == r.update.sha256)) &&
              (!r.hasInform || (f.inform.name == r.inform.name && f.inform.size == r.inform.size &&
                                f.inform.sha256 == r.inform.sha256));
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
  if (!err.empty()) return err;
  NoteSetupKey(o.update, signer);
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
