#include "http/IdTCPConnection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "http/IdException.h"
#include "http/IdStack.h"

void TIdManagedBuffer::Extract(void* dest, size_t n) {
  if (n > Size()) throw EIdNotEnoughDataInBuffer();
  if (n > 0) std::memcpy(dest, Memory(), n);
  Remove(n);
}

std::string TIdManagedBuffer::Extract(size_t n) {
  if (n > Size()) throw EIdNotEnoughDataInBuffer();
  std::string s(Memory(), n);
  Remove(n);
  return s;
}

void TIdManagedBuffer::Remove(size_t n) {
  if (n > Size()) throw EIdNotEnoughDataInBuffer();
  if (n == Size()) {
    Clear();
  } else {
    FReadedSize += n;
    if (FReadedSize >= kPackSize) {
      FData.erase(0, FReadedSize);
      FReadedSize = 0;
    }
  }
  if (FConnection && n > 0) FConnection->DoWork(wmRead, static_cast<int64_t>(n));
}

TIdTCPConnection::TIdTCPConnection(TIdBaseComponent* AOwner) : TIdComponent(AOwner) {}

TIdTCPConnection::~TIdTCPConnection() {
  DropSocket();
  if (FFreeIOHandlerOnDisconnect) delete FIOHandler;
  FIOHandler = nullptr;
}

void TIdTCPConnection::SetIOHandler(TIdIOHandler* AHandler) {
  if (FFreeIOHandlerOnDisconnect && FIOHandler != AHandler) delete FIOHandler;
  FIOHandler = AHandler;
  FFreeIOHandlerOnDisconnect = false;
}

bool TIdTCPConnection::TransportAllocated() const {
  return FIOHandler && FIOHandler->Connected();
}

void TIdTCPConnection::DoOnDisconnected() {
  if (OnDisconnected) OnDisconnected(this);
}

void TIdTCPConnection::CheckDisconnect(bool ARaiseExceptionIfDisconnected, bool AIgnoreBuffer) {
  bool disconnected = false;
  if (FClosedGracefully) {
    if (FIOHandler) {
      if (FIOHandler->Connected()) {
        DropSocket();
        DoStatus(hsDisconnected, RSStatusDisconnected);
        DoOnDisconnected();
      }
      disconnected = true;
    }
  } else {
    disconnected = FIOHandler && !FIOHandler->Connected();
  }
  if (disconnected && ARaiseExceptionIfDisconnected && (FInputBuffer.Size() == 0 || AIgnoreBuffer))
    throw EIdConnClosedGracefully();
}

bool TIdTCPConnection::IsConnected() {
  CheckDisconnect(false, false);
  return TransportAllocated();
}

void TIdTCPConnection::SetReadDeadline(int32_t ADuration) {
  FHasReadDeadline = ADuration > 0;
  FReadDeadlineHit = false;
  FReadDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ADuration);
}

int32_t TIdTCPConnection::EffectiveWait(int32_t ATimeout, bool& ADeadlineBinds) const {
  ADeadlineBinds = false;
  if (!FHasReadDeadline) return ATimeout;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                  FReadDeadline - std::chrono::steady_clock::now())
                  .count();
  if (left <= 0) {
    FReadDeadlineHit = true;
    throw EIdReadTimeout();
  }
  if (ATimeout < 0 || left <= ATimeout) {
    ADeadlineBinds = true;
    return static_cast<int32_t>(left);
  }
  return ATimeout;
}

