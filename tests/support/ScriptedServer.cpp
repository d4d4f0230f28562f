#include "tests/support/ScriptedServer.h"

#include <chrono>
#include <cstring>
#include <random>
#include <stdexcept>

#include "tests/support/LoopbackSocket.h"

using loopback::Listen;
using loopback::Sock;
using loopback::WaitReadable;
using vxsock::TSocket;

ScriptedServer::ScriptedServer(uint32_t seed, int maxPiece)
    : FSeed(seed), FMaxPiece(maxPiece < 1 ? 1 : maxPiece) {
  FListener = Listen(FPort);
}

ScriptedServer::~ScriptedServer() {
  FStop = true;
  Join();
  Sock().closesocket(FListener);
}

ScriptedServer::Script& ScriptedServer::AddConnection() {
  FScripts.emplace_back();
  FReceived.emplace_back();
  return FScripts.back();
}

void ScriptedServer::Start() {
  FThread = std::thread([this] { Run(); });
}

void ScriptedServer::Join() {
  if (FThread.joinable()) FThread.join();
}

std::string ScriptedServer::Received(size_t i) {
  std::lock_guard<std::mutex> lock(FLock);
  return i < FReceived.size() ? FReceived[i] : std::string();
}

std::string ScriptedServer::Received() {
  std::lock_guard<std::mutex> lock(FLock);
  std::string all;
  for (const std::string& r : FReceived) all += r;
  return all;
}

int ScriptedServer::UnusedPort() {
  int port = 0;
  TSocket s = Listen(port);
  Sock().closesocket(s);
  return port;
}

void ScriptedServer::Run() {
  const loopback::Api& a = Sock();
  for (size_t i = 0; i < FScripts.size() && !FStop; ++i) {
    // A client that never comes must not keep the server alive.
    bool ready = false;
    for (int waited = 0; waited < 10000 && !FStop && !ready; waited += 50)
      ready = WaitReadable(FListener, 50);
    if (!ready) return;
    TSocket s = a.accept(FListener, nullptr, nullptr);
    if (s == vxsock::kInvalidSocket) return;
    ++FAccepted;
    int one = 1;
    a.setsockopt(s, 6 /* IPPROTO_TCP */, 1 /* TCP_NODELAY */, reinterpret_cast<char*>(&one),
                 sizeof one);
    if (!RunScript(s, FScripts[i], i)) ReadUntil(s, i, 10000, false);
    a.shutdown(s, vxsock::kSdSend);
    a.closesocket(s);
  }
}

// Returns true when the script closed the connection itself.
bool ScriptedServer::RunScript(uintptr_t s, const Script& script, size_t index) {
  std::mt19937 rng(FSeed + static_cast<uint32_t>(index));
  for (const Action& act : script.Actions) {
    if (FStop) return true;
    switch (act.What) {
      case Action::kReadHead:
        ReadUntil(s, index, 10000, true);
        break;
      case Action::kSend: {
        size_t pos = 0;
        std::uniform_int_distribution<int> piece(1, FMaxPiece);
        while (pos < act.Bytes.size()) {
          size_t n = std::min(act.Bytes.size() - pos, static_cast<size_t>(piece(rng)));
          SendAll(s, act.Bytes.data() + pos, n);
          pos += n;
          // Give the client a chance to take this piece on its own.
          if (rng() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        break;
      }
      case Action::kSendSlowly:
        for (char c : act.Bytes) {
          SendAll(s, &c, 1);
          std::this_thread::sleep_for(std::chrono::milliseconds(act.Ms));
        }
        break;
      case Action::kPause:
        std::this_thread::sleep_for(std::chrono::milliseconds(act.Ms));
        break;
      case Action::kSilence:
        ReadUntil(s, index, act.Ms, false);
        break;
      case Action::kClose:
        return true;
    }
  }
  return false;
}

// Records received bytes until the head end (when asked), the client's close
// or ms without the close. Returns false when the client closed.
bool ScriptedServer::ReadUntil(uintptr_t s, size_t index, int ms, bool stopAtHeadEnd) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  char buf[4096];
  while (!FStop) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return true;
    if (!WaitReadable(s, static_cast<int>(std::min<int64_t>(left, 50)))) continue;
    // Byte by byte while looking for the head end, so nothing after it is taken.
    int n = Sock().recv(s, buf, stopAtHeadEnd ? 1 : sizeof buf, 0);
    if (n <= 0) return false;
    std::lock_guard<std::mutex> lock(FLock);
    std::string& r = FReceived[index];
    r.append(buf, static_cast<size_t>(n));
    if (stopAtHeadEnd && r.size() >= 4 && r.compare(r.size() - 4, 4, "\r\n\r\n") == 0) return true;
  }
  return true;
}

void ScriptedServer::SendAll(uintptr_t s, const char* p, size_t n) {
  // A client that went away sees what it got.
  loopback::SendAll(s, p, n);
}
