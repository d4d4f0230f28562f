#include "http/IdHTTP.h"

#include "http/IdGlobal.h"

const char* MethodText(TIdHTTPMethod AMethod) {
  switch (AMethod) {
    case hmHead:
      return "HEAD";
    case hmGet:
      return "GET";
    case hmPost:
      return "POST";
    case hmOptions:
      return "OPTIONS";
    case hmTrace:
      return "TRACE";
    case hmPut:
      return "PUT";
    case hmConnect:
      return "CONNECT";
  }
  return "GET";
}

const char* ProtocolVersionText(TIdHTTPProtocolVersion AVersion) {
  return AVersion == pv1_0 ? "1.0" : "1.1";
}

// ---- cookies -----------------------------------------------------------

void TIdCookieManager::AddCookie(const std::string& ACookie, const std::string& AHost) {
  std::string rest = ACookie;
  std::string pair = Trim(CutToken(rest, ";"));
  std::string name = Trim(CutToken(pair, "="));
  if (name.empty()) return;
  std::string value = Trim(pair);
  for (Cookie& c : FCookies)
    if (TextIsSame(c.Host, AHost) && c.Name == name) {
      c.Value = value;
      return;
    }
  FCookies.push_back({AHost, name, value});
}

std::string TIdCookieManager::GenerateCookieList(const std::string& AHost,
                                                 const std::string&) const {
  std::string r;
  for (const Cookie& c : FCookies)
    if (TextIsSame(c.Host, AHost) && !c.Value.empty()) {
      if (!r.empty()) r += "; ";
      r += c.Name + "=" + c.Value;
    }
  return r;
}

// ---- response ----------------------------------------------------------

int32_t TIdHTTPResponse::ResponseCode() {
  std::string s = FResponseText;
  CutToken(s, " ");
  s = Trim(s);
  FResponseCode = StrToIntDef(CutToken(s, " "), -1);
  return FResponseCode;
}

bool TIdHTTPResponse::KeepAlive() {
  if (FResponseText.size() >= 8) {
    std::string v = FResponseText.substr(5, 3);
    if (TextIsSame(v, "1.0"))
      FResponseVersion = pv1_0;
    else if (TextIsSame(v, "1.1"))
      FResponseVersion = pv1_1;
  }
  return FHTTP->ComputeKeepAlive();
}

// ---- client ------------------------------------------------------------

TIdCustomHTTP::TIdCustomHTTP(TIdBaseComponent* AOwner) : TIdTCPClient(AOwner) {
  FHTTPProto = std::make_unique<TIdHTTPProtocol>(this);
  SetPort(80);
}

TIdCustomHTTP::~TIdCustomHTTP() {
  DropSocket();
  if (FFreeOnDestroy) delete FCookieManager;
}

void TIdCustomHTTP::SetHost(const std::string& v) {
  TIdTCPClient::SetHost(v);
  FURI.SetHost(v);
}

void TIdCustomHTTP::SetPort(int32_t v) {
  TIdTCPClient::SetPort(v);
  FURI.SetPort(std::to_string(v));
}

void TIdCustomHTTP::SetCookieManager(TIdCookieManager* v) {
  if (FFreeOnDestroy && FCookieManager != v) delete FCookieManager;
  FCookieManager = v;
  FFreeOnDestroy = false;
}

bool TIdCustomHTTP::ComputeKeepAlive() {
  CheckDisconnect(false);
  if (!IsConnected()) return false;
  TIdHTTPResponse* r = Response();
  std::string conn = Trim(r->Connection());
  std::string proxyConn = Trim(r->ProxyConnection());
  // The client's own version decides, not the server's.
  if (FProtocolVersion == pv1_0)
    return TextIsSame(conn, "KEEP-ALIVE") || TextIsSame(proxyConn, "KEEP-ALIVE");
  return !(TextIsSame(conn, "CLOSE") || TextIsSame(proxyConn, "CLOSE"));
}

