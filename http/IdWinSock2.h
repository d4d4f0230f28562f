// The socket library's entry table. Every entry starts at a stub that knows the
// entry point's name; the first call looks the entry point up by name in the
// loaded library, stores it in the table and calls it. A call before the library
// is loaded, or of an entry point the library lacks, raises EIdWS2StubError, so
// no call ever goes through an empty entry. The library is loaded once and kept
// until the end of the program, when a started library is cleaned up and the
// table returns to its stubs.
#pragma once

#include <cstdint>

#include "platform/Sockets.h"

namespace IdWinSock2 {

using vxsock::TFdSet;
using vxsock::THostEnt;
using vxsock::TSockAddrIn;
using vxsock::TSocket;
using vxsock::TTimeVal;
using vxsock::TWSAData;

// (return type, name, parameters, arguments)
#define VX_WS2_ENTRIES(X)                                                                \
  X(int, WSAStartup, (uint16_t version, TWSAData * data), (version, data))               \
  X(int, WSACleanup, (), ())                                                             \
  X(int, WSAGetLastError, (), ())                                                        \
  X(void, WSASetLastError, (int code), (code))                                           \
  X(TSocket, socket, (int af, int type, int protocol), (af, type, protocol))             \
  X(int, bind, (TSocket s, const TSockAddrIn* name, int namelen), (s, name, namelen))    \
  X(int, listen, (TSocket s, int backlog), (s, backlog))                                 \
  X(TSocket, accept, (TSocket s, TSockAddrIn * addr, int* addrlen), (s, addr, addrlen))  \
  X(int, connect, (TSocket s, const TSockAddrIn* name, int namelen), (s, name, namelen)) \
  X(THostEnt*, gethostbyname, (const char* name), (name))                                \
  X(int, getsockname, (TSocket s, TSockAddrIn * name, int* namelen), (s, name, namelen)) \
  X(int, getpeername, (TSocket s, TSockAddrIn * name, int* namelen), (s, name, namelen)) \
  X(int, select, (int nfds, TFdSet* r, TFdSet* w, TFdSet* e, const TTimeVal* t),         \
    (nfds, r, w, e, t))                                                                  \
  X(int, recv, (TSocket s, char* buf, int len, int flags), (s, buf, len, flags))         \
  X(int, send, (TSocket s, const char* buf, int len, int flags), (s, buf, len, flags))   \
  X(int, shutdown, (TSocket s, int how), (s, how))                                       \
  X(int, closesocket, (TSocket s), (s))                                                  \
  X(int, setsockopt, (TSocket s, int level, int name, const char* val, int len),         \
    (s, level, name, val, len))                                                          \
  X(uint16_t, htons, (uint16_t v), (v))                                                  \
  X(uint16_t, ntohs, (uint16_t v), (v))                                                  \
  X(uint32_t, htonl, (uint32_t v), (v))                                                  \
  X(uint32_t, ntohl, (uint32_t v), (v))

#define VX_WS2_DECLARE(Ret, Name, Params, Args) \
  using LPFN_##Name = Ret(VX_SOCKAPI*) Params;  \
  extern LPFN_##Name Name;
VX_WS2_ENTRIES(VX_WS2_DECLARE)
#undef VX_WS2_DECLARE

inline constexpr const char* WINSOCK2_DLL = "WS2_32.DLL";
inline constexpr int WSANOTINITIALISED = 10093;

// Loads the library once; raises EIdWS2StubError when it cannot be loaded.
void InitializeWinSock();
bool Winsock2Loaded();
// Cleans a started library up (when started), frees it and restores the stubs.
void UninitializeWinSock();
// Whether start-up succeeded once in this process.
bool Started();
void SetStarted(bool v);

}  // namespace IdWinSock2
