#include "win/Files/eject_cd.h"

#include <windows.h>
#include <winioctl.h>

#include <cctype>

#include "core/KDebug/trace.h"
#include "win/Files/files.h"

namespace kestro {

namespace {

UniqueHandle OpenDevice(const std::string& device, DWORD access) {
  return UniqueHandle(CreateFileA(device.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string HandleText(const UniqueHandle& h) {
  return std::to_string(reinterpret_cast<intptr_t>(h.get()));
}

}  // namespace

bool EjectCd(const std::string& path) {
  if (path.empty()) return false;
  const char drive = char(std::toupper(static_cast<unsigned char>(path[0])));
  if (drive < 'A' || drive > 'Z') return false;
  const std::string root = std::string(1, drive) + ":\\";
  if (GetDriveTypeA(root.c_str()) != DRIVE_CDROM) return false;
  const std::string device = std::string("\\\\.\\") + drive + ":";
  UniqueHandle h = OpenDevice(device, GENERIC_READ | GENERIC_WRITE);
  Trace("EjectCD-2: " + device + " " + HandleText(h));
  if (!IsValid(h)) {
    // Drives that refuse write access still eject for a reader.
    h = OpenDevice(device, GENERIC_READ);
    Trace("EjectCD-3: " + device + " " + HandleText(h));
  }
  DWORD returned = 0;
  return DeviceIoControl(h.get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
}

}  // namespace kestro