void TIdCustomHTTP::PrepareRequest() {
  TIdHTTPRequest* req = Request();
  {
    TIdURI url(req->URL());
    if (!url.Username().empty()) {
      req->SetUsername(url.Username());
      req->SetPassword(url.Password());
    }
    FURI.SetUsername(req->Username());
    FURI.SetPassword(req->Password());
    FURI.SetPath(TIdURI::MergePath(FURI.Path(), url.Path()));
    FURI.SetFileName(url.FileName());
    FURI.SetQuery(url.Query());
    if (!url.Host().empty()) FURI.SetHost(url.Host());
    FURI.SetProtocol(url.Protocol().empty() ? std::string("http") : url.Protocol());
    if (!url.Port().empty()) {
      FURI.SetPort(url.Port());
    } else {
      int32_t port = StrToIntDef(FURI.Port(), 0);
      if (port == 0 || port == 80 || port == 443) {
        if (TextIsSame(FURI.Protocol(), "http"))
          FURI.SetPort("80");
        else if (TextIsSame(FURI.Protocol(), "https"))
          FURI.SetPort("443");
        else
          throw EIdUnknownProtocol();
      }
    }
    std::string target = FURI.Path() + FURI.FileName() + FURI.Query();
    if (req->Method() == hmOptions && url.FileName() == "*") target.assign(1, '*');
    req->SetURL(target);
    req->SetHost(FURI.Port() == "80" ? FURI.Host() : FURI.Host() + ":" + FURI.Port());
  }
  TIdHTTPMethod m = req->Method();
  if ((m == hmOptions || m == hmTrace || m == hmPut) && FProtocolVersion != pv1_1)
    throw EIdException(RSHTTPMethodRequiresVersion);
  if ((m == hmPost || m == hmPut) && req->Source())
    req->SetContentLength(static_cast<int32_t>(req->Source()->Size()));
  else
    req->SetContentLength(-1);
}

void TIdCustomHTTP::ConnectToHost() {
  TIdHTTPRequest* req = Request();
  if (FProxyParameters.ProxyServer().empty()) {
    int32_t port = StrToInt(FURI.Port());
    if (!TextIsSame(FHost, FURI.Host()) || FPort != port) {
      if (Connected()) Disconnect();
      SetHost(FURI.Host());
      SetPort(port);
    }
    if (TextIsSame(FURI.Protocol(), "HTTPS")) throw EIdIOHandlerPropInvalid();
    req->SetUseProxy(ctNormal);
  } else {
    // Through a proxy the target is the whole URL; a tunnel for https would need
    // a secure transport, which this client does not have.
    if (TextIsSame(FURI.Protocol(), "HTTPS")) throw EIdIOHandlerPropInvalid();
    if (!TextIsSame(FHost, FProxyParameters.ProxyServer()) ||
        FPort != FProxyParameters.ProxyPort()) {
      if (Connected()) Disconnect();
      TIdTCPClient::SetHost(FProxyParameters.ProxyServer());
      TIdTCPClient::SetPort(FProxyParameters.ProxyPort());
    }
    req->SetURL(FURI.Compose(false, false));
    FURI.SetText(FURI.Compose(true, true));
    req->SetUseProxy(ctProxy);
  }
  if (req->UseProxy() == ctNormal && FProtocolVersion == pv1_0 && req->Connection().empty())
    req->SetConnection("keep-alive");
  if (!Response()->KeepAlive()) Disconnect();
  // Notice a close the peer made since the last response.
  FillInputQueue(false, 1, false);
  if (!Connected()) Connect(ReadTimeout());
  SendRequestHead();
}

void TIdCustomHTTP::SendRequestHead() {
  TIdHTTPRequest* req = Request();
  req->FillHeaderLines();
  TIdHeaderList* raw = req->RawHeaders();
  if (FProxyParameters.BasicAuthentication() && !FProxyParameters.Authentication()) {
    auto basic = std::make_unique<TIdBasicAuthentication>();
    basic->SetUsername(FProxyParameters.ProxyUsername());
    basic->SetPassword(FProxyParameters.ProxyPassword());
    FProxyParameters.SetAuthentication(std::move(basic));
  }
  if (req->UseProxy() != ctNormal && FProxyParameters.Authentication()) {
    std::string value = FProxyParameters.Authentication()->Authentication();
    if (!value.empty()) raw->Store("Proxy-Authorization", value);
  }
  if (FCookieManager) {
    std::string cookies = FCookieManager->GenerateCookieList(FURI.Host(), FURI.Path());
    if (!cookies.empty()) raw->Store("Cookie", cookies);
  }
  BeginBufferedWrite(-1);
  WriteLine(std::string(MethodText(req->Method())) + " " + req->URL() + " HTTP/" +
            ProtocolVersionText(FProtocolVersion));
  for (int32_t i = 0; i < raw->Count(); ++i)
    if (!raw->Strings(i).empty()) WriteLine(raw->Strings(i));
  WriteLine("");
  EndBufferedWrite();
}

std::string TIdCustomHTTP::ReadHeadLine() {
  std::string line = ReadLine();
  FHeadBytes += static_cast<int64_t>(line.size()) + 2;
  if (FMaxHeaderSize > 0 && FHeadBytes > FMaxHeaderSize)
    throw EIdHTTPHeadTooLarge(IdFormat(RSHTTPHeadTooLarge, FMaxHeaderSize));
  return line;
}

