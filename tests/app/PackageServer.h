// A loopback HTTP server for the download attempt: answers HEAD and GET for any
// path with one package, one connection at a time, and records every request
// head. It can announce a length other than what it sends, leave the length
// out, and hold the body back after some bytes to run a callback (the tests
// inject input into the window from there while the transfer is in progress).
// Listens on 127.0.0.1 only and stops by itself: every wait is bounded, and the
// whole server gives up after a minute.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PackageServer {
 public:
  struct Package {
    std::string Body;
    int64_t Announced = -1;  // the Content-Length sent; -1: the body's size
    bool SendLength = true;
    size_t SendBytes = std::string::npos;  // body bytes actually sent
    size_t HoldAfter = std::string::npos;  // body bytes sent before the hold
    std::function<void()> OnHold{};        // the first GET only: runs at the hold
    int HoldMs = 300;                      // pause after OnHold
    int64_t HeadAnnounced = -1;            // the HEAD's length when it differs
  };

  explicit PackageServer(Package p);
  ~PackageServer();
  PackageServer(const PackageServer&) = delete;
  PackageServer& operator=(const PackageServer&) = delete;

  int Port() const { return FPort; }
  std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(FPort); }
  std::vector<std::string> Requests();

 private:
  void Run();
  void Serve(uintptr_t s);

  Package FPackage;
  uintptr_t FListener = 0;
  int FPort = 0;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FHeld{false};
  std::mutex FLock;
  std::vector<std::string> FRequests;
};
