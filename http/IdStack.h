// The socket stack: name resolution, result checking and the socket calls. One
// instance per process (GStack, also reached as SharedStack()) lives while any
// TIdComponent does. A failed call raises EIdSocketError with the Windows Sockets
// code and "Socket Error # %d\r\n%s".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Types.h"
#include "platform/Sockets.h"

using TIdStackSocketHandle = vxsock::TSocket;
constexpr TIdStackSocketHandle Id_INVALID_SOCKET = vxsock::kInvalidSocket;
constexpr int32_t Id_SOCKET_ERROR = -1;
constexpr int32_t Id_PF_INET = 2;
constexpr int32_t Id_SOCK_STREAM = 1;
constexpr int32_t Id_IPPROTO_IP = 0;
constexpr int32_t Id_SD_Send = 1;
constexpr int32_t Id_WSAEADDRINUSE = 10048;
constexpr int32_t Id_WSAECONNABORTED = 10053;
constexpr int32_t Id_WSAECONNRESET = 10054;
constexpr int32_t Id_WSAESHUTDOWN = 10058;
constexpr int32_t Id_WSAHOST_NOT_FOUND = 11001;

class TIdStack : public TObject {
 public:
  TIdStack() = default;
  ~TIdStack() override = default;

  // The platform's stack; raises when the socket library cannot be started.
  static TIdStack* CreateStack();

  // "LOCALHOST" gives 127.0.0.1, an IPv4 text is returned as it is, anything
  // else is asked of the name service (no answer raises, typically 11001).
  std::string ResolveHost(const std::string& AHost);
  // Four dot-separated numbers from 0 to 255.
  static bool IsIP(const std::string& AIP);
  // Strict: each part must convert (EConvertError otherwise).
  static vxsock::TInAddr TranslateStringToTInAddr(const std::string& AIP);
  static std::string TranslateTInAddrToString(const vxsock::TInAddr& AInAddr);

  // -1 fetches the current code: returns true when it is listed in AIgnore,
  // otherwise raises EIdSocketError. Any other result passes (false).
  bool CheckForSocketError(int32_t AResult, std::initializer_list<int32_t> AIgnore = {});
  [[noreturn]] void RaiseSocketError(int32_t AErr);
  static std::string WSTranslateSocketErrorMsg(int32_t AErr);
  int32_t LastError() const { return FLastError; }
  std::vector<std::string>& LocalAddresses() { return FLocalAddresses; }

  virtual TIdStackSocketHandle WSSocket(int32_t AFamily, int32_t AStruct, int32_t AProtocol) = 0;
  virtual int32_t WSBind(TIdStackSocketHandle ASocket, int32_t AFamily, const std::string& AIP,
                         int32_t APort) = 0;
  virtual int32_t WSConnect(TIdStackSocketHandle ASocket, int32_t AFamily, const std::string& AIP,
                            int32_t APort) = 0;
  virtual int32_t WSGetSockName(TIdStackSocketHandle ASocket, std::string& AIP, int32_t& APort) = 0;
  virtual int32_t WSGetPeerName(TIdStackSocketHandle ASocket, std::string& AIP, int32_t& APort) = 0;
  // Read set only; timeout in ms, -1 for none. Returns select's result.
  virtual int32_t WSSelectRead(const std::vector<TIdStackSocketHandle>& ASockets,
                               int32_t ATimeout) = 0;
  virtual int32_t WSRecv(TIdStackSocketHandle ASocket, void* ABuffer, int32_t ALength) = 0;
  virtual int32_t WSSend(TIdStackSocketHandle ASocket, const void* ABuffer, int32_t ALength) = 0;
  virtual int32_t WSShutdown(TIdStackSocketHandle ASocket, int32_t AHow) = 0;
  virtual int32_t WSCloseSocket(TIdStackSocketHandle ASocket) = 0;
  virtual int32_t WSGetLastError() = 0;
  virtual uint16_t WSHToNs(uint16_t AHostShort) = 0;
  virtual uint16_t WSNToHs(uint16_t ANetShort) = 0;

 protected:
  // Dotted address of the first answer; "" when there is none.
  virtual std::string WSGetHostByName(const std::string& AHostName) = 0;

  int32_t FLastError = 0;
  std::vector<std::string> FLocalAddresses;
};

extern TIdStack* GStack;
inline TIdStack* SharedStack() {
  return GStack;
}