void TIdCustomHTTP::RetrieveHeaders() {
  TIdHeaderList* raw = Response()->RawHeaders();
  raw->Clear();
  std::string line = ReadHeadLine();
  try {
    while (!line.empty()) {
      raw->Add(std::move(line));
      line = ReadHeadLine();
    }
  } catch (const EIdConnClosedGracefully&) {
    Disconnect();
  }
  Response()->ReadHeaderLines();
}

void TIdCustomHTTP::ProcessCookies() {
  if (!FCookieManager && FAllowCookies) {
    FCookieManager = new TIdCookieManager(this);
    FFreeOnDestroy = true;
  }
  if (!FCookieManager) return;
  std::vector<std::string> values;
  Response()->RawHeaders()->CollectValues("Set-cookie", &values);
  Response()->RawHeaders()->CollectValues("Set-cookie2", &values);
  for (const std::string& v : values) FCookieManager->AddCookie(v, FURI.Host());
}

void TIdCustomHTTP::ReadResult() {
  TIdHTTPResponse* r = Response();
  TIdStream* stream = r->ContentStream();
  if (!stream) return;
  if (r->ContentLength() > 0) {
    try {
      ReadToStream(stream, r->ContentLength(), false);
    } catch (const EIdConnClosedGracefully&) {
    }
  } else if (r->RawHeaders()->Lookup("Transfer-Encoding").find("chunked") != std::string::npos) {
    DoStatus(hsStatusText, RSHTTPChunkStarted);
    auto chunkSize = [this] {
      std::string s = ReadLine();
      std::string hex(1, '$');
      hex += CutToken(s, " ");
      return StrToIntDef(hex, 0);
    };
    int32_t size = chunkSize();
    while (size > 0) {
      ReadToStream(stream, size, false);
      ReadLine();
      size = chunkSize();
    }
    ReadLine();
  } else if (!r->ContentLengthGiven()) {
    ReadToStream(stream, -1, true);
  }
}

void TIdCustomHTTP::RaiseProtocolError() {
  TIdHTTPResponse* r = Response();
  int32_t oldTimeout = ReadTimeout();
  TIdStream* oldStream = r->ContentStream();
  TIdStream scratch;
  SetReadTimeout(2000);
  r->SetContentStream(&scratch);
  try {
    ReadResult();
  } catch (...) {
    r->SetContentStream(oldStream);
    SetReadTimeout(oldTimeout);
    throw;
  }
  r->SetContentStream(oldStream);
  SetReadTimeout(oldTimeout);
  throw EIdHTTPProtocolException(r->ResponseCode(), r->ResponseText(), scratch.DataString());
}

bool TIdCustomHTTP::DoOnRedirect(std::string& ALocation, TIdHTTPMethod& AMethod,
                                 int32_t ARedirectCount) {
  bool handled = FHandleRedirects;
  if (OnRedirect) OnRedirect(this, ALocation, ARedirectCount, handled, AMethod);
  return handled;
}

// Picks the basic scheme when the server offers it and asks the handler for
// credentials; false when there is no scheme or no handler, or it declines.
static bool Authorize(TObject* sender, TIdHeaderList* offers,
                      std::unique_ptr<TIdAuthentication>& scheme,
                      const TIdOnSelectAuthorization& onSelect, const TIdOnAuthorization& onAuth) {
  std::string className;
  for (int32_t i = 0; i < offers->Count(); ++i)
    if (TextStartsWith(Trim(offers->Strings(i)), "Basic")) className = "Basic";
  if (onSelect) onSelect(sender, className, offers);
  if (!TextIsSame(className, "Basic")) return false;
  if (!scheme) scheme = std::make_unique<TIdBasicAuthentication>();
  if (!onAuth) return false;
  bool handled = false;
  onAuth(sender, scheme.get(), handled);
  return handled;
}

bool TIdCustomHTTP::DoOnAuthorization() {
  ++FAuthRetries;
  std::unique_ptr<TIdAuthentication> scheme;
  if (Request()->Authentication()) {
    scheme = std::make_unique<TIdBasicAuthentication>();
    scheme->SetUsername(Request()->Authentication()->Username());
    scheme->SetPassword(Request()->Authentication()->Password());
  }
  bool ok = Authorize(this, Response()->WWWAuthenticate(), scheme, OnSelectAuthorization,
                      OnAuthorization);
  if (ok) {
    Request()->SetUsername(scheme->Username());
    Request()->SetPassword(scheme->Password());
    Request()->SetAuthentication(std::move(scheme));
  }
  return ok;
}

