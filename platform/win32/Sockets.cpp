// The socket library on Windows: "WS2_32.DLL" loaded at run time; entry points
// are the library's own, so the table calls them directly.
#include "platform/Sockets.h"

#include <windows.h>

namespace vxsock {

void* LoadSocketLibrary(const char* name, uint32_t& errorCode) {
  HMODULE h = ::LoadLibraryA(name);
  errorCode = h ? 0 : ::GetLastError();
  return reinterpret_cast<void*>(h);
}

void* SocketEntryPoint(void* library, const char* name, uint32_t& errorCode) {
  FARPROC p = library ? ::GetProcAddress(static_cast<HMODULE>(library), name) : nullptr;
  errorCode = p ? 0 : (library ? ::GetLastError() : ERROR_INVALID_HANDLE);
  return reinterpret_cast<void*>(p);
}

void FreeSocketLibrary(void* library) {
  if (library) ::FreeLibrary(static_cast<HMODULE>(library));
}

std::string SystemErrorMessage(uint32_t code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
  return s;
}

}  // namespace vxsock
