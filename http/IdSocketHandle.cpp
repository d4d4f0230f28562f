#include "http/IdSocketHandle.h"

#include "http/IdException.h"
#include "http/IdGlobal.h"

void TIdSocketHandle::AllocateSocket(int32_t ASocketType, int32_t AProtocol) {
  CloseSocket();
  FHandle = GStack->WSSocket(Id_PF_INET, ASocketType, AProtocol);
  if (FHandle == Id_INVALID_SOCKET) throw EIdInvalidSocket();
  FHandleAllocated = true;
}

bool TIdSocketHandle::TryBind() {
  return !GStack->CheckForSocketError(GStack->WSBind(FHandle, Id_PF_INET, FIP, FPort),
                                      {Id_WSAEADDRINUSE});
}

void TIdSocketHandle::Bind() {
  if (FPort != 0 || FClientPortMin == 0 || FClientPortMax == 0) {
    if (!TryBind()) throw EIdCouldNotBindSocket();
  } else {
    if (FClientPortMax < FClientPortMin)
      throw EIdInvalidPortRange(IdFormat(RSInvalidPortRange, FClientPortMin, FClientPortMax));
    bool bound = false;
    for (int32_t port = FClientPortMax; port >= FClientPortMin && !bound; --port) {
      FPort = port;
      bound = GStack->WSBind(FHandle, Id_PF_INET, FIP, FPort) != Id_SOCKET_ERROR;
    }
    if (!bound) {
      FPort = 0;
      throw EIdCanNotBindPortInRange(IdFormat(RSCannotBindRange, FClientPortMin, FClientPortMax));
    }
  }
  UpdateBindingLocal();
}

int32_t TIdSocketHandle::Connect(int32_t AFamily) {
  int32_t r = GStack->WSConnect(FHandle, AFamily, FPeerIP, FPeerPort);
  if (r != Id_SOCKET_ERROR) {
    UpdateBindingLocal();
    UpdateBindingPeer();
  }
  return r;
}

bool TIdSocketHandle::Readable(int32_t ATimeOut) {
  if (!FHandleAllocated) throw EIdConnClosedGracefully();
  return GStack->WSSelectRead({FHandle}, ATimeOut) == 1;
}

int32_t TIdSocketHandle::Recv(void* ABuf, int32_t ALen) {
  return GStack->WSRecv(FHandle, ABuf, ALen);
}

int32_t TIdSocketHandle::Send(const void* ABuf, int32_t ALen) {
  return GStack->WSSend(FHandle, ABuf, ALen);
}

void TIdSocketHandle::CloseSocket() {
  if (!FHandleAllocated) return;
  FHandleAllocated = false;
  if (!GStack) return;
  // Closing happens in destructors and after failures: it must not raise.
  try {
    GStack->WSShutdown(FHandle, Id_SD_Send);
  } catch (const EIdException&) {
  }
  try {
    GStack->WSCloseSocket(FHandle);
  } catch (const EIdException&) {
  }
}

void TIdSocketHandle::Reset(bool AResetLocal) {
  FHandleAllocated = false;
  FHandle = Id_INVALID_SOCKET;
  FPeerIP.clear();
  FPeerPort = 0;
  if (AResetLocal) {
    FIP.clear();
    FPort = 0;
  }
}

void TIdSocketHandle::UpdateBindingLocal() {
  GStack->CheckForSocketError(GStack->WSGetSockName(FHandle, FIP, FPort));
}

void TIdSocketHandle::UpdateBindingPeer() {
  GStack->CheckForSocketError(GStack->WSGetPeerName(FHandle, FPeerIP, FPeerPort));
}
