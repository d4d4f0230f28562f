// The socket library's entry points over POSIX sockets, with the Windows Sockets
// calling shape: Windows structure layouts in and out, -1 and a thread's last
// error code (errno mapped to the Windows Sockets numbers) on failure.
#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vxsock {
namespace {

thread_local int tLastError = 0;

int MapErrno(int e) {
  switch (e) {
    case EINTR:
      return 10004;
    case EBADF:
      return 10009;
    case EACCES:
      return 10013;
    case EFAULT:
      return 10014;
    case EINVAL:
      return 10022;
    case EMFILE:
    case ENFILE:
      return 10024;
    case EAGAIN:
      return 10035;
    case EINPROGRESS:
      return 10036;
    case EALREADY:
      return 10037;
    case ENOTSOCK:
      return 10038;
    case EDESTADDRREQ:
      return 10039;
    case EMSGSIZE:
      return 10040;
    case EPROTOTYPE:
      return 10041;
    case ENOPROTOOPT:
      return 10042;
    case EPROTONOSUPPORT:
      return 10043;
    case ESOCKTNOSUPPORT:
      return 10044;
    case EOPNOTSUPP:
      return 10045;
    case EPFNOSUPPORT:
      return 10046;
    case EAFNOSUPPORT:
      return 10047;
    case EADDRINUSE:
      return 10048;
    case EADDRNOTAVAIL:
      return 10049;
    case ENETDOWN:
      return 10050;
    case ENETUNREACH:
      return 10051;
    case ENETRESET:
      return 10052;
    case ECONNABORTED:
      return 10053;
    case ECONNRESET:
    case EPIPE:
      return 10054;  // Windows reports a write to a closed peer as a reset
    case ENOBUFS:
    case ENOMEM:
      return 10055;
    case EISCONN:
      return 10056;
    case ENOTCONN:
      return 10057;
    case ESHUTDOWN:
      return 10058;
    case ETOOMANYREFS:
      return 10059;
    case ETIMEDOUT:
      return 10060;
    case ECONNREFUSED:
      return 10061;
    case ELOOP:
      return 10062;
    case ENAMETOOLONG:
      return 10063;
    case EHOSTDOWN:
      return 10064;
    case EHOSTUNREACH:
      return 10065;
    case ENOTEMPTY:
      return 10066;
    default:
      return 10000 + e;
  }
}

int Fail() {
  tLastError = MapErrno(errno);
  return kSocketError;
}

int Fd(TSocket s) {
  return static_cast<int>(s);
}

void ToPosix(const TSockAddrIn* in, sockaddr_in& out) {
  std::memset(&out, 0, sizeof out);
  out.sin_family = static_cast<sa_family_t>(in->sin_family);
  out.sin_port = in->sin_port;
  out.sin_addr.s_addr = in->sin_addr.S_addr;
}

int FromPosix(const sockaddr_in& in, void* name, int* namelen) {
  if (!name || !namelen || *namelen < static_cast<int>(sizeof(TSockAddrIn))) {
    tLastError = 10014;
    return kSocketError;
  }
  TSockAddrIn out{};
  out.sin_family = static_cast<int16_t>(in.sin_family);
  out.sin_port = in.sin_port;
  out.sin_addr.S_addr = in.sin_addr.s_addr;
  std::memcpy(name, &out, sizeof out);
  *namelen = sizeof out;
  return 0;
}

int VX_SOCKAPI Startup(uint16_t, TWSAData* data) {
  if (data) std::memset(data, 0, sizeof *data);
  return 0;
}
int VX_SOCKAPI Cleanup() {
  return 0;
}
int VX_SOCKAPI GetLastErrorCode() {
  return tLastError;
}
void VX_SOCKAPI SetLastErrorCode(int code) {
  tLastError = code;
}

TSocket VX_SOCKAPI Socket(int af, int type, int protocol) {
  if (af != kAfInet) {
    tLastError = 10047;
    return kInvalidSocket;
  }
  int fd = ::socket(AF_INET, type == kSockStream ? SOCK_STREAM : type, protocol);
  if (fd < 0) {
    Fail();
    return kInvalidSocket;
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return static_cast<TSocket>(fd);
}

int VX_SOCKAPI Bind(TSocket s, const TSockAddrIn* name, int namelen) {
  if (!name || namelen < static_cast<int>(sizeof(TSockAddrIn))) {
    tLastError = 10014;
    return kSocketError;
  }
  sockaddr_in a;
  ToPosix(name, a);
  return ::bind(Fd(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? 0 : Fail();
}

int VX_SOCKAPI Listen(TSocket s, int backlog) {
  return ::listen(Fd(s), backlog) == 0 ? 0 : Fail();
}

TSocket VX_SOCKAPI Accept(TSocket s, TSockAddrIn* addr, int* addrlen) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  int fd;
  do fd = ::accept(Fd(s), reinterpret_cast<sockaddr*>(&a), &len);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Fail();
    return kInvalidSocket;
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  if (addr && FromPosix(a, addr, addrlen) != 0) {
    ::close(fd);
    return kInvalidSocket;
  }
  return static_cast<TSocket>(fd);
}

int VX_SOCKAPI Connect(TSocket s, const TSockAddrIn* name, int namelen) {
  if (!name || namelen < static_cast<int>(sizeof(TSockAddrIn))) {
    tLastError = 10014;
    return kSocketError;
  }
  sockaddr_in a;
  ToPosix(name, a);
  int r;
  do r = ::connect(Fd(s), reinterpret_cast<sockaddr*>(&a), sizeof a);
  while (r < 0 && errno == EINTR);
  return r == 0 ? 0 : Fail();
}

int VX_SOCKAPI GetSockName(TSocket s, TSockAddrIn* name, int* namelen) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (::getsockname(Fd(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return Fail();
  return FromPosix(a, name, namelen);
}

int VX_SOCKAPI GetPeerName(TSocket s, TSockAddrIn* name, int* namelen) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (::getpeername(Fd(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return Fail();
  return FromPosix(a, name, namelen);
}

// One answer per thread, like the Windows call.
struct HostEntStore {
  THostEnt Ent{};
  std::string Name;
  std::vector<uint32_t> Addrs;
  std::vector<char*> AddrPtrs;
  char* NoAliases = nullptr;
};
thread_local HostEntStore tHost;

THostEnt* VX_SOCKAPI GetHostByName(const char* name) {
  if (!name) {
    tLastError = 10014;
    return nullptr;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  int r = ::getaddrinfo(name, nullptr, &hints, &res);
  if (r != 0 || !res) {
    switch (r) {
      case EAI_AGAIN:
        tLastError = 11002;
        break;  // try again
      case EAI_FAIL:
        tLastError = 11003;
        break;  // no recovery
      case EAI_SYSTEM:
        tLastError = MapErrno(errno);
        break;
      default:
        tLastError = 11001;  // host not found
    }
    if (res) ::freeaddrinfo(res);
    return nullptr;
  }
  HostEntStore& h = tHost;
  h.Name = res->ai_canonname ? res->ai_canonname : name;
  h.Addrs.clear();
  for (addrinfo* p = res; p; p = p->ai_next)
    if (p->ai_family == AF_INET)
      h.Addrs.push_back(reinterpret_cast<sockaddr_in*>(p->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(res);
  h.AddrPtrs.clear();
  for (uint32_t& a : h.Addrs) h.AddrPtrs.push_back(reinterpret_cast<char*>(&a));
  h.AddrPtrs.push_back(nullptr);
  h.Ent.h_name = h.Name.data();
  h.Ent.h_aliases = &h.NoAliases;
  h.Ent.h_addrtype = kAfInet;
  h.Ent.h_length = 4;
  h.Ent.h_addr_list = h.AddrPtrs.data();
  return &h.Ent;
}

// Read, write and error sets of at most 64 sockets, waited on with poll so that
// descriptor numbers above FD_SETSIZE work too.
int VX_SOCKAPI Select(int, TFdSet* readfds, TFdSet* writefds, TFdSet* exceptfds,
                      const TTimeVal* timeout) {
  std::vector<pollfd> fds;
  auto add = [&](TFdSet* set, short events) {
    if (!set) return;
    for (uint32_t i = 0; i < set->fd_count && i < kFdSetSize; ++i)
      fds.push_back({Fd(set->fd_array[i]), events, 0});
  };
  add(readfds, POLLIN);
  add(writefds, POLLOUT);
  add(exceptfds, POLLPRI);
  int ms = -1;
  if (timeout) {
    if (timeout->tv_sec < 0 || timeout->tv_usec < 0) {
      tLastError = 10022;
      return kSocketError;
    }
    int64_t t = int64_t(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    ms = t > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(t);
  }
  int r = ::poll(fds.data(), fds.size(), ms);
  if (r < 0) return Fail();
  size_t k = 0;
  int total = 0;
  auto collect = [&](TFdSet* set, short ready) {
    if (!set) return;
    uint32_t kept = 0;
    uint32_t n = set->fd_count < kFdSetSize ? set->fd_count : kFdSetSize;
    for (uint32_t i = 0; i < n; ++i, ++k) {
      if (fds[k].revents & ready) set->fd_array[kept++] = set->fd_array[i];
      if (fds[k].revents & POLLNVAL) {
        tLastError = 10038;
        r = -1;
      }
    }
    set->fd_count = kept;
    total += kept;
  };
  collect(readfds, POLLIN | POLLHUP | POLLERR);
  collect(writefds, POLLOUT | POLLHUP | POLLERR);
  collect(exceptfds, POLLPRI);
  return r < 0 ? kSocketError : total;
}

int VX_SOCKAPI Recv(TSocket s, char* buf, int len, int flags) {
  ssize_t r;
  do r = ::recv(Fd(s), buf, len < 0 ? 0 : static_cast<size_t>(len), flags);
  while (r < 0 && errno == EINTR);
  return r < 0 ? Fail() : static_cast<int>(r);
}

int VX_SOCKAPI Send(TSocket s, const char* buf, int len, int flags) {
  ssize_t r;
  do r = ::send(Fd(s), buf, len < 0 ? 0 : static_cast<size_t>(len), flags | MSG_NOSIGNAL);
  while (r < 0 && errno == EINTR);
  return r < 0 ? Fail() : static_cast<int>(r);
}

int VX_SOCKAPI Shutdown(TSocket s, int how) {
  int h = how == 0 ? SHUT_RD : how == 1 ? SHUT_WR : SHUT_RDWR;
  return ::shutdown(Fd(s), h) == 0 ? 0 : Fail();
}

int VX_SOCKAPI CloseSocket(TSocket s) {
  return ::close(Fd(s)) == 0 ? 0 : Fail();
}

int VX_SOCKAPI SetSockOpt(TSocket s, int level, int optname, const char* optval, int optlen) {
  if (level == kSolSocket) {
    if (optname == kSoReuseAddr) {
      int v = 1;
      if (optval && optlen >= 4) std::memcpy(&v, optval, 4);
      return ::setsockopt(Fd(s), SOL_SOCKET, SO_REUSEADDR, &v, sizeof v) == 0 ? 0 : Fail();
    }
    if (optname == kSoLinger && optval && optlen >= static_cast<int>(sizeof(TLinger))) {
      TLinger l;
      std::memcpy(&l, optval, sizeof l);
      linger pl{l.l_onoff, l.l_linger};
      return ::setsockopt(Fd(s), SOL_SOCKET, SO_LINGER, &pl, sizeof pl) == 0 ? 0 : Fail();
    }
    tLastError = 10042;
    return kSocketError;
  }
  // IPPROTO_TCP and TCP_NODELAY have the same numbers on both systems.
  return ::setsockopt(Fd(s), level, optname, optval, static_cast<socklen_t>(optlen)) == 0 ? 0
                                                                                          : Fail();
}

uint16_t VX_SOCKAPI HToNs(uint16_t v) {
  return htons(v);
}
uint16_t VX_SOCKAPI NToHs(uint16_t v) {
  return ntohs(v);
}
uint32_t VX_SOCKAPI HToNl(uint32_t v) {
  return htonl(v);
}
uint32_t VX_SOCKAPI NToHl(uint32_t v) {
  return ntohl(v);
}

struct Entry {
  const char* Name;
  void* Proc;
};
#define VX_E(n, f) \
  { n, reinterpret_cast<void*>(&f) }
const Entry kEntries[] = {
    VX_E("WSAStartup", Startup),
    VX_E("WSACleanup", Cleanup),
    VX_E("WSAGetLastError", GetLastErrorCode),
    VX_E("WSASetLastError", SetLastErrorCode),
    VX_E("socket", Socket),
    VX_E("bind", Bind),
    VX_E("listen", Listen),
    VX_E("accept", Accept),
    VX_E("connect", Connect),
    VX_E("gethostbyname", GetHostByName),
    VX_E("getsockname", GetSockName),
    VX_E("getpeername", GetPeerName),
    VX_E("select", Select),
    VX_E("recv", Recv),
    VX_E("send", Send),
    VX_E("shutdown", Shutdown),
    VX_E("closesocket", CloseSocket),
    VX_E("setsockopt", SetSockOpt),
    VX_E("htons", HToNs),
    VX_E("ntohs", NToHs),
    VX_E("htonl", HToNl),
    VX_E("ntohl", NToHl),
};
#undef VX_E

int gLibraryToken;

}  // namespace

void* LoadSocketLibrary(const char*, uint32_t& errorCode) {
  errorCode = 0;
  return &gLibraryToken;
}

void* SocketEntryPoint(void* library, const char* name, uint32_t& errorCode) {
  errorCode = 0;
  if (library == &gLibraryToken && name)
    for (const Entry& e : kEntries)
      if (std::strcmp(e.Name, name) == 0) return e.Proc;
  errorCode = 127;  // the Windows code for a missing procedure
  return nullptr;
}

void FreeSocketLibrary(void*) {}

std::string SystemErrorMessage(uint32_t code) {
  switch (code) {
    case 126:
      return "The specified module could not be found.";
    case 127:
      return "The specified procedure could not be found.";
    case 10093:
      return "Either the application has not called WSAStartup, or WSAStartup failed.";
    default:
      return {};
  }
}

}  // namespace vxsock
