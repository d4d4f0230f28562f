// The HTTP/1.1 client component. The program's use: create with no owner, call
// Head(url), read Reply()->ContentLength() (-1 when the response had no usable
// "Content-Length"), free it. Every failure reaches the caller as an exception:
// EIdHTTPProtocolException for a non-2xx status (and every redirect with the
// defaults), EIdSocketError for socket failures, EIdReadTimeout when a server
// stays silent, EIdConnClosedGracefully when it closes before answering.
//
// Bounds of this client on hostile servers: the response heads of one request
// may total at most MaxHeaderSize bytes (1 MiB; EIdHTTPHeadTooLarge beyond), and
// reading them and anything read after them must finish within HeadTimeout ms
// (30000; EIdReadTimeout) even when ReadTimeout is 0. HeadTimeout 0 removes it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "http/IdException.h"
#include "http/IdHTTPHeaderInfo.h"
#include "http/IdTCPClient.h"
#include "http/IdURI.h"

enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };
enum TIdHTTPMethod { hmHead, hmGet, hmPost, hmOptions, hmTrace, hmPut, hmConnect };
enum TIdHTTPOption : uint32_t {
  hoInProcessAuth = 1,
  hoKeepOrigProtocol = 2,
  hoForceEncodeParams = 4,
};
using TIdHTTPOptions = uint32_t;
enum TIdHTTPConnectionType { ctNormal, ctSSL, ctProxy, ctSSLProxy };
enum TIdHTTPWhatsNext { wnGoToURL, wnJustExit, wnDontKnow, wnReadAndGo, wnAuthRequest };

const char* MethodText(TIdHTTPMethod AMethod);
const char* ProtocolVersionText(TIdHTTPProtocolVersion AVersion);

class EIdHTTPProtocolException : public EIdProtocolReplyError {
 public:
  EIdHTTPProtocolException(int32_t code, std::string msg, std::string body)
      : EIdProtocolReplyError(code, std::move(msg)), FErrorMessage(std::move(body)) {}
  // The body the server sent with the error, as text.
  const std::string& ErrorMessage() const { return FErrorMessage; }
  const std::string& BodyText() const { return FErrorMessage; }

 private:
  std::string FErrorMessage;
};

class TIdProxyConnectionInfo {
 public:
  const std::string& ProxyServer() const { return FProxyServer; }
  void SetProxyServer(const std::string& v) { FProxyServer = v; }
  int32_t ProxyPort() const { return FProxyPort; }
  void SetProxyPort(int32_t v) { FProxyPort = v; }
  const std::string& ProxyUsername() const { return FProxyUsername; }
  void SetProxyUsername(const std::string& v) { FProxyUsername = v; }
  const std::string& ProxyPassword() const { return FProxyPassword; }
  void SetProxyPassword(const std::string& v) { FProxyPassword = v; }
  bool BasicAuthentication() const { return FBasicByDefault; }
  void SetBasicAuthentication(bool v) { FBasicByDefault = v; }
  TIdAuthentication* Authentication() const { return FAuthentication.get(); }
  void SetAuthentication(std::unique_ptr<TIdAuthentication> a) { FAuthentication = std::move(a); }

 private:
  std::string FProxyServer;
  int32_t FProxyPort = 0;
  std::string FProxyUsername;
  std::string FProxyPassword;
  bool FBasicByDefault = false;
  std::unique_ptr<TIdAuthentication> FAuthentication;
};

// Keeps the name=value part of accepted cookies per host and gives them back
// for requests to the same host.
class TIdCookieManager : public TIdBaseComponent {
 public:
  explicit TIdCookieManager(TIdBaseComponent* AOwner) : TIdBaseComponent(AOwner) {}
  void AddCookie(const std::string& ACookie, const std::string& AHost);
  // "name=value; name2=value2" for the host, "" when none.
  std::string GenerateCookieList(const std::string& AHost, const std::string& APath) const;
  int32_t Count() const { return static_cast<int32_t>(FCookies.size()); }

 private:
  struct Cookie {
    std::string Host, Name, Value;
  };
  std::vector<Cookie> FCookies;
};

class TIdCustomHTTP;

