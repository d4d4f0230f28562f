#include "http/IdIOHandlerSocket.h"

#include <chrono>

#include "http/IdException.h"
#include "http/IdGlobal.h"

TIdIOHandlerSocket::TIdIOHandlerSocket(TIdBaseComponent* AOwner) : TIdIOHandler(AOwner) {}

TIdIOHandlerSocket::~TIdIOHandlerSocket() {
  Close();
}

void TIdIOHandlerSocket::Open() {
  if (FBinding)
    FBinding->Reset();
  else
    FBinding = std::make_unique<TIdSocketHandle>();
}

void TIdIOHandlerSocket::Close() {
  if (FBinding) FBinding->CloseSocket();
}

bool TIdIOHandlerSocket::Connected() const {
  return FBinding && FBinding->HandleAllocated();
}

void TIdIOHandlerSocket::ConnectClient(const std::string& AHost, int32_t APort,
                                       const std::string& ABoundIP, int32_t ABoundPort,
                                       int32_t ABoundPortMin, int32_t ABoundPortMax,
                                       int32_t ATimeout) {
  FBinding->AllocateSocket();
  FBinding->SetIP(ABoundIP);
  FBinding->SetPort(ABoundPort);
  FBinding->SetClientPortMin(ABoundPortMin);
  FBinding->SetClientPortMax(ABoundPortMax);
  FBinding->Bind();
  DoStatus(hsResolving, IdFormat(RSStatusResolving, AHost.c_str()));
  FBinding->SetPeerIP(GStack->ResolveHost(AHost));
  FBinding->SetPeerPort(APort);
  DoStatus(hsConnecting, IdFormat(RSStatusConnecting, FBinding->PeerIP().c_str()));
  if (ATimeout <= 0) {
    GStack->CheckForSocketError(FBinding->Connect());
    return;
  }
  TIdConnectThread thread(FBinding.get());
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ATimeout);
  while (!thread.Finished() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(125));
  if (!thread.Finished()) {
    // Closing the socket ends the blocked connect.
    FBinding->CloseSocket();
    thread.WaitFor();
    throw EIdConnectTimeout();
  }
  thread.WaitFor();
  if (thread.Failed()) throw EIdConnectException(thread.ExceptionMessage());
}

bool TIdIOHandlerSocket::Readable(int32_t ATimeOut) {
  return FBinding->Readable(ATimeOut);
}

int32_t TIdIOHandlerSocket::Recv(void* ABuf, int32_t ALen) {
  if (!Connected()) throw EIdClosedSocket();
  return FBinding->Recv(ABuf, ALen);
}

int32_t TIdIOHandlerSocket::Send(const void* ABuf, int32_t ALen) {
  if (!Connected()) throw EIdClosedSocket();
  return FBinding->Send(ABuf, ALen);
}

TIdConnectThread::TIdConnectThread(TIdSocketHandle* ABinding) : FBinding(ABinding) {
  FThread = std::thread([this] {
    try {
      GStack->CheckForSocketError(FBinding->Connect());
    } catch (const std::exception& e) {
      FFailed = true;
      FExceptionMessage = e.what();
    }
    FFinished = true;
  });
}

TIdConnectThread::~TIdConnectThread() {
  WaitFor();
}

void TIdConnectThread::WaitFor() {
  if (FThread.joinable()) FThread.join();
}
