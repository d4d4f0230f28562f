#include "tests/support/LoopbackSocket.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace loopback {

namespace {
template <typename F>
void Lookup(void* lib, const char* name, F& slot) {
  uint32_t code = 0;
  void* p = vxsock::SocketEntryPoint(lib, name, code);
  if (!p) throw std::runtime_error(std::string("socket entry point missing: ") + name);
  slot = reinterpret_cast<F>(p);
}
}  // namespace

const Api& Sock() {
  static const Api api = [] {
    uint32_t code = 0;
    void* lib = vxsock::LoadSocketLibrary("WS2_32.DLL", code);
    if (!lib) throw std::runtime_error("socket library not loaded");
    Api a{};
    Lookup(lib, "WSAStartup", a.WSAStartup);
    Lookup(lib, "socket", a.socket);
    Lookup(lib, "bind", a.bind);
    Lookup(lib, "listen", a.listen);
    Lookup(lib, "accept", a.accept);
    Lookup(lib, "getsockname", a.getsockname);
    Lookup(lib, "select", a.select);
    Lookup(lib, "recv", a.recv);
    Lookup(lib, "send", a.send);
    Lookup(lib, "shutdown", a.shutdown);
    Lookup(lib, "closesocket", a.closesocket);
    Lookup(lib, "setsockopt", a.setsockopt);
    vxsock::TWSAData data;
    if (a.WSAStartup(0x0202, &data) != 0) throw std::runtime_error("socket start-up failed");
    return a;
  }();
  return api;
}

bool WaitReadable(TSocket s, int ms) {
  vxsock::TFdSet set{};
  set.fd_count = 1;
  set.fd_array[0] = s;
  vxsock::TTimeVal tv{ms / 1000, (ms % 1000) * 1000};
  return Sock().select(0, &set, nullptr, nullptr, &tv) == 1;
}

bool SendAll(TSocket s, const char* p, size_t n) {
  while (n > 0) {
    const int r = Sock().send(s, p, static_cast<int>(std::min<size_t>(n, 1 << 20)), 0);
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

TSocket Listen(int& port) {
  const Api& a = Sock();
  TSocket s = a.socket(vxsock::kAfInet, vxsock::kSockStream, 0);
  if (s == vxsock::kInvalidSocket) throw std::runtime_error("socket failed");
  vxsock::TSockAddrIn addr{};
  addr.sin_family = vxsock::kAfInet;
  const uint8_t lo[4] = {127, 0, 0, 1};
  std::memcpy(&addr.sin_addr.S_addr, lo, 4);
  int len = sizeof addr;
  if (a.bind(s, &addr, sizeof addr) != 0 || a.listen(s, 8) != 0 ||
      a.getsockname(s, &addr, &len) != 0) {
    a.closesocket(s);
    throw std::runtime_error("listen failed");
  }
  uint8_t p[2];
  std::memcpy(p, &addr.sin_port, 2);
  port = (p[0] << 8) | p[1];
  return s;
}

}  // namespace loopback
