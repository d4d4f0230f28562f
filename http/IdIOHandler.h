// A transport under a TCP connection: opens, connects, waits, receives, sends
// and closes. The connection owns one or is handed one.
#pragma once

#include <cstdint>
#include <string>

#include "http/IdComponent.h"

class TIdIOHandler : public TIdComponent {
 public:
  explicit TIdIOHandler(TIdBaseComponent* AOwner) : TIdComponent(AOwner) {}

  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // Allocates, binds, resolves and connects; ATimeout in ms (0 or -1: none of
  // its own).
  virtual void ConnectClient(const std::string& AHost, int32_t APort, const std::string& ABoundIP,
                             int32_t ABoundPort, int32_t ABoundPortMin, int32_t ABoundPortMax,
                             int32_t ATimeout) = 0;
  // ATimeOut in ms, -1 for no limit.
  virtual bool Readable(int32_t ATimeOut) = 0;
  virtual int32_t Recv(void* ABuf, int32_t ALen) = 0;
  virtual int32_t Send(const void* ABuf, int32_t ALen) = 0;
};
