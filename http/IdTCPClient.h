// A TCP connection that connects itself to Host:Port. Connect creates a socket
// transport (freed again on Disconnect) when none is set.
#pragma once

#include "http/IdTCPConnection.h"

class TIdTCPClient : public TIdTCPConnection {
 public:
  explicit TIdTCPClient(TIdBaseComponent* AOwner);

  // ATimeout in ms: 0 or -1 connect without a time-out of their own; a positive
  // value raises EIdConnectTimeout when the connect does not finish in time.
  // Any failure drops the socket and propagates.
  virtual void Connect(int32_t ATimeout = -1);

  const std::string& Host() const { return FHost; }
  virtual void SetHost(const std::string& v) { FHost = v; }
  int32_t Port() const { return FPort; }
  virtual void SetPort(int32_t v) { FPort = v; }
  const std::string& BoundIP() const { return FBoundIP; }
  void SetBoundIP(const std::string& v) { FBoundIP = v; }
  int32_t BoundPort() const { return FBoundPort; }
  void SetBoundPort(int32_t v) { FBoundPort = v; }
  int32_t BoundPortMin() const { return FBoundPortMin; }
  void SetBoundPortMin(int32_t v) { FBoundPortMin = v; }
  int32_t BoundPortMax() const { return FBoundPortMax; }
  void SetBoundPortMax(int32_t v) { FBoundPortMax = v; }

  TNotifyEvent OnConnected;

 protected:
  virtual void DoOnConnected();

  std::string FHost;
  int32_t FPort = 0;

 private:
  std::string FBoundIP;
  int32_t FBoundPort = 0;
  int32_t FBoundPortMin = 0;
  int32_t FBoundPortMax = 0;
};
