// kpack: the command line of the packager.
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/PackX/file_info.h"
#include "core/PackX/file_source.h"
#include "core/Utils/ksub.h"
#include "core/PackX/package_token.h"
#include "core/UnPack/package_blocks.h"
#include "kpack_options.h"
#ifdef KESTRO_RELEASE_SIGNING
#include "release_tool.h"
#endif

namespace {

using namespace kestro;

// Each file block's method, and the files (or pieces) each zstd run holds.
struct BlockLister : BlockSink {
  unsigned counts[3] = {};  // by BlockMethod
  std::vector<unsigned> runFiles;
  bool inRun = false;
  void BeginBlock(BlockMethod method, uint64_t) override {
    ++counts[int(method)];
    inRun = method == BlockMethod::kZstd;
    if (inRun) runFiles.push_back(0);
  }
  void BeginFile(const FileBlockHeader&) override {
    if (inRun) ++runFiles.back();
  }
  void FileData(const uint8_t*, size_t) override {}
  void EndFile() override {}
};

void PrintBlocks(FileSource& src) {
  PackageTrailer t;  // as stored: the walk starts at the header blocks
  ReadPackageTrailer(src, t);
  BlockLister list;
  const VolumeWalk walk = WalkVolumeBlocks(src, t.PackageStart(), GetDataEnd(src), t.HeaderCount(), list);
  std::cout << "blocks:            " << list.counts[int(BlockMethod::kStored)] << " stored, "
            << list.counts[int(BlockMethod::kZlib)] << " zlib, " << list.counts[int(BlockMethod::kZstd)] << " zstd"
            << (walk.status == VolumeStatus::kComplete ? "" : " (damaged: the walk stopped)") << "\n";
  if (list.runFiles.empty()) return;
  std::cout << "zstd runs, files:  ";
  for (unsigned n : list.runFiles) std::cout << " " << n;
  std::cout << "\n";
}

int PrintInfo(const std::string& path) {
  FileSource src(path);
  if (!src.IsOpen()) {
    std::cerr << "kpack: cannot read " << path << "\n";
    return 1;
  }
  TGFileInfo info(src);
  const PackageTrailer& t = info.Trailer();
  if (!info.HasPackage()) {
    std::cerr << "kpack: " << path << " holds no package\n";
    return 1;
  }
  std::cout << "header blocks:     " << int(t.HeaderCount()) << "\n"
            << "first file block:  " << t.PackageStart() << "\n"
            << "file blocks:       " << t.FileCount() << "\n"
            << "checksum:          " << t.Checksum() << "\n"
            << "package end:       " << (IsPeImage(src) ? GetPackageEnd(src) : 0) << "\n"
            << "flags:            " << (info.ShowTempDriveNotice() ? " temp-notice" : "")
            << (info.HasNextVolume() ? " next-volume" : "") << (info.IsCdSpanned() ? " cd-spanned" : "")
            << (info.ShowBusyBar() ? " busy-bar" : "") << (info.AgentLogEnabled() ? " agent-log" : "")
            << (info.IsWebSetup() ? " web-setup" : "") << (info.AskBeforeDownload() ? " ask-before-download" : "")
            << (info.CreatesAgent() ? " creates-agent" : "") << (info.IsAgent() ? " agent" : "") << "\n"
            << "space table:      ";
  for (size_t i = 0; i < kSpaceTableEntries; ++i) std::cout << " " << t.Space(i);
  auto token = [](const std::string& stored) {
    auto plain = UnscrambleToken(stored);
    return plain ? *plain : stored.empty() ? std::string() : "(malformed) " + stored;
  };
  std::cout << "\nupdate url:        " << info.GetUpdateUrl() << "\n"
            << "info file:         " << info.GetInfoFileName() << "\n"
            << "agent name:        " << info.GetAgentExeName() << "\n"
            << "product token:     " << token(info.GetProductToken(false)) << "\n"
            << "hidden:            " << (info.IsHiddenByDefault() ? "yes" : "no") << "\n"
            << "release key:       " << (info.GetReleaseKey().empty() ? "none (releases unsigned)" : info.GetReleaseKey()) << "\n";
  if (t.HeaderCount() > 2)
    std::cout << "web source:        " << info.GetWebSource() << "\n"
              << "web package:       " << info.GetWebPackageName() << "\n"
              << "no local package:  " << (info.NoLocalPackage() ? "yes" : "no") << "\n"
              << "web token:         " << token(info.GetWebToken(false)) << "\n"
              << "web package size:  " << info.GetWebPackageSize() << "\n";
  PrintBlocks(src);
  std::cout << "languages:        ";
  for (const std::string& section : SUB::Items(info.LanguageBlock())) std::cout << " " << SUB::GetItem(section, 0);
  std::cout << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << "kpack: nothing to do (see kpack --help)\n";
    return 2;
  }
  if (args[0] == "keygen" || args[0] == "publish") {
#ifdef KESTRO_RELEASE_SIGNING
    std::vector<std::string> rest(args.begin() + 1, args.end());
    return args[0] == "keygen" ? RunKeygen(rest) : RunPublish(rest);
#else
    std::cerr << "kpack: " << args[0] << " needs the native kpack (built with OpenSSL)\n";
    return 2;
#endif
  }
  KpackCommand cmd;
  std::string err = ParseKpackCommand(args, cmd);
  if (!err.empty()) {
    std::cerr << "kpack: " << err << "\n";
    return 2;
  }
  switch (cmd.action) {
    case KpackCommand::Action::kHelp:
      std::cout << kKpackHelp;
#ifdef KESTRO_RELEASE_SIGNING
      std::cout << "\n" << kReleaseHelp;
#endif
      return 0;
    case KpackCommand::Action::kScramble:
      std::cout << ScrambleToken(cmd.argument, std::random_device{}()) << "\n";
      return 0;
    case KpackCommand::Action::kInfo:
      return PrintInfo(cmd.argument);
    case KpackCommand::Action::kPack:
      break;
  }
  for (const std::string& w : cmd.warnings) std::cerr << "kpack: warning: " << w << "\n";
  PackResult result = WritePackage(cmd.order);
  if (!result.error.empty()) {
    std::cerr << "kpack: " << result.error << "\n";
    return 1;
  }
  for (const std::string& v : result.volumes) std::cout << "wrote " << v << "\n";
  return 0;
}
