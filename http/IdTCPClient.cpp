#include "http/IdTCPClient.h"

#include "http/IdException.h"
#include "http/IdIOHandlerSocket.h"

TIdTCPClient::TIdTCPClient(TIdBaseComponent* AOwner) : TIdTCPConnection(AOwner) {}

void TIdTCPClient::DoOnConnected() {
  if (OnConnected) OnConnected(this);
}

void TIdTCPClient::Connect(int32_t ATimeout) {
  if (!FIOHandler) {
    FIOHandler = new TIdIOHandlerSocket(this);
    FIOHandler->OnStatus = OnStatus;
    FFreeIOHandlerOnDisconnect = true;
  } else if (FIOHandler->Connected()) {
    throw EIdAlreadyConnected();
  }
  try {
    FIOHandler->Open();
    FInputBuffer.Clear();
    FClosedGracefully = false;
    FIOHandler->ConnectClient(FHost, FPort, BoundIP(), BoundPort(), BoundPortMin(), BoundPortMax(),
                              ATimeout);
    DoStatus(hsConnected, RSStatusConnected);
    DoOnConnected();
  } catch (...) {
    DropSocket();
    throw;
  }
}
