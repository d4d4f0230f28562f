#include "tests/app/PackageServer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "platform/Sockets.h"

namespace {

using vxsock::TSocket;

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
};

template <typename F>
void Lookup(void* lib, const char* name, F& slot) {
  uint32_t code = 0;
  void* p = vxsock::SocketEntryPoint(lib, name, code);
  if (!p) throw std::runtime_error(std::string("socket entry point missing: ") + name);
  slot = reinterpret_cast<F>(p);
}

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

constexpr auto kLifetime = std::chrono::seconds(60);

}  // namespace

PackageServer::PackageServer(Package p) : FPackage(std::move(p)) {
  const Api& a = Sock();
  TSocket s = a.socket(vxsock::kAfInet, vxsock::kSockStream, 0);
  if (s == vxsock::kInvalidSocket) throw std::runtime_error("socket failed");
  vxsock::TSockAddrIn addr{};
  addr.sin_family = vxsock::kAfInet;
  const uint8_t loopback[4] = {127, 0, 0, 1};
  std::memcpy(&addr.sin_addr.S_addr, loopback, 4);
  int len = sizeof addr;
  if (a.bind(s, &addr, sizeof addr) != 0 || a.listen(s, 8) != 0 ||
      a.getsockname(s, &addr, &len) != 0) {
    a.closesocket(s);
    throw std::runtime_error("listen failed");
  }
  uint8_t port[2];
  std::memcpy(port, &addr.sin_port, 2);
  FPort = (port[0] << 8) | port[1];
  FListener = s;
  FThread = std::thread([this] { Run(); });
}

PackageServer::~PackageServer() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
  Sock().closesocket(FListener);
}

std::vector<std::string> PackageServer::Requests() {
  std::lock_guard<std::mutex> lock(FLock);
  return FRequests;
}

void PackageServer::Run() {
  const auto end = std::chrono::steady_clock::now() + kLifetime;
  while (!FStop && std::chrono::steady_clock::now() < end) {
    if (!WaitReadable(FListener, 50)) continue;
    TSocket s = Sock().accept(FListener, nullptr, nullptr);
    if (s == vxsock::kInvalidSocket) continue;
    Serve(s);
    Sock().shutdown(s, vxsock::kSdSend);
    // Let the client take the rest before the socket goes.
    char sink[4096];
    for (int i = 0; i < 40 && WaitReadable(s, 50); ++i)
      if (Sock().recv(s, sink, sizeof sink, 0) <= 0) break;
    Sock().closesocket(s);
  }
}

void PackageServer::Serve(uintptr_t s) {
  std::string head;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (FStop || std::chrono::steady_clock::now() > deadline) return;
    if (!WaitReadable(s, 50)) continue;
    char c;
    if (Sock().recv(s, &c, 1, 0) <= 0) return;
    head += c;
  }
  {
    std::lock_guard<std::mutex> lock(FLock);
    FRequests.push_back(head);
  }
  const Package& p = FPackage;
  const bool get = head.compare(0, 4, "GET ") == 0;
  int64_t announced = p.Announced >= 0 ? p.Announced : static_cast<int64_t>(p.Body.size());
  if (!get && p.HeadAnnounced >= 0) announced = p.HeadAnnounced;
  std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
  if (p.SendLength) reply += "Content-Length: " + std::to_string(announced) + "\r\n";
  reply += "Connection: close\r\n\r\n";
  if (!SendAll(s, reply.data(), reply.size())) return;
  if (!get) return;
  const size_t total = std::min(p.SendBytes, p.Body.size());
  size_t sent = 0;
  if (p.HoldAfter < total && !FHeld.exchange(true)) {
    if (!SendAll(s, p.Body.data(), p.HoldAfter)) return;
    sent = p.HoldAfter;
    if (p.OnHold) p.OnHold();
    std::this_thread::sleep_for(std::chrono::milliseconds(p.HoldMs));
  }
  SendAll(s, p.Body.data() + sent, total - sent);
}