int32_t TIdTCPConnection::FillInputQueue(bool ARaiseExceptionIfDisconnected, int32_t ATimeout,
                                         bool ARaiseExceptionOnTimeout) {
  if (ATimeout == -1) ATimeout = FReadTimeout == 0 ? -1 : FReadTimeout;
  CheckDisconnect(ARaiseExceptionIfDisconnected, false);
  if (!IsConnected()) {
    if (ARaiseExceptionIfDisconnected) throw EIdNotConnected();
    return 0;
  }
  int32_t result;
  do {
    bool deadlineBinds;
    int32_t wait = EffectiveWait(ATimeout, deadlineBinds);
    if (!FIOHandler->Readable(wait)) {
      if (deadlineBinds) FReadDeadlineHit = true;
      if (ARaiseExceptionOnTimeout || deadlineBinds) throw EIdReadTimeout();
      return -1;
    }
    FRecvBuffer.SetSize(static_cast<size_t>(FRecvBufferSize > 0 ? FRecvBufferSize : 1));
    result = FIOHandler->Recv(FRecvBuffer.Memory(), static_cast<int32_t>(FRecvBuffer.Size()));
    FClosedGracefully = result == 0;
    if (result == Id_SOCKET_ERROR) {
      if (GStack->CheckForSocketError(result, {Id_WSAESHUTDOWN, Id_WSAECONNABORTED})) {
        int32_t code = GStack->LastError();
        DropSocket();
        if (FInputBuffer.Size() == 0) GStack->RaiseSocketError(code);
        result = 0;
      }
    }
    if (result > 0) FInputBuffer.Append(FRecvBuffer.Memory(), static_cast<size_t>(result));
    CheckDisconnect(ARaiseExceptionIfDisconnected, false);
  } while (result == 0 && IsConnected());
  return result;
}

std::string TIdTCPConnection::ReadLine(const std::string& ATerminator, int32_t AMaxLineLength) {
  const std::string term = ATerminator.empty() ? std::string("\n") : ATerminator;
  if (AMaxLineLength == -1) AMaxLineLength = FMaxLineLength;
  const size_t maxLen = AMaxLineLength > 0 ? static_cast<size_t>(AMaxLineLength) : 0;
  FReadLnSplit = false;
  FReadLnTimedOut = false;
  size_t searchFrom = 0;
  auto overLimit = [&]() -> std::string {
    if (FMaxLineAction == maException) throw EIdReadLnMaxLineLengthExceeded();
    FReadLnSplit = true;
    return FInputBuffer.Extract(maxLen);
  };
  for (;;) {
    std::string_view q = FInputBuffer.View();
    size_t pos;
    if (term.size() == 1) {
      const void* hit = searchFrom < q.size()
                            ? std::memchr(q.data() + searchFrom, term[0], q.size() - searchFrom)
                            : nullptr;
      pos = hit ? static_cast<size_t>(static_cast<const char*>(hit) - q.data())
                : std::string_view::npos;
    } else {
      pos = q.find(term, searchFrom);
    }
    if (pos != std::string_view::npos) {
      if (maxLen > 0 && pos > maxLen) return overLimit();
      std::string line(q.substr(0, pos));
      FInputBuffer.Remove(pos + term.size());
      if (term == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (maxLen > 0 && q.size() > maxLen) return overLimit();
    searchFrom = q.size() >= term.size() ? q.size() - term.size() + 1 : 0;
    CheckDisconnect(true, true);
    if (FillInputQueue(true, -1, true) == 0) {
      FReadLnTimedOut = true;
      return {};
    }
  }
}

void TIdTCPConnection::ReadBytes(void* ABuffer, int32_t AByteCount) {
  if (AByteCount <= 0) return;
  while (FInputBuffer.Size() < static_cast<size_t>(AByteCount)) {
    FillInputQueue(true, -1, true);
    CheckDisconnect(true, true);
  }
  FInputBuffer.Extract(ABuffer, static_cast<size_t>(AByteCount));
}

void TIdTCPConnection::ReadToStream(TIdStream* AStream, int64_t AByteCount,
                                    bool AReadUntilDisconnect) {
  if (AByteCount == -1 && !AReadUntilDisconnect) {
    unsigned char b[4];
    ReadBytes(b, 4);
    AByteCount = static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) |
                                      (uint32_t(b[2]) << 8) | uint32_t(b[3]));
  }
  if (AByteCount >= 0) {
    // Pre-size for what is announced, but never allocate more than a block
    // ahead on the word of the peer: the stream grows as bytes really arrive.
    int64_t pos = AStream->Position();
    AStream->SetSize(pos + std::min<int64_t>(AByteCount, kMaxPresize));
    AStream->SetPosition(pos);
  }
  int64_t remaining = AReadUntilDisconnect ? 0x7FFFFFFF : std::max<int64_t>(AByteCount, 0);
  BeginWork(wmRead, AByteCount > 0 ? AByteCount : 0);
  try {
    size_t take = static_cast<size_t>(std::min<int64_t>(remaining, FInputBuffer.Size()));
    if (take > 0) {
      AStream->Write(FInputBuffer.Memory(), take);
      FInputBuffer.Remove(take);
      remaining -= static_cast<int64_t>(take);
    }
    size_t block = static_cast<size_t>(
        std::min<int64_t>(remaining, FRecvBufferSize > 0 ? FRecvBufferSize : 1));
    std::vector<char> scratch(block);
    while (remaining > 0 && IsConnected()) {
      int32_t n = static_cast<int32_t>(std::min<int64_t>(remaining, static_cast<int64_t>(block)));
      try {
        ReadBytes(scratch.data(), n);
      } catch (const EIdConnClosedGracefully&) {
        if (!AReadUntilDisconnect) throw;
        size_t rest = static_cast<size_t>(std::min<int64_t>(remaining, FInputBuffer.Size()));
        AStream->Write(FInputBuffer.Memory(), rest);
        FInputBuffer.Remove(rest);
        break;
      }
      AStream->Write(scratch.data(), static_cast<size_t>(n));
      remaining -= n;
    }
  } catch (...) {
    EndWork(wmRead);
    if (AStream->Size() > AStream->Position()) AStream->SetSize(AStream->Position());
    throw;
  }
  EndWork(wmRead);
  if (AStream->Size() > AStream->Position()) AStream->SetSize(AStream->Position());
}

