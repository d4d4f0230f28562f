// A scripted TCP server on 127.0.0.1 for network tests. Each accepted
// connection runs the next script: read a request head, send exact bytes (in
// random-sized pieces so the client's buffer boundaries are crossed), pause,
// stay silent, close. Every byte received is recorded per connection. The
// server stops by itself: every wait is bounded, and the destructor ends it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedServer {
 public:
  struct Action {
    enum Kind { kReadHead, kSend, kSendSlowly, kPause, kSilence, kClose } What;
    std::string Bytes;
    int Ms = 0;
  };

  // One connection's script, built in order.
  class Script {
   public:
    // Reads until the blank line ending a request head.
    Script& ReadHead() { return Add({Action::kReadHead, {}, 0}); }
    // Sends the bytes in random pieces of 1 to maxPiece bytes.
    Script& Send(std::string bytes) { return Add({Action::kSend, std::move(bytes), 0}); }
    // Sends one byte at a time, pausing ms between bytes.
    Script& SendSlowly(std::string bytes, int ms = 1) {
      return Add({Action::kSendSlowly, std::move(bytes), ms});
    }
    Script& Pause(int ms) { return Add({Action::kPause, {}, ms}); }
    // Neither sends nor closes until the client closes or ms pass.
    Script& Silence(int ms) { return Add({Action::kSilence, {}, ms}); }
    Script& Close() { return Add({Action::kClose, {}, 0}); }
    std::vector<Action> Actions;

   private:
    Script& Add(Action a) {
      Actions.push_back(std::move(a));
      return *this;
    }
  };

  // Binds and listens on an ephemeral port of 127.0.0.1; scripts are added
  // before Start.
  explicit ScriptedServer(uint32_t seed = 1, int maxPiece = 7);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  Script& AddConnection();
  // Runs the scripts on a thread. A script that ends without Close waits (at
  // most 10 s) for the client to close, recording what it sends.
  void Start();
  // Waits for the scripts to finish (at most the bounded waits).
  void Join();

  int Port() const { return FPort; }
  // Bytes received on connection i (0-based), or on all of them joined.
  std::string Received(size_t i);
  std::string Received();
  int Accepted() const { return FAccepted.load(); }

  // A port on 127.0.0.1 where nothing listens (just released).
  static int UnusedPort();

 private:
  void Run();
  bool RunScript(uintptr_t s, const Script& script, size_t index);
  bool ReadUntil(uintptr_t s, size_t index, int ms, bool stopAtHeadEnd);
  void SendAll(uintptr_t s, const char* p, size_t n);

  std::vector<Script> FScripts;
  std::vector<std::string> FReceived;
  std::mutex FLock;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  std::atomic<int> FAccepted{0};
  uintptr_t FListener;
  int FPort = 0;
  uint32_t FSeed;
  int FMaxPiece;
};
