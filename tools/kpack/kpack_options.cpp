#include "kpack_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>

#include "core/Utils/ksub.h"
#include "core/UnPack/package_blocks.h"
#include "core/PackX/package_token.h"
#include "core/StubAU/release_key.h"

namespace kestro {

const char kKpackHelp[] =
    "kpack: writes Kestro setup files, numbered volumes, web setups and agent packages.\n"
    "\n"
    "usage: kpack --stub STUB.exe --out SETUP.exe [options] [FILE...]\n"
    "       kpack --scramble TOKEN     print a token as a package or .INFO file stores it\n"
    "       kpack --info PACKAGE       print the descriptor of a package\n"
    "\n"
    "Files (packed in the order given; a folder's files sorted by name):\n"
    "  FILE                     pack FILE under its own file name\n"
    "  --file NAME=PATH         pack PATH under NAME (a relative name; \\ or / separate folders)\n"
    "  --dir FOLDER             pack every file below FOLDER, named relative to it\n"
    "  --engine NAME            the packed file that is the install engine\n"
    "  --engine-switches TEXT   the engine's default switches\n"
    "  --no-times               store no file times (extracted files get the time of writing)\n"
    "\n"
    "Header texts:\n"
    "  --languages FILE.ini     language sections: [Name] then key=value lines\n"
    "  --update-url URL         folder of the update information file on the server\n"
    "  --info-file NAME         update information file name\n"
    "  --agent-name NAME        file name of the update agent\n"
    "  --product-token TEXT     product token (stored scrambled)\n"
    "  --hidden                 the setup runs hidden by default\n"
    "  --public-key NAME.pub    release key: the agent runs only releases signed with it\n"
    "  --unsigned-agent         pack an agent (--creates-agent, --agent) without a release\n"
    "                           key on purpose: it runs whatever its update server sends\n"
    "  --web-source URL         web setup: folder or address of the package\n"
    "  --web-package NAME       web setup: package file name\n"
    "  --no-local-package       web setup: never use a package lying beside the setup\n"
    "  --web-token TEXT         web token (stored scrambled); the package must carry the same\n"
    "  --web-size BYTES         package size shown to the user\n"
    "\n"
    "Trailer:\n"
    "  --temp-notice            show the temp-drive notice even when space suffices\n"
    "  --cd-spanned             the volumes are on several CDs\n"
    "  --busy-bar               show the busy bar\n"
    "  --agent-log              write the agent log (agent packages)\n"
    "  --creates-agent          the setup run writes the update agent file\n"
    "  --agent                  the file is an update agent\n"
    "  --web-setup              a web setup: fetches its package, carries no files\n"
    "  --ask-before-download    a web setup asks before downloading\n"
    "  --space auto|N0,...,N8   disk space table (auto: from the file sizes)\n"
    "\n"
    "Blocks and volumes:\n"
    "  --store                  store files as they are (default: compress)\n"
    "  --method zlib|zstd       how files are compressed (default: zlib)\n"
    "  --level N                zlib 1..9 (default 6), zstd 1..22 (default 19)\n"
    "  --solid                  zstd: compress consecutive files as one stream (a solid run);\n"
    "                           a run ends where its volume ends, so each volume stands alone\n"
    "  --window SIZE            zstd window, a power of two from 128K to 128M (default 8M): how\n"
    "                           far back a match reaches across files; the stub holds the window\n"
    "                           in memory while it extracts (8M: about 9 MB, 128M: about 129 MB)\n"
    "  --volume-size BYTES      split into volumes of at most BYTES (K, M, G suffixes);\n"
    "                           volume n >= 2 is OUT.002, OUT.003...; an OUT ending in .001\n"
    "                           numbers the first volume too\n"
    "  --no-checksum            store 1234: the volume checksum is not checked\n"
    "  --sign-ready             mark the package end in the stub, so that a code signature\n"
    "                           may be appended to the setup file\n"
    "  --help                   this text\n";

namespace {

// ---- block method ------------------------------------------------------------------

// The method named (or the default), checked against the level and --solid.
std::string ChooseMethod(const std::string& name, PackOrder& order) {
  if (name == "zstd" || (name.empty() && order.solid)) order.method = BlockMethod::kZstd;
  else if (name.empty() || name == "zlib") order.method = BlockMethod::kZlib;
  else return "--method needs zlib or zstd, not \"" + name + "\"";
  const bool zstd = order.method == BlockMethod::kZstd;
  if (order.solid && (!zstd || !order.compress)) return "--solid needs zstd (and no --store)";
  if (!zstd && order.level > 9) return "--level needs 1..9 with zlib";
  return {};
}

// ---- helpers -------------------------------------------------------------------

uint32_t FileDosTime(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return 0;
  std::time_t t = st.st_mtime;
  const std::tm* tm = std::localtime(&t);
  if (!tm) return 0;
  CivilTime c;
  c.year = tm->tm_year + 1900;
  c.month = tm->tm_mon + 1;
  c.day = tm->tm_mday;
  c.hour = tm->tm_hour;
  c.minute = tm->tm_min;
  c.second = tm->tm_sec;
  return PackDosDateTime(c);
}

std::string PackageName(std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

bool ParseSize(const std::string& text, uint64_t& out) {
  if (text.empty()) return false;
  size_t digits = 0;
  uint64_t v = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    if (v > UINT64_MAX / 10) return false;
    v = v * 10 + uint64_t(text[digits++] - '0');
  }
  if (digits == 0) return false;
  std::string unit = SUB::Upper(text.substr(digits));
  int shift = unit.empty() ? 0 : unit == "K" ? 10 : unit == "M" ? 20 : unit == "G" ? 30 : -1;
  if (shift < 0 || v > (UINT64_MAX >> shift)) return false;
  out = v << shift;
  return true;
}

std::string ReadLanguageIni(const std::string& path, std::string& block) {
  std::ifstream in(path);
  if (!in) return "cannot read the language file " + path;
  std::vector<LanguageSection> sections;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = SUB::Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      sections.push_back({SUB::Trim(t.substr(1, t.size() - 2)), {}});
      continue;
    }
    size_t eq = t.find('=');
    if (sections.empty() || eq == std::string::npos)
      return path + ":" + std::to_string(number) + ": expected [Section] or key=value";
    if (t.find_first_of("\x01\x02") != std::string::npos)
      return path + ":" + std::to_string(number) + ": control characters 1 and 2 are reserved";
    sections.back().second.push_back(SUB::Trim(t.substr(0, eq)) + "=" + SUB::Trim(t.substr(eq + 1)));
  }
  if (sections.empty()) return "no [Section] in the language file " + path;
  block = BuildLanguageBlock(sections);
  return {};
}

