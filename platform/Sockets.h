// The socket library as the HTTP client sees it: a library loaded by name whose
// entry points are looked up by name and follow the Windows Sockets 2 calling
// convention, structure layouts and error codes on every system.
//
// On Windows the library is the real "WS2_32.DLL", loaded at run time; nothing is
// linked at build time. Elsewhere the same names resolve to adapters over POSIX
// sockets that take and return the Windows layouts and report failures through
// "WSAGetLastError" with the Windows Sockets codes (errno mapped), so callers and
// the texts they build are identical on both systems.
#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
#define VX_SOCKAPI __stdcall
#else
#define VX_SOCKAPI
#endif

namespace vxsock {

using TSocket = uintptr_t;
constexpr TSocket kInvalidSocket = ~TSocket(0);
constexpr int kSocketError = -1;

constexpr int kAfInet = 2;
constexpr int kSockStream = 1;
constexpr int kSolSocket = 0xFFFF;  // the Windows value; adapters translate it
constexpr int kSoReuseAddr = 4;
constexpr int kSoLinger = 0x80;
constexpr int kSdSend = 1;
constexpr int kFdSetSize = 64;

struct TInAddr {
  uint32_t S_addr;  // network byte order
};
struct TSockAddrIn {
  int16_t sin_family;
  uint16_t sin_port;  // network byte order
  TInAddr sin_addr;
  char sin_zero[8];
};
struct TFdSet {
  uint32_t fd_count;
  TSocket fd_array[kFdSetSize];
};
struct TTimeVal {
  int32_t tv_sec;
  int32_t tv_usec;
};
struct THostEnt {
  char* h_name;
  char** h_aliases;
  int16_t h_addrtype;
  int16_t h_length;
  char** h_addr_list;
};
struct TLinger {
  uint16_t l_onoff;
  uint16_t l_linger;
};
// Large enough for the start-up record of every Windows Sockets version.
struct TWSAData {
  alignas(8) unsigned char Raw[512];
};

// Loads the socket library; returns null and sets errorCode (the system's code)
// on failure.
void* LoadSocketLibrary(const char* name, uint32_t& errorCode);
// Looks up an entry point by name; null (and errorCode set) when it is missing.
void* SocketEntryPoint(void* library, const char* name, uint32_t& errorCode);
void FreeSocketLibrary(void* library);
// The system's message text for a system error code ("" when it has none).
std::string SystemErrorMessage(uint32_t code);

}  // namespace vxsock
