// Makes the Wine prefix trust a test CA, the way an administrator installs a
// company root: adds the certificate (a DER file) to the system's "ROOT"
// store, and turns off the revocation check in the internet settings (a
// throw-away CA publishes no revocation list). Runs in a process of its own
// before the programs that use it: a process reads the root store once.
//   trust_root.exe /Cert=<file.der>      exit code 0 when the store took it
#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubGlob/switches.h"

namespace {

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

bool NoRevocationCheck() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD off = 0;
  const bool ok = RegSetValueExA(key, "CertificateRevocation", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                                 sizeof off) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

int main() {
  using namespace kestro;
  const std::string der = ReadWholeFile(SUB::Unquote(GetSwitchValue(OwnParams(), "/Cert=", "")));
  if (der.empty()) return 2;
  const bool added = CertAddEncodedCertificateToSystemStoreA(
      "ROOT", reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
  return added && NoRevocationCheck() ? 0 : 1;
}