// What the options collect before the order is assembled.
struct Collected {
  std::vector<std::pair<std::string, std::string>> files;  // name, path
  std::string engine, engineSwitches;
  bool times = true;
  std::string languages;
  std::string settings[6];  // the sixth, the release key, only when given
  std::string web[5];
  bool anyWeb = false;
  std::string space = "auto";
  bool productToken = false, webToken = false;
  std::string method;  // --method, empty: the default
  bool unsignedAgent = false;
};

std::string AddFolder(const std::string& folder, Collected& c) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return "not a folder: " + folder;
  std::vector<std::pair<std::string, std::string>> found;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec))
      found.push_back({PackageName(fs::relative(it->path(), folder, ec).generic_string()), it->path().string()});
  if (ec) return "cannot list " + folder + ": " + ec.message();
  std::sort(found.begin(), found.end());
  c.files.insert(c.files.end(), found.begin(), found.end());
  return {};
}

}  // namespace

std::string ReadPublicKeyItem(const std::string& path, std::string& item) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read the public key " + path;
  std::string pem(std::istreambuf_iterator<char>(in), {});
  P256Point point;
  std::string err = PointFromPublicKeyPem(pem, point);
  if (!err.empty()) return path + ": " + err;
  item = FormatReleaseKeyItem(point);
  return {};
}

namespace {

// An agent runs what its update server sends, with administrator rights:
// without a release key anyone who can answer its requests chooses the
// program. Packing one needs the key, or the publisher's explicit word.
std::string AgentKeyRule(const PackageTrailer& tr, const Collected& c, std::vector<std::string>& warnings) {
  const bool agent = tr.raw[kTrCreatesAgent] || tr.raw[kTrIsAgent];
  const bool keyed = !c.settings[kSetReleaseKey].empty();
  if (c.unsignedAgent && keyed) return "--unsigned-agent and --public-key contradict each other";
  if (!agent || keyed) return {};
  if (!c.unsignedAgent)
    return "an agent without a release key runs whatever its update server sends: give --public-key NAME.pub "
           "(kpack keygen NAME makes one), or --unsigned-agent to pack it unsigned on purpose";
  warnings.push_back("the agent is unsigned: anyone who can answer its update requests chooses what it runs");
  return {};
}

uint32_t RandomSeed() { return std::random_device{}() ^ uint32_t(std::time(nullptr)); }

}  // namespace

