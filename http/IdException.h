// The client's exception classes. Every one derives from EIdException, which
// derives from the framework's Exception; Message() returns the text.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Types.h"
#include "http/IdResourceStrings.h"

class EIdException : public Exception {
 public:
  using Exception::Exception;
};

// Ends an operation without being an error in itself (a closed connection).
class EIdSilentException : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdProtocolReplyError : public EIdException {
 public:
  EIdProtocolReplyError(int32_t code, std::string msg)
      : EIdException(std::move(msg)), FReplyCode(code) {}
  int32_t ReplyCode() const { return FReplyCode; }

 private:
  int32_t FReplyCode;
};

#define VX_ID_EXCEPTION(name, base, text)                           \
  class name : public base {                                        \
   public:                                                          \
    explicit name(std::string msg = text) : base(std::move(msg)) {} \
  }

// URLs
VX_ID_EXCEPTION(EIdURIException, EIdException, "");
VX_ID_EXCEPTION(EIdUnknownProtocol, EIdException, "");
// Dates
VX_ID_EXCEPTION(EIdFailedToRetreiveTimeZoneInfo, EIdException, RSFailedTimeZoneInfo);
// Connection
VX_ID_EXCEPTION(EIdTCPConnectionError, EIdException, "");
VX_ID_EXCEPTION(EIdAlreadyConnected, EIdException, RSAlreadyConnected);
VX_ID_EXCEPTION(EIdConnClosedGracefully, EIdSilentException, RSConnectionClosedGracefully);
VX_ID_EXCEPTION(EIdReadTimeout, EIdException, RSReadTimeout);
VX_ID_EXCEPTION(EIdNotConnected, EIdTCPConnectionError, RSNotConnected);
VX_ID_EXCEPTION(EIdReadLnMaxLineLengthExceeded, EIdException, RSReadLnMaxLineLengthExceeded);
VX_ID_EXCEPTION(EIdNotEnoughDataInBuffer, EIdTCPConnectionError, RSNotEnoughDataInBuffer);
VX_ID_EXCEPTION(EIdClosedSocket, EIdException, RSStatusDisconnectedSocket);
VX_ID_EXCEPTION(EIdConnectTimeout, EIdException, RSConnectTimeout);
VX_ID_EXCEPTION(EIdConnectException, EIdException, "");
VX_ID_EXCEPTION(EIdNoDataToRead, EIdTCPConnectionError, RSNoDataToRead);
VX_ID_EXCEPTION(EIdIOHandlerPropInvalid, EIdException, RSIOHandlerPropInvalid);
// Raised when a response head grows beyond the client's bound.
VX_ID_EXCEPTION(EIdHTTPHeadTooLarge, EIdException, "");
// Socket stack
VX_ID_EXCEPTION(EIdStackError, EIdException, "");
VX_ID_EXCEPTION(EIdStackInitializationFailed, EIdStackError, RSWinsockInitializationError);
VX_ID_EXCEPTION(EIdStackSetSizeExceeded, EIdStackError, RSSetSizeExceeded);
VX_ID_EXCEPTION(EIdInvalidSocket, EIdException, RSCannotAllocateSocket);
VX_ID_EXCEPTION(EIdSocketHandleError, EIdException, "");
VX_ID_EXCEPTION(EIdCouldNotBindSocket, EIdSocketHandleError, RSCouldNotBindSocket);
VX_ID_EXCEPTION(EIdInvalidPortRange, EIdSocketHandleError, "");
VX_ID_EXCEPTION(EIdCanNotBindPortInRange, EIdSocketHandleError, "");

#undef VX_ID_EXCEPTION

// A failed socket operation: the Windows Sockets code and "Socket Error # %d\r\n%s".
class EIdSocketError : public EIdException {
 public:
  EIdSocketError(int32_t code, std::string msg) : EIdException(std::move(msg)), FLastError(code) {}
  int32_t LastError() const { return FLastError; }
  int32_t ErrorCode() const { return FLastError; }

 private:
  int32_t FLastError;
};

// The socket library could not be loaded or an entry point could not be used.
// Message: title + ": " + system message (the title alone for code 0).
class EIdWS2StubError : public EIdException {
 public:
  EIdWS2StubError(std::string title, uint32_t win32Error, std::string win32ErrorMessage)
      : EIdException(win32Error == 0 ? title : title + ": " + win32ErrorMessage),
        FTitle(std::move(title)),
        FWin32Error(win32Error),
        FWin32ErrorMessage(std::move(win32ErrorMessage)) {}
  const std::string& Title() const { return FTitle; }
  uint32_t Win32Error() const { return FWin32Error; }
  const std::string& Win32ErrorMessage() const { return FWin32ErrorMessage; }

 private:
  std::string FTitle;
  uint32_t FWin32Error;
  std::string FWin32ErrorMessage;
};