void TIdTCPConnection::Write(const std::string& AOut) {
  if (!AOut.empty()) WriteBytes(AOut.data(), static_cast<int32_t>(AOut.size()));
}

void TIdTCPConnection::WriteLine(const std::string& AOut) {
  Write(AOut + "\r\n");
}

void TIdTCPConnection::WriteBytes(const void* ABuffer, int32_t AByteCount, bool AWriteNow) {
  if (AByteCount <= 0) return;
  CheckDisconnect(true, true);
  if (!IsConnected()) throw EIdNotConnected();
  if (FWriteBuffer && !AWriteNow) {
    FWriteBuffer->Append(ABuffer, static_cast<size_t>(AByteCount));
    if (FWriteBufferThreshold > 0 &&
        FWriteBuffer->Size() >= static_cast<size_t>(FWriteBufferThreshold)) {
      std::string chunk =
          FWriteBuffer->Data().substr(0, static_cast<size_t>(FWriteBufferThreshold));
      FWriteBuffer->Remove(chunk.size());
      WriteBytes(chunk.data(), static_cast<int32_t>(chunk.size()), true);
    }
    return;
  }
  const char* p = static_cast<const char*>(ABuffer);
  int32_t sent = 0;
  while (sent < AByteCount) {
    int32_t n = FIOHandler->Send(p + sent, AByteCount - sent);
    if (n == Id_SOCKET_ERROR) {
      GStack->CheckForSocketError(n, {Id_WSAESHUTDOWN, Id_WSAECONNABORTED, Id_WSAECONNRESET});
      // A listed code: the peer is gone. Report the code that said so.
      int32_t code = GStack->LastError();
      DropSocket();
      GStack->RaiseSocketError(code);
    }
    FClosedGracefully = n == 0;
    CheckDisconnect(true, false);
    DoWork(wmWrite, n);
    sent += n;
  }
}

void TIdTCPConnection::BeginBufferedWrite(int32_t AThreshold) {
  FWriteBuffer = std::make_unique<TIdSimpleBuffer>();
  FWriteBufferThreshold = AThreshold;
}

void TIdTCPConnection::EndBufferedWrite() {
  std::unique_ptr<TIdSimpleBuffer> queue = std::move(FWriteBuffer);
  if (queue && queue->Size() > 0)
    WriteBytes(queue->Data().data(), static_cast<int32_t>(queue->Size()), true);
}

void TIdTCPConnection::Disconnect() {
  DoStatus(hsDisconnecting, RSStatusDisconnecting);
  DropSocket();
  if (FFreeIOHandlerOnDisconnect) {
    delete FIOHandler;
    FIOHandler = nullptr;
    FFreeIOHandlerOnDisconnect = false;
  }
  DoOnDisconnected();
  DoStatus(hsDisconnected, RSStatusDisconnected);
}

void TIdTCPConnection::DropSocket() {
  if (FIOHandler) {
    FClosedGracefully = true;
    FIOHandler->Close();
  }
}