class TIdHTTPRequest : public TIdRequestHeaderInfo {
 public:
  // The URL given by the caller; after preparation, the request target.
  const std::string& URL() const { return FURL; }
  void SetURL(const std::string& v) { FURL = v; }
  const std::string& Target() const { return FURL; }
  TIdHTTPMethod Method() const { return FMethod; }
  void SetMethod(TIdHTTPMethod v) { FMethod = v; }
  TIdHTTPMethod Verb() const { return FMethod; }
  TIdStream* Source() const { return FSourceStream; }
  void SetSource(TIdStream* v) { FSourceStream = v; }
  TIdHTTPConnectionType UseProxy() const { return FUseProxy; }
  void SetUseProxy(TIdHTTPConnectionType v) { FUseProxy = v; }

 private:
  std::string FURL;
  TIdHTTPMethod FMethod = hmGet;
  TIdStream* FSourceStream = nullptr;
  TIdHTTPConnectionType FUseProxy = ctNormal;
};

class TIdHTTPResponse : public TIdResponseHeaderInfo {
 public:
  explicit TIdHTTPResponse(TIdCustomHTTP* AHTTP) : FHTTP(AHTTP) {}

  const std::string& ResponseText() const { return FResponseText; }
  const std::string& StatusLine() const { return FResponseText; }
  void SetStatusLine(const std::string& v) { FResponseText = v; }
  // From the status line on every read: the second word as an integer, -1 when
  // it is none.
  int32_t ResponseCode();
  int32_t StatusCode() { return ResponseCode(); }
  // Whether the connection stays open after this response (see the client).
  bool KeepAlive();
  bool KeepConnection() { return KeepAlive(); }
  TIdStream* ContentStream() const { return FContentStream; }
  void SetContentStream(TIdStream* v) { FContentStream = v; }
  TIdStream* BodyStream() const { return FContentStream; }
  TIdHTTPProtocolVersion ResponseVersion() const { return FResponseVersion; }
  TIdHTTPProtocolVersion ServerVersion() const { return FResponseVersion; }

 private:
  TIdCustomHTTP* FHTTP;
  std::string FResponseText;
  int32_t FResponseCode = -1;
  TIdStream* FContentStream = nullptr;
  TIdHTTPProtocolVersion FResponseVersion = pv1_1;
};

// The request and the response record of one client.
class TIdHTTPProtocol {
 public:
  explicit TIdHTTPProtocol(TIdCustomHTTP* AConnection)
      : Request(std::make_unique<TIdHTTPRequest>()),
        Response(std::make_unique<TIdHTTPResponse>(AConnection)) {}
  std::unique_ptr<TIdHTTPRequest> Request;
  std::unique_ptr<TIdHTTPResponse> Response;
};

using TIdHTTPOnRedirectEvent =
    std::function<void(TObject* Sender, std::string& dest, int32_t& NumRedirect, bool& Handled,
                       TIdHTTPMethod& VMethod)>;
using TIdOnSelectAuthorization =
    std::function<void(TObject* Sender, std::string& AuthenticationClass, TIdHeaderList* AuthInfo)>;
using TIdOnAuthorization =
    std::function<void(TObject* Sender, TIdAuthentication* Authentication, bool& Handled)>;

class TIdCustomHTTP : public TIdTCPClient {
 public:
  explicit TIdCustomHTTP(TIdBaseComponent* AOwner = nullptr);
  ~TIdCustomHTTP() override;

  // Runs one request with redirects and authentication retries as configured.
  void DoRequest(TIdHTTPMethod AMethod, const std::string& AURL, TIdStream* ASource,
                 TIdStream* AResponseContent);

  void SetHost(const std::string& v) override;
  void SetPort(int32_t v) override;

  TIdHTTPResponse* Response() { return FHTTPProto->Response.get(); }
  TIdHTTPResponse* Reply() { return FHTTPProto->Response.get(); }
  TIdHTTPRequest* Request() { return FHTTPProto->Request.get(); }
  int32_t ResponseCode() { return Response()->ResponseCode(); }
  const std::string& ResponseText() { return Response()->ResponseText(); }
  TIdURI* URL() { return &FURI; }
  TIdURI* CurrentUrl() { return &FURI; }
  TIdProxyConnectionInfo* ProxyParams() { return &FProxyParameters; }