bool TIdCustomHTTP::DoOnProxyAuthorization() {
  ++FAuthProxyRetries;
  std::unique_ptr<TIdAuthentication> scheme;
  bool ok = Authorize(this, Response()->ProxyAuthenticate(), scheme, OnSelectProxyAuthorization,
                      OnProxyAuthorization);
  if (ok) FProxyParameters.SetAuthentication(std::move(scheme));
  return ok;
}

TIdHTTPWhatsNext TIdCustomHTTP::ProcessResponse() {
  TIdHTTPResponse* r = Response();
  const int32_t code = r->ResponseCode();
  const int32_t d = code / 100;
  TIdHTTPWhatsNext next = wnDontKnow;

  auto discardBody = [this] {
    int32_t old = ReadTimeout();
    SetReadTimeout(4000);
    try {
      ReadResult();
    } catch (const std::exception&) {
      // Whatever the body did, the decision stands.
    }
    SetReadTimeout(old);
  };

  if ((d == 3 && code != 304) || !r->Location().empty()) {
    std::string location = r->Location();
    TIdHTTPMethod method = Request()->Method();
    bool handled = DoOnRedirect(location, method, FRedirectCount);
    if (FHandleRedirects && FRedirectCount < FRedirectMax) {
      if (!handled) RaiseProtocolError();
      Request()->SetURL(location);
      Request()->SetMethod(method);
      next = wnGoToURL;
    } else {
      if (!handled) RaiseProtocolError();
      r->SetLocation(location);
      next = wnJustExit;
    }
    if (Connected()) discardBody();
    return next;
  }

  bool authorized = false;
  if (d != 2) {
    next = wnGoToURL;
    if (code == 401) {
      if (FAuthRetries >= FMaxAuthRetries || !(authorized = DoOnAuthorization())) {
        if (Request()->Authentication()) Request()->Authentication()->Reset();
        RaiseProtocolError();
      }
    } else if (code == 407) {
      if (FAuthProxyRetries >= FMaxAuthRetries || !(authorized = DoOnProxyAuthorization())) {
        if (FProxyParameters.Authentication()) FProxyParameters.Authentication()->Reset();
        RaiseProtocolError();
      }
    } else {
      RaiseProtocolError();
    }
  }
  if (Connected()) {
    if (authorized && (FOptions & hoInProcessAuth)) {
      discardBody();
      next = wnAuthRequest;
    } else {
      if (code != 204) ReadResult();
      next = wnJustExit;
    }
  }
  return next;
}

void TIdCustomHTTP::DoRequest(TIdHTTPMethod AMethod, const std::string& AURL, TIdStream* ASource,
                              TIdStream* AResponseContent) {
  int64_t oldPosition = AResponseContent ? AResponseContent->Position() : 0;
  FAuthRetries = 0;
  FAuthProxyRetries = 0;
  TIdHTTPRequest* req = Request();
  TIdHTTPResponse* resp = Response();
  req->SetURL(AURL);
  req->SetMethod(AMethod);
  req->SetSource(ASource);
  resp->SetContentStream(AResponseContent);

  auto closing = [this] {
    ClearReadDeadline();
    if (!Response()->KeepAlive()) Disconnect();
  };
  try {
    for (bool again = true; again;) {
      ++FRedirectCount;
      PrepareRequest();
      ConnectToHost();
      // Everything read from here on, heads and bodies, shares one bound.
      SetReadDeadline(FHeadTimeout);
      FHeadBytes = 0;
      do {
        resp->SetStatusLine(ReadHeadLine());
        RetrieveHeaders();
        ProcessCookies();
      } while (resp->ResponseCode() == 100);
      TIdHTTPWhatsNext next = ProcessResponse();
      ClearReadDeadline();
      switch (next) {
        case wnGoToURL:
          if (AResponseContent) {
            AResponseContent->SetPosition(oldPosition);
            AResponseContent->SetSize(oldPosition);
          }
          FAuthRetries = 0;
          FAuthProxyRetries = 0;
          break;
        case wnAuthRequest:
          --FRedirectCount;
          req->SetURL(AURL);
          break;
        case wnJustExit:
        case wnReadAndGo:
          again = false;
          break;
        case wnDontKnow:
          throw EIdException(RSHTTPUnknownResponseCode);
      }
    }
  } catch (...) {
    try {
      // After an oversized or overdue head the stream position is unknown:
      // whatever is still to come must not be taken for the next response.
      bool tooLarge = false;
      try {
        throw;
      } catch (const EIdHTTPHeadTooLarge&) {
        tooLarge = true;
      } catch (...) {
      }
      if (tooLarge || ReadDeadlinePassed()) Disconnect();
      closing();
    } catch (const std::exception&) {
      // The first failure is the one the caller needs to see.
    }
    throw;
  }
  closing();
  FRedirectCount = 0;
}