std::string ParseKpackCommand(const std::vector<std::string>& args, KpackCommand& out) {
  out = KpackCommand{};
  PackOrder& order = out.order;
  PackageTrailer& tr = order.trailer;
  Collected c;

  using Handler = std::function<std::string(const std::string&)>;
  auto flag = [&tr](uint8_t bit) { return [&tr, bit](const std::string&) { tr.raw[kTrFlags] |= bit; return std::string(); }; };
  auto byte = [&tr](size_t at) { return [&tr, at](const std::string&) { tr.raw[at] = 1; return std::string(); }; };
  auto text = [](std::string& to) { return [&to](const std::string& v) { to = v; return std::string(); }; };
  auto web = [&c](int item) {
    return [&c, item](const std::string& v) { c.web[item] = v; c.anyWeb = true; return std::string(); };
  };
  // Options that take a value, and those that do not.
  const std::map<std::string, Handler> valued = {
      {"--stub", text(order.stubPath)},
      {"--out", text(order.outPath)},
      {"--dir", [&c](const std::string& v) { return AddFolder(v, c); }},
      {"--file", [&c](const std::string& v) {
         size_t eq = v.find('=');
         if (eq == std::string::npos || eq == 0) return std::string("--file needs NAME=PATH");
         c.files.push_back({PackageName(v.substr(0, eq)), v.substr(eq + 1)});
         return std::string();
       }},
      {"--engine", [&c](const std::string& v) { c.engine = PackageName(v); return std::string(); }},
      {"--engine-switches", text(c.engineSwitches)},
      {"--languages", [&c](const std::string& v) { return ReadLanguageIni(v, c.languages); }},
      {"--update-url", text(c.settings[kSetUpdateUrl])},
      {"--info-file", text(c.settings[kSetInfoFile])},
      {"--agent-name", text(c.settings[kSetAgentExe])},
      {"--product-token", [&c](const std::string& v) { c.settings[kSetProductToken] = v; c.productToken = true; return std::string(); }},
      {"--web-source", web(kWebSource)},
      {"--web-package", web(kWebPackageName)},
      {"--web-token", [&c, web](const std::string& v) { c.webToken = true; return web(kWebToken)(v); }},
      {"--web-size", [&c](const std::string& v) {
         uint64_t n;
         if (!ParseSize(v, n)) return "--web-size needs a number of bytes, not \"" + v + "\"";
         c.web[kWebPackageSize] = std::to_string(n);
         c.anyWeb = true;
         return std::string();
       }},
      {"--public-key", [&c](const std::string& v) { return ReadPublicKeyItem(v, c.settings[kSetReleaseKey]); }},
      {"--space", text(c.space)},
      {"--level", [&order](const std::string& v) {
         int64_t n;
         if (!SUB::TryParseInt64(v, n) || n < 1 || n > kMaxZstdLevel) return "--level needs a number, not \"" + v + "\"";
         order.level = int(n);
         return std::string();
       }},
      {"--method", [&c](const std::string& v) { c.method = v; return std::string(); }},
      {"--window", [&order](const std::string& v) {
         uint64_t n = 0;
         const bool parsed = ParseSize(v, n);
         unsigned log = kMinZstdWindowLog;
         while (log < kMaxZstdWindowLog && (uint64_t(1) << log) < n) ++log;
         if (!parsed || n != (uint64_t(1) << log))
           return "--window needs a power of two from 128K to 128M, not \"" + v + "\"";
         order.windowLog = log;
         return std::string();
       }},
      {"--volume-size", [&order](const std::string& v) {
         if (!ParseSize(v, order.volumeSize) || order.volumeSize == 0)
           return "--volume-size needs a number of bytes, not \"" + v + "\"";
         return std::string();
       }},
      {"--scramble", [&out](const std::string& v) { out.action = KpackCommand::Action::kScramble; out.argument = v; return std::string(); }},
      {"--info", [&out](const std::string& v) { out.action = KpackCommand::Action::kInfo; out.argument = v; return std::string(); }},
  };
  const std::map<std::string, Handler> bare = {
      {"--help", [&out](const std::string&) { out.action = KpackCommand::Action::kHelp; return std::string(); }},
      {"--no-times", [&c](const std::string&) { c.times = false; return std::string(); }},
      {"--unsigned-agent", [&c](const std::string&) { c.unsignedAgent = true; return std::string(); }},
      {"--hidden", [&c](const std::string&) { c.settings[kSetHidden] = "1"; return std::string(); }},
      {"--no-local-package", [&c](const std::string&) { c.web[kWebNoLocal] = "1"; c.anyWeb = true; return std::string(); }},
      {"--temp-notice", flag(kFlagTempDriveNotice)},
      {"--cd-spanned", flag(kFlagCdSpanned)},
      {"--busy-bar", flag(kFlagBusyBar)},
      {"--agent-log", flag(kFlagAgentLog)},
      {"--creates-agent", byte(kTrCreatesAgent)},
      {"--agent", byte(kTrIsAgent)},
      {"--web-setup", [&c, &tr](const std::string&) { tr.raw[kTrWebSetup] = 1; c.anyWeb = true; return std::string(); }},
      {"--ask-before-download", byte(kTrAskBeforeDownload)},
      {"--store", [&order](const std::string&) { order.compress = false; return std::string(); }},
      {"--solid", [&order](const std::string&) { order.solid = true; return std::string(); }},
      {"--no-checksum", [&order](const std::string&) { order.checksum = false; return std::string(); }},
      {"--sign-ready", [&order](const std::string&) { order.setPackageEnd = true; return std::string(); }},
  };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string err;
    if (auto v = valued.find(a); v != valued.end()) {
      if (i + 1 >= args.size()) return a + " needs a value (see kpack --help)";
      err = v->second(args[++i]);
    } else if (auto b = bare.find(a); b != bare.end()) {
      err = b->second(a);
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a + " (see kpack --help)";
    } else {
      c.files.push_back({PackageName(std::filesystem::path(a).filename().string()), a});
    }
    if (!err.empty()) return err;
  }
  if (out.action != KpackCommand::Action::kPack) return {};

  if (order.stubPath.empty()) return "no stub given (--stub STUB.exe)";
  if (order.outPath.empty()) return "no output given (--out SETUP.exe)";
  if (tr.raw[kTrWebSetup] && !c.files.empty()) return "a web setup carries no files";
  if (std::string err = ChooseMethod(c.method, order); !err.empty()) return err;
  if (std::string err = AgentKeyRule(tr, c, out.warnings); !err.empty()) return err;

  // Names must stay inside the extraction folder and appear once.
  std::vector<std::string> seen;
  for (const auto& [name, path] : c.files) {
    if (!IsSafeRelativeName(name)) return "not a relative name inside the folder: " + name;
    if (name.find_first_of("*|") != std::string::npos) return "a name must not hold * or |: " + name;
    std::string key = SUB::Upper(name);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) return "packed twice: " + name;
    seen.push_back(key);
  }
  if (!c.engine.empty() && std::find(seen.begin(), seen.end(), SUB::Upper(c.engine)) == seen.end())
    return "the engine " + c.engine + " is not among the packed files";
  if (c.engine.empty() && !c.engineSwitches.empty()) return "--engine-switches needs --engine";

  std::vector<uint64_t> sizes;
  for (const auto& [name, path] : c.files) {
    std::error_code ec;
    uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return "cannot read " + path;
    sizes.push_back(size);
    PackEntry e{path, name, c.times ? FileDosTime(path) : 0};
    if (SUB::SameText(name, c.engine)) e.name += kEngineMark + c.engineSwitches;
    order.files.push_back(e);
  }

  if (c.space == "auto") {
    FillSpaceTable(tr, sizes);
  } else {
    std::vector<std::string> parts;
    for (size_t b = 0, e; b <= c.space.size(); b = e + 1) {
      e = c.space.find(',', b);
      if (e == std::string::npos) e = c.space.size();
      parts.push_back(c.space.substr(b, e - b));
    }
    if (parts.size() != kSpaceTableEntries) return "--space needs auto or nine byte counts separated by commas";
    for (size_t i = 0; i < parts.size(); ++i) {
      uint64_t n;
      if (!ParseSize(parts[i], n) || n > UINT32_MAX) return "--space: not a 32-bit byte count: \"" + parts[i] + "\"";
      tr.SetU32(kTrSpaceTable + 4 * i, uint32_t(n));
    }
  }

  if (c.productToken) c.settings[kSetProductToken] = ScrambleToken(c.settings[kSetProductToken], RandomSeed());
  if (c.webToken) c.web[kWebToken] = ScrambleToken(c.web[kWebToken], RandomSeed());
  if (c.settings[kSetHidden].empty()) c.settings[kSetHidden] = "0";
  order.languageBlock = c.languages;
  std::vector<std::string> settings(std::begin(c.settings), std::end(c.settings));
  if (settings[kSetReleaseKey].empty()) settings.pop_back();  // packages without a key stay as they were
  order.packageSettings = SUB::JoinItems(settings);
  if (c.anyWeb) {
    order.headerCount = 3;
    if (c.web[kWebNoLocal].empty()) c.web[kWebNoLocal] = "0";
    order.webSourceList = SUB::JoinItems(std::vector<std::string>(std::begin(c.web), std::end(c.web)));
  }
  return {};
}

}  // namespace kestro
