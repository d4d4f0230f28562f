// Sockets for the test servers: the system's socket library reached through the
// same run-time entry table as the client, listening on 127.0.0.1 only.
#pragma once

#include <cstddef>

#include "platform/Sockets.h"

namespace loopback {

using vxsock::TSocket;

// The socket library's entry points, looked up once by name (start-up included).
struct Api {
  int(VX_SOCKAPI* WSAStartup)(uint16_t, vxsock::TWSAData*);
  TSocket(VX_SOCKAPI* socket)(int, int, int);
  int(VX_SOCKAPI* bind)(TSocket, const vxsock::TSockAddrIn*, int);
  int(VX_SOCKAPI* listen)(TSocket, int);
  TSocket(VX_SOCKAPI* accept)(TSocket, vxsock::TSockAddrIn*, int*);
  int(VX_SOCKAPI* getsockname)(TSocket, vxsock::TSockAddrIn*, int*);
  int(VX_SOCKAPI* select)(int, vxsock::TFdSet*, vxsock::TFdSet*, vxsock::TFdSet*,
                          const vxsock::TTimeVal*);
  int(VX_SOCKAPI* recv)(TSocket, char*, int, int);
  int(VX_SOCKAPI* send)(TSocket, const char*, int, int);
  int(VX_SOCKAPI* shutdown)(TSocket, int);
  int(VX_SOCKAPI* closesocket)(TSocket);
  int(VX_SOCKAPI* setsockopt)(TSocket, int, int, const char*, int);
};
const Api& Sock();

// Waits up to ms for data (or a close) on s.
bool WaitReadable(TSocket s, int ms);
// Sends everything; false when the peer went away first.
bool SendAll(TSocket s, const char* p, size_t n);
// A listening socket on 127.0.0.1 and a free port; throws when none can be had.
TSocket Listen(int& port);

}  // namespace loopback
