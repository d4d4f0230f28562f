// One TCP socket of the shared stack with its local and peer address. Handle is
// -1 (Id_INVALID_SOCKET) when none is allocated. Failures raise EIdSocketError
// (or the bind exceptions below); closing never raises.
#pragma once

#include <cstdint>
#include <string>

#include "http/IdStack.h"

class TIdSocketHandle {
 public:
  TIdSocketHandle() = default;
  ~TIdSocketHandle() { CloseSocket(); }
  TIdSocketHandle(const TIdSocketHandle&) = delete;
  TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

  // Closes a socket still allocated, then creates a stream socket
  // (EIdInvalidSocket when that fails).
  void AllocateSocket(int32_t ASocketType = Id_SOCK_STREAM, int32_t AProtocol = Id_IPPROTO_IP);
  // Binds to IP():Port(), or tries the client port range from its top down.
  void Bind();
  // Connects to PeerIP():PeerPort(); returns connect's result (-1 on failure).
  int32_t Connect(int32_t AFamily = Id_PF_INET);
  // True when data (or a close) is waiting; ATimeOut in ms, -1 for no limit.
  // EIdConnClosedGracefully when no socket is allocated.
  bool Readable(int32_t ATimeOut = -1);
  bool Select(int32_t ATimeOut = -1) { return Readable(ATimeOut); }
  int32_t Recv(void* ABuf, int32_t ALen);
  int32_t Send(const void* ABuf, int32_t ALen);
  // Shutdown of sending, then close; results ignored. Only when allocated.
  void CloseSocket();
  void Reset(bool AResetLocal = true);
  void UpdateBindingLocal();
  void UpdateBindingPeer();

  TIdStackSocketHandle Handle() const { return FHandle; }
  bool HandleAllocated() const { return FHandleAllocated; }
  const std::string& IP() const { return FIP; }
  void SetIP(const std::string& v) { FIP = v; }
  const std::string& PeerIP() const { return FPeerIP; }
  void SetPeerIP(const std::string& v) { FPeerIP = v; }
  int32_t Port() const { return FPort; }
  void SetPort(int32_t v) { FPort = v; }
  int32_t PeerPort() const { return FPeerPort; }
  void SetPeerPort(int32_t v) { FPeerPort = v; }
  int32_t ClientPortMin() const { return FClientPortMin; }
  void SetClientPortMin(int32_t v) { FClientPortMin = v; }
  int32_t ClientPortMax() const { return FClientPortMax; }
  void SetClientPortMax(int32_t v) { FClientPortMax = v; }

 private:
  bool TryBind();

  TIdStackSocketHandle FHandle = Id_INVALID_SOCKET;
  bool FHandleAllocated = false;
  std::string FIP;
  std::string FPeerIP;
  int32_t FPort = 0;
  int32_t FPeerPort = 0;
  int32_t FClientPortMin = 0;
  int32_t FClientPortMax = 0;
};
