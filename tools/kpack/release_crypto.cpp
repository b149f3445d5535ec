#include "release_crypto.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace kestro {

namespace {

// ---- owners -------------------------------------------------------------------------

struct PkeyFree { void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); } };
struct MdCtxFree { void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); } };
struct FileClose { void operator()(std::FILE* f) const { std::fclose(f); } };
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;
using File = std::unique_ptr<std::FILE, FileClose>;

// A new file only (O_EXCL), with the given permission bits.
File CreateNewFile(const std::string& path, mode_t mode) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "w");
  if (!f) ::close(fd);
  return File(f);
}

bool IsP256(EVP_PKEY* key) {
  char group[32] = {};
  size_t len = 0;
  return EVP_PKEY_is_a(key, "EC") && EVP_PKEY_get_group_name(key, group, sizeof group, &len) == 1 &&
         std::string(group) == "prime256v1";
}

std::string PublicPoint(EVP_PKEY* key, P256Point& point) {
  unsigned char* der = nullptr;
  int len = i2d_PUBKEY(key, &der);
  if (len <= 0) return "cannot encode the public key";
  std::string bytes(reinterpret_cast<char*>(der), size_t(len));
  OPENSSL_free(der);
  return PointFromPublicKeyDer(bytes, point);
}

}  // namespace

std::string Sha256OfBytes(const std::string& bytes) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_sha256(), nullptr) != 1) return {};
  return std::string(reinterpret_cast<char*>(md), len);
}

std::string WriteKeyPair(const std::string& base) {
  Pkey key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
  if (!key) return "OpenSSL could not make a P-256 key";
  const std::string priv = base + ".key", pub = base + ".pub";
  struct stat st {};
  if (::stat(priv.c_str(), &st) == 0 || ::stat(pub.c_str(), &st) == 0)
    return priv + " or " + pub + " exists already; keys are never overwritten";
  File privFile = CreateNewFile(priv, 0600);
  if (!privFile || !PEM_write_PrivateKey(privFile.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr))
    return "cannot write " + priv;
  File pubFile = CreateNewFile(pub, 0644);
  if (!pubFile || !PEM_write_PUBKEY(pubFile.get(), key.get())) return "cannot write " + pub;
  return {};
}

std::string Sha256OfFile(const std::string& path, std::string& digest) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return "cannot read " + path;
  MdCtx ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return "OpenSSL has no SHA-256";
  char buf[1 << 16];
  while (size_t n = std::fread(buf, 1, sizeof buf, f.get()))
    if (EVP_DigestUpdate(ctx.get(), buf, n) != 1) return "SHA-256 failed on " + path;
  if (std::ferror(f.get())) return "cannot read " + path;
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_DigestFinal_ex(ctx.get(), md, &len) != 1) return "SHA-256 failed on " + path;
  digest.assign(reinterpret_cast<char*>(md), len);
  return {};
}

std::string SignBytes(const std::string& keyPath, const std::string& bytes, std::string& der,
                      P256Point& point) {
  File f(std::fopen(keyPath.c_str(), "r"));
  if (!f) return "cannot read the private key " + keyPath;
  Pkey key(PEM_read_PrivateKey(f.get(), nullptr, nullptr, nullptr));
  if (!key) return keyPath + " holds no private key in PEM form";
  if (!IsP256(key.get())) return keyPath + " is not an ECDSA P-256 key";
  std::string err = PublicPoint(key.get(), point);
  if (!err.empty()) return err;
  MdCtx ctx(EVP_MD_CTX_new());
  size_t len = 0;
  if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
      EVP_DigestSign(ctx.get(), nullptr, &len, reinterpret_cast<const unsigned char*>(bytes.data()),
                     bytes.size()) != 1)
    return "OpenSSL could not sign";
  der.assign(len, '\0');
  if (EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char*>(&der[0]), &len,
                     reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) != 1)
    return "OpenSSL could not sign";
  der.resize(len);
  return {};
}

}  // namespace kestro
