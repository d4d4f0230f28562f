// The plain socket transport: owns one socket handle of the shared stack.
// Connects straight to the target (SOCKS stays off) and never sets no-delay.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "http/IdIOHandler.h"
#include "http/IdSocketHandle.h"

enum TSocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };

struct TIdSocksInfo {
  TSocksVersion Version = svNoSocks;
  std::string Host;
  int32_t Port = 1080;
  std::string Username;
  std::string Password;
};

class TIdIOHandlerSocket : public TIdIOHandler {
 public:
  explicit TIdIOHandlerSocket(TIdBaseComponent* AOwner);
  ~TIdIOHandlerSocket() override;

  void Open() override;
  void Close() override;
  bool Connected() const override;
  void ConnectClient(const std::string& AHost, int32_t APort, const std::string& ABoundIP,
                     int32_t ABoundPort, int32_t ABoundPortMin, int32_t ABoundPortMax,
                     int32_t ATimeout) override;
  bool Readable(int32_t ATimeOut) override;
  int32_t Recv(void* ABuf, int32_t ALen) override;
  int32_t Send(const void* ABuf, int32_t ALen) override;

  TIdSocketHandle* Binding() const { return FBinding.get(); }
  bool UseNagle() const { return FUseNagle; }
  void SetUseNagle(bool v) { FUseNagle = v; }
  TIdSocksInfo& SocksInfo() { return FSocksInfo; }

 private:
  std::unique_ptr<TIdSocketHandle> FBinding;
  bool FUseNagle = true;
  TIdSocksInfo FSocksInfo;
};

// Runs one connect while the caller waits; records the error message of a
// failed connect instead of raising.
class TIdConnectThread {
 public:
  explicit TIdConnectThread(TIdSocketHandle* ABinding);
  ~TIdConnectThread();
  bool Finished() const { return FFinished.load(); }
  void WaitFor();
  const std::string& ExceptionMessage() const { return FExceptionMessage; }
  bool Failed() const { return FFailed; }

 private:
  TIdSocketHandle* FBinding;
  std::atomic<bool> FFinished{false};
  bool FFailed = false;
  std::string FExceptionMessage;
  std::thread FThread;
};
