// Stands in for a link the text box opens: started through the shell, it
// leaves a marker file beside itself so the test can tell it ran.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string marker = path;
  marker = marker.substr(0, marker.find_last_of('\\') + 1) + "link_target.opened";
  HANDLE f = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(f);
  return 0;
}
