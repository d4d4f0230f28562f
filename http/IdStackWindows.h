// The socket stack over the socket library's entry table. Creating the first
// instance in a process loads and starts the library (version 2.2); the library
// stays started until the program ends.
#pragma once

#include "http/IdStack.h"

class TIdStackWindows : public TIdStack {
 public:
  // Raises EIdWS2StubError when the library cannot be loaded and
  // EIdStackInitializationFailed when its start-up fails.
  TIdStackWindows();

  TIdStackSocketHandle WSSocket(int32_t AFamily, int32_t AStruct, int32_t AProtocol) override;
  int32_t WSBind(TIdStackSocketHandle ASocket, int32_t AFamily, const std::string& AIP,
                 int32_t APort) override;
  int32_t WSConnect(TIdStackSocketHandle ASocket, int32_t AFamily, const std::string& AIP,
                    int32_t APort) override;
  int32_t WSGetSockName(TIdStackSocketHandle ASocket, std::string& AIP, int32_t& APort) override;
  int32_t WSGetPeerName(TIdStackSocketHandle ASocket, std::string& AIP, int32_t& APort) override;
  int32_t WSSelectRead(const std::vector<TIdStackSocketHandle>& ASockets,
                       int32_t ATimeout) override;
  int32_t WSRecv(TIdStackSocketHandle ASocket, void* ABuffer, int32_t ALength) override;
  int32_t WSSend(TIdStackSocketHandle ASocket, const void* ABuffer, int32_t ALength) override;
  int32_t WSShutdown(TIdStackSocketHandle ASocket, int32_t AHow) override;
  int32_t WSCloseSocket(TIdStackSocketHandle ASocket) override;
  int32_t WSGetLastError() override;
  uint16_t WSHToNs(uint16_t AHostShort) override;
  uint16_t WSNToHs(uint16_t ANetShort) override;

 protected:
  std::string WSGetHostByName(const std::string& AHostName) override;
};
