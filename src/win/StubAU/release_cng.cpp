#include <windows.h>

#include "win/StubAU/release_cng.h"

#include <bcrypt.h>

#include <memory>
#include <vector>

#include "win/Files/files.h"
#include "win/Utils/system_library.h"

namespace kestro {

namespace {

// ---- the library, bound by name ------------------------------------------------------

struct CngApi {
  decltype(&BCryptOpenAlgorithmProvider) open = nullptr;
  decltype(&BCryptCloseAlgorithmProvider) close = nullptr;
  decltype(&BCryptGetProperty) getProperty = nullptr;
  decltype(&BCryptCreateHash) createHash = nullptr;
  decltype(&BCryptHashData) hashData = nullptr;
  decltype(&BCryptFinishHash) finishHash = nullptr;
  decltype(&BCryptDestroyHash) destroyHash = nullptr;
  decltype(&BCryptImportKeyPair) importKeyPair = nullptr;
  decltype(&BCryptVerifySignature) verifySignature = nullptr;
  decltype(&BCryptDestroyKey) destroyKey = nullptr;
  bool ok = false;
};

template <typename F>
bool Bind(HMODULE lib, const char* name, F& fn) {
  fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
  return fn != nullptr;
}

// Loaded once and kept for the life of the process.
const CngApi& Api() {
  static const CngApi api = [] {
    CngApi a;
    HMODULE lib = LoadSystemLibrary("bcrypt.dll");
    if (!lib) return a;
    a.ok = Bind(lib, "BCryptOpenAlgorithmProvider", a.open) && Bind(lib, "BCryptCloseAlgorithmProvider", a.close) &&
           Bind(lib, "BCryptGetProperty", a.getProperty) && Bind(lib, "BCryptCreateHash", a.createHash) &&
           Bind(lib, "BCryptHashData", a.hashData) && Bind(lib, "BCryptFinishHash", a.finishHash) &&
           Bind(lib, "BCryptDestroyHash", a.destroyHash) && Bind(lib, "BCryptImportKeyPair", a.importKeyPair) &&
           Bind(lib, "BCryptVerifySignature", a.verifySignature) && Bind(lib, "BCryptDestroyKey", a.destroyKey);
    return a;
  }();
  return api;
}

bool Succeeded(NTSTATUS status) { return status >= 0; }

// ---- owners ------------------------------------------------------------------------------

struct AlgClose { void operator()(void* h) const { Api().close(h, 0); } };
struct HashClose { void operator()(void* h) const { Api().destroyHash(h); } };
struct KeyClose { void operator()(void* h) const { Api().destroyKey(h); } };
using Algorithm = std::unique_ptr<void, AlgClose>;
using HashHandle = std::unique_ptr<void, HashClose>;
using KeyHandle = std::unique_ptr<void, KeyClose>;

Algorithm OpenAlgorithm(LPCWSTR id) {
  BCRYPT_ALG_HANDLE h = nullptr;
  if (!CngAvailable() || !Succeeded(Api().open(&h, id, nullptr, 0))) return nullptr;
  return Algorithm(h);
}

// One SHA-256 run: its object buffer (Vista wants the caller's) and handle.
class Sha256Run {
 public:
  Sha256Run() : alg_(OpenAlgorithm(BCRYPT_SHA256_ALGORITHM)) {
    DWORD objectSize = 0, got = 0;
    if (!alg_ || !Succeeded(Api().getProperty(alg_.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize),
                                              sizeof objectSize, &got, 0)))
      return;
    object_.resize(objectSize);
    BCRYPT_HASH_HANDLE h = nullptr;
    if (Succeeded(Api().createHash(alg_.get(), &h, object_.data(), objectSize, nullptr, 0, 0))) hash_.reset(h);
  }
  bool Add(const void* data, size_t n) {
    return hash_ && Succeeded(Api().hashData(hash_.get(), static_cast<PUCHAR>(const_cast<void*>(data)), ULONG(n), 0));
  }
  bool Finish(std::string& digest) {
    digest.assign(32, '\0');
    return hash_ && Succeeded(Api().finishHash(hash_.get(), reinterpret_cast<PUCHAR>(&digest[0]), 32, 0));
  }

 private:
  Algorithm alg_;
  std::vector<UCHAR> object_;
  HashHandle hash_;  // destroyed before the buffer and the algorithm
};

}  // namespace

bool CngAvailable() { return Api().ok; }

bool Sha256OfBytes(const std::string& bytes, std::string& digest) {
  Sha256Run run;
  return run.Add(bytes.data(), bytes.size()) && run.Finish(digest);
}

bool Sha256OfFile(const std::string& path, std::string& digest, uint64_t& size) {
  UniqueHandle file = OpenForReadShared(path);
  if (!IsValid(file)) return false;
  Sha256Run run;
  std::vector<char> piece(1 << 16);
  size = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), piece.data(), DWORD(piece.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (!run.Add(piece.data(), got)) return false;
    size += got;
  }
  return run.Finish(digest);
}

bool VerifyP256(const P256Point& point, const std::string& digest, const RawSignature& signature) {
  Algorithm alg = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!alg || digest.size() != 32) return false;
  std::string blob = EccPublicBlob(point);
  BCRYPT_KEY_HANDLE h = nullptr;
  if (!Succeeded(Api().importKeyPair(alg.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &h,
                                     reinterpret_cast<PUCHAR>(&blob[0]), ULONG(blob.size()), 0)))
    return false;
  KeyHandle key(h);
  return Api().verifySignature(key.get(), nullptr, reinterpret_cast<PUCHAR>(const_cast<char*>(digest.data())), 32,
                               const_cast<PUCHAR>(signature.data()), ULONG(signature.size()), 0) == 0;
}

}  // namespace kestro
