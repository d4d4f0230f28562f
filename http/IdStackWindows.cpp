#include "http/IdStackWindows.h"

#include <cstring>

#include "http/IdException.h"
#include "http/IdWinSock2.h"

TIdStack* TIdStack::CreateStack() {
  return new TIdStackWindows();
}

TIdStackWindows::TIdStackWindows() {
  if (!IdWinSock2::Started()) {
    IdWinSock2::InitializeWinSock();
    vxsock::TWSAData data;
    if (IdWinSock2::WSAStartup(0x0202, &data) != 0) throw EIdStackInitializationFailed();
    IdWinSock2::SetStarted(true);
  }
}

TIdStackSocketHandle TIdStackWindows::WSSocket(int32_t AFamily, int32_t AStruct,
                                               int32_t AProtocol) {
  return IdWinSock2::socket(AFamily, AStruct, AProtocol);
}

static vxsock::TSockAddrIn MakeAddr(int32_t AFamily, const std::string& AIP, int32_t APort) {
  vxsock::TSockAddrIn a{};
  a.sin_family = static_cast<int16_t>(AFamily);
  if (!AIP.empty()) a.sin_addr = TIdStack::TranslateStringToTInAddr(AIP);
  a.sin_port = IdWinSock2::htons(static_cast<uint16_t>(APort));
  return a;
}

int32_t TIdStackWindows::WSBind(TIdStackSocketHandle ASocket, int32_t AFamily,
                                const std::string& AIP, int32_t APort) {
  vxsock::TSockAddrIn a = MakeAddr(AFamily, AIP, APort);
  return IdWinSock2::bind(ASocket, &a, sizeof a);
}

int32_t TIdStackWindows::WSConnect(TIdStackSocketHandle ASocket, int32_t AFamily,
                                   const std::string& AIP, int32_t APort) {
  vxsock::TSockAddrIn a = MakeAddr(AFamily, AIP, APort);
  return IdWinSock2::connect(ASocket, &a, sizeof a);
}

int32_t TIdStackWindows::WSGetSockName(TIdStackSocketHandle ASocket, std::string& AIP,
                                       int32_t& APort) {
  vxsock::TSockAddrIn a{};
  int len = sizeof a;
  int32_t r = IdWinSock2::getsockname(ASocket, &a, &len);
  if (r == 0) {
    AIP = TranslateTInAddrToString(a.sin_addr);
    APort = IdWinSock2::ntohs(a.sin_port);
  }
  return r;
}

int32_t TIdStackWindows::WSGetPeerName(TIdStackSocketHandle ASocket, std::string& AIP,
                                       int32_t& APort) {
  vxsock::TSockAddrIn a{};
  int len = sizeof a;
  int32_t r = IdWinSock2::getpeername(ASocket, &a, &len);
  if (r == 0) {
    AIP = TranslateTInAddrToString(a.sin_addr);
    APort = IdWinSock2::ntohs(a.sin_port);
  }
  return r;
}

int32_t TIdStackWindows::WSSelectRead(const std::vector<TIdStackSocketHandle>& ASockets,
                                      int32_t ATimeout) {
  if (ASockets.size() > vxsock::kFdSetSize) throw EIdStackSetSizeExceeded();
  vxsock::TFdSet set{};
  for (TIdStackSocketHandle s : ASockets) set.fd_array[set.fd_count++] = s;
  vxsock::TTimeVal tv{ATimeout / 1000, (ATimeout % 1000) * 1000};
  return IdWinSock2::select(0, &set, nullptr, nullptr, ATimeout < 0 ? nullptr : &tv);
}

int32_t TIdStackWindows::WSRecv(TIdStackSocketHandle ASocket, void* ABuffer, int32_t ALength) {
  return IdWinSock2::recv(ASocket, static_cast<char*>(ABuffer), ALength, 0);
}

int32_t TIdStackWindows::WSSend(TIdStackSocketHandle ASocket, const void* ABuffer,
                                int32_t ALength) {
  return IdWinSock2::send(ASocket, static_cast<const char*>(ABuffer), ALength, 0);
}

int32_t TIdStackWindows::WSShutdown(TIdStackSocketHandle ASocket, int32_t AHow) {
  return IdWinSock2::shutdown(ASocket, AHow);
}

int32_t TIdStackWindows::WSCloseSocket(TIdStackSocketHandle ASocket) {
  return IdWinSock2::closesocket(ASocket);
}

int32_t TIdStackWindows::WSGetLastError() {
  return IdWinSock2::WSAGetLastError();
}

uint16_t TIdStackWindows::WSHToNs(uint16_t AHostShort) {
  return IdWinSock2::htons(AHostShort);
}

uint16_t TIdStackWindows::WSNToHs(uint16_t ANetShort) {
  return IdWinSock2::ntohs(ANetShort);
}

std::string TIdStackWindows::WSGetHostByName(const std::string& AHostName) {
  vxsock::THostEnt* h = IdWinSock2::gethostbyname(AHostName.c_str());
  if (!h || !h->h_addr_list || !h->h_addr_list[0]) return {};
  vxsock::TInAddr a;
  std::memcpy(&a.S_addr, h->h_addr_list[0], 4);
  return TranslateTInAddrToString(a);
}