  TIdHTTPProtocolVersion ProtocolVersion() const { return FProtocolVersion; }
  void SetProtocolVersion(TIdHTTPProtocolVersion v) { FProtocolVersion = v; }
  bool HandleRedirects() const { return FHandleRedirects; }
  void SetHandleRedirects(bool v) { FHandleRedirects = v; }
  int32_t RedirectMaximum() const { return FRedirectMax; }
  void SetRedirectMaximum(int32_t v) { FRedirectMax = v; }
  int32_t RedirectCount() const { return FRedirectCount; }
  int32_t AuthRetries() const { return FMaxAuthRetries; }
  void SetAuthRetries(int32_t v) { FMaxAuthRetries = v; }
  int32_t AuthRetryCount() const { return FAuthRetries; }
  int32_t ProxyAuthRetryCount() const { return FAuthProxyRetries; }
  bool AllowCookies() const { return FAllowCookies; }
  void SetAllowCookies(bool v) { FAllowCookies = v; }
  TIdHTTPOptions HTTPOptions() const { return FOptions; }
  void SetHTTPOptions(TIdHTTPOptions v) { FOptions = v; }
  TIdCookieManager* CookieManager() const { return FCookieManager; }
  // The client does not take ownership of a store set here.
  void SetCookieManager(TIdCookieManager* v);
  int32_t HeadTimeout() const { return FHeadTimeout; }
  void SetHeadTimeout(int32_t v) { FHeadTimeout = v; }
  int32_t MaxHeaderSize() const { return FMaxHeaderSize; }
  void SetMaxHeaderSize(int32_t v) { FMaxHeaderSize = v; }

  TIdHTTPOnRedirectEvent OnRedirect;
  TIdOnSelectAuthorization OnSelectAuthorization;
  TIdOnSelectAuthorization OnSelectProxyAuthorization;
  TIdOnAuthorization OnAuthorization;
  TIdOnAuthorization OnProxyAuthorization;

 protected:
  friend class TIdHTTPResponse;
  bool ComputeKeepAlive();
  void PrepareRequest();
  void ConnectToHost();
  void SendRequestHead();
  std::string ReadHeadLine();
  void RetrieveHeaders();
  void ProcessCookies();
  TIdHTTPWhatsNext ProcessResponse();
  void ReadResult();
  [[noreturn]] void RaiseProtocolError();
  bool DoOnRedirect(std::string& ALocation, TIdHTTPMethod& AMethod, int32_t ARedirectCount);
  bool DoOnAuthorization();
  bool DoOnProxyAuthorization();

 private:
  TIdURI FURI;
  std::unique_ptr<TIdHTTPProtocol> FHTTPProto;
  TIdProxyConnectionInfo FProxyParameters;
  TIdCookieManager* FCookieManager = nullptr;
  bool FFreeOnDestroy = false;
  TIdHTTPProtocolVersion FProtocolVersion = pv1_1;
  bool FHandleRedirects = false;
  int32_t FRedirectMax = 15;
  int32_t FRedirectCount = 0;
  int32_t FMaxAuthRetries = 3;
  int32_t FAuthRetries = 0;
  int32_t FAuthProxyRetries = 0;
  bool FAllowCookies = true;
  TIdHTTPOptions FOptions = hoForceEncodeParams;
  int32_t FHeadTimeout = 30000;
  int32_t FMaxHeaderSize = 1048576;
  int64_t FHeadBytes = 0;
};

class TIdHTTP : public TIdCustomHTTP {
 public:
  explicit TIdHTTP(TIdBaseComponent* AOwner = nullptr) : TIdCustomHTTP(AOwner) {}
  // Sends a HEAD request; on return Reply() holds the response head.
  void Head(const std::string& AURL) { DoRequest(hmHead, AURL, nullptr, nullptr); }
  // The body into AResponseContent.
  void Get(const std::string& AURL, TIdStream* AResponseContent) {
    DoRequest(hmGet, AURL, nullptr, AResponseContent);
  }
};
