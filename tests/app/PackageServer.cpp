#include "tests/app/PackageServer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "tests/support/LoopbackSocket.h"

namespace {

using vxsock::TSocket;

using loopback::SendAll;
using loopback::Sock;
using loopback::WaitReadable;

constexpr auto kLifetime = std::chrono::seconds(60);

}  // namespace

PackageServer::PackageServer(Package p) : FPackage(std::move(p)) {
  FListener = loopback::Listen(FPort);
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
