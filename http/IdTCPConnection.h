// A buffered, blocking TCP connection: received bytes wait in the input queue
// and are taken line by line or by count; writes go out at once or collect in a
// write queue. Everything blocks the calling thread. Reads wait without limit
// when ReadTimeout is 0, unless a read deadline is set (SetReadDeadline), which
// bounds every wait until it is cleared; both raise EIdReadTimeout.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "http/IdComponent.h"
#include "http/IdGlobal.h"
#include "http/IdIOHandler.h"

// A plain byte buffer for one receive or the write queue.
class TIdSimpleBuffer {
 public:
  size_t Size() const { return FData.size(); }
  void SetSize(size_t n) { FData.resize(n); }
  char* Memory() { return FData.data(); }
  const std::string& Data() const { return FData; }
  void Append(const void* p, size_t n) { FData.append(static_cast<const char*>(p), n); }
  void Remove(size_t n) { FData.erase(0, n < FData.size() ? n : FData.size()); }
  void Clear() { FData.clear(); }

 private:
  std::string FData;
};

class TIdTCPConnection;

// The input queue: readable data starts after the consumed bytes, which are
// dropped all at once when everything is consumed, or moved out every 32768
// consumed bytes. Each removal reports its count to the connection's work
// notification.
class TIdManagedBuffer {
 public:
  explicit TIdManagedBuffer(TIdTCPConnection* AConnection = nullptr) : FConnection(AConnection) {}

  // Unconsumed bytes.
  size_t Size() const { return FData.size() - FReadedSize; }
  const char* Memory() const { return FData.data() + FReadedSize; }
  std::string_view View() const { return std::string_view(FData).substr(FReadedSize); }
  void Append(const void* p, size_t n) { FData.append(static_cast<const char*>(p), n); }
  // Copies n bytes out and removes them (EIdNotEnoughDataInBuffer when short).
  void Extract(void* dest, size_t n);
  std::string Extract(size_t n);
  void Remove(size_t n);
  void Clear() {
    FData.clear();
    FReadedSize = 0;
  }

  static constexpr size_t kPackSize = 32768;

 private:
  TIdTCPConnection* FConnection;
  std::string FData;
  size_t FReadedSize = 0;
};

enum TIdMaxLineAction { maException, maSplit };

class TIdTCPConnection : public TIdComponent {
 public:
  explicit TIdTCPConnection(TIdBaseComponent* AOwner);
  ~TIdTCPConnection() override;

  bool IsConnected();
  bool Connected() { return IsConnected(); }
  void CheckDisconnect(bool ARaiseExceptionIfDisconnected = true, bool AIgnoreBuffer = false);
  // Bytes received, 0 on close, -1 on a time-out without raising. ATimeout -1
  // means ReadTimeout (0: no limit).
  int32_t FillInputQueue(bool ARaiseExceptionIfDisconnected = true, int32_t ATimeout = -1,
                         bool ARaiseExceptionOnTimeout = true);
  std::string ReadLine(const std::string& ATerminator = "\n", int32_t AMaxLineLength = -1);
  void ReadBytes(void* ABuffer, int32_t AByteCount);
  void ReadToStream(TIdStream* AStream, int64_t AByteCount = -1, bool AReadUntilDisconnect = false);
  void Write(const std::string& AOut);
  void WriteLine(const std::string& AOut = "");
  void WriteBytes(const void* ABuffer, int32_t AByteCount, bool AWriteNow = false);
  void BeginBufferedWrite(int32_t AThreshold = 0);
  void EndBufferedWrite();
  void Disconnect();
  void DropSocket();

  // Bounds every wait of the reads from now by ADuration ms in all (0 clears).
  void SetReadDeadline(int32_t ADuration);
  void ClearReadDeadline() { FHasReadDeadline = false; }
  // Whether the deadline ended a read since it was set.
  bool ReadDeadlinePassed() const { return FReadDeadlineHit; }

  TIdManagedBuffer* InputBuffer() { return &FInputBuffer; }
  // Largest pre-sizing of a stream before its bytes arrive.
  static constexpr int64_t kMaxPresize = 1 << 20;
  TIdIOHandler* IOHandler() const { return FIOHandler; }
  // The connection does not take ownership of a handler set here.
  void SetIOHandler(TIdIOHandler* AHandler);
  bool ClosedGracefully() const { return FClosedGracefully; }
  bool ReadLnSplit() const { return FReadLnSplit; }
  bool ReadLnTimedOut() const { return FReadLnTimedOut; }

  int32_t ReadTimeout() const { return FReadTimeout; }
  void SetReadTimeout(int32_t v) { FReadTimeout = v; }
  int32_t RecvBufferSize() const { return FRecvBufferSize; }
  void SetRecvBufferSize(int32_t v) { FRecvBufferSize = v; }
  int32_t SendBufferSize() const { return FSendBufferSize; }
  void SetSendBufferSize(int32_t v) { FSendBufferSize = v; }
  int32_t MaxLineLength() const { return FMaxLineLength; }
  void SetMaxLineLength(int32_t v) { FMaxLineLength = v; }
  TIdMaxLineAction MaxLineAction() const { return FMaxLineAction; }
  void SetMaxLineAction(TIdMaxLineAction v) { FMaxLineAction = v; }
  // Kept for callers that set them; the connection does not use them.
  void* Intercept() const { return FIntercept; }
  void SetIntercept(void* v) { FIntercept = v; }
  bool ASCIIFilter() const { return FASCIIFilter; }
  void SetASCIIFilter(bool v) { FASCIIFilter = v; }

  TNotifyEvent OnDisconnected;

 protected:
  virtual void DoOnDisconnected();
  // Receive, send and wait through the transport's socket.
  TIdIOHandler* FIOHandler = nullptr;
  bool FFreeIOHandlerOnDisconnect = false;
  bool FClosedGracefully = false;
  TIdManagedBuffer FInputBuffer{this};

 private:
  bool TransportAllocated() const;
  // Milliseconds to wait given ATimeout (-1: none) and the read deadline.
  int32_t EffectiveWait(int32_t ATimeout, bool& ADeadlineBinds) const;

  int32_t FReadTimeout = 0;
  int32_t FRecvBufferSize = 32768;
  int32_t FSendBufferSize = 32768;
  int32_t FMaxLineLength = 16384;
  TIdMaxLineAction FMaxLineAction = maException;
  bool FASCIIFilter = false;
  void* FIntercept = nullptr;
  TIdSimpleBuffer FRecvBuffer;
  std::unique_ptr<TIdSimpleBuffer> FWriteBuffer;
  int32_t FWriteBufferThreshold = 0;
  bool FReadLnSplit = false;
  bool FReadLnTimedOut = false;
  bool FHasReadDeadline = false;
  mutable bool FReadDeadlineHit = false;
  std::chrono::steady_clock::time_point FReadDeadline;
};
