#include "http/IdHTTPHeaderInfo.h"

std::string Base64Encode(const std::string& s) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string r;
  size_t i = 0;
  for (; i + 2 < s.size(); i += 3) {
    uint32_t v = (uint8_t(s[i]) << 16) | (uint8_t(s[i + 1]) << 8) | uint8_t(s[i + 2]);
    r += kAlphabet[v >> 18];
    r += kAlphabet[(v >> 12) & 63];
    r += kAlphabet[(v >> 6) & 63];
    r += kAlphabet[v & 63];
  }
  if (i < s.size()) {
    uint32_t v = uint8_t(s[i]) << 16;
    if (i + 1 < s.size()) v |= uint8_t(s[i + 1]) << 8;
    r += kAlphabet[v >> 18];
    r += kAlphabet[(v >> 12) & 63];
    r += i + 1 < s.size() ? kAlphabet[(v >> 6) & 63] : '=';
    r += '=';
  }
  return r;
}

std::string TIdBasicAuthentication::Authentication() {
  return "Basic " + Base64Encode(Username() + ":" + Password());
}

TIdEntityHeaderInfo::TIdEntityHeaderInfo() {
  FRawHeaders.SetFoldWidth(1024);
  TIdEntityHeaderInfo::Clear();
}

void TIdEntityHeaderInfo::Clear() {
  FConnection.clear();
  FContentVersion.clear();
  FContentEncoding.clear();
  FContentLanguage.clear();
  FContentType = "text/html";
  FContentLength = -1;  // the flag is left as it is
  FContentRangeStart = 0;
  FContentRangeEnd = 0;
  FDate = 0;
  FExpires = 0;
  FLastModified = 0;
  FRawHeaders.Clear();
}

void TIdEntityHeaderInfo::ProcessHeaders() {
  FConnection = FRawHeaders.Lookup("Connection");
  FContentVersion = FRawHeaders.Lookup("Content-Version");
  FContentEncoding = FRawHeaders.Lookup("Content-Encoding");
  FContentLanguage = FRawHeaders.Lookup("Content-Language");
  FContentType = FRawHeaders.Lookup("Content-Type");
  FContentLength = StrToIntDef(Trim(FRawHeaders.Lookup("Content-Length")), -1);
  FHasContentLength = FContentLength >= 0;
  FDate = GMTToLocalDateTime(FRawHeaders.Lookup("Date"));
  FLastModified = GMTToLocalDateTime(FRawHeaders.Lookup("Last-Modified"));
  std::string expires = FRawHeaders.Lookup("Expires");
  int32_t seconds = StrToIntDef(expires, -1);
  if (seconds != -1)
    FExpires = IdNow() + seconds / 86400.0;
  else
    FExpires = GMTToLocalDateTime(expires);
  FPragma = FRawHeaders.Lookup("Pragma");
}

void TIdEntityHeaderInfo::SetHeaders() {
  FRawHeaders.Clear();
  if (!FConnection.empty()) FRawHeaders.Store("Connection", FConnection);
  if (!FContentVersion.empty()) FRawHeaders.Store("Content-Version", FContentVersion);
  if (!FContentEncoding.empty()) FRawHeaders.Store("Content-Encoding", FContentEncoding);
  if (!FContentLanguage.empty()) FRawHeaders.Store("Content-Language", FContentLanguage);
  if (!FContentType.empty()) FRawHeaders.Store("Content-Type", FContentType);
  if (FContentLength >= 0) FRawHeaders.Store("Content-Length", std::to_string(FContentLength));
  if (!FCacheControl.empty()) FRawHeaders.Store("Cache-control", FCacheControl);
  if (FDate > 0) FRawHeaders.Store("Date", DateTimeGMTToHttpStr(FDate));
  if (FExpires > 0) FRawHeaders.Store("Expires", DateTimeGMTToHttpStr(FExpires));
  if (!FPragma.empty()) FRawHeaders.Store("Pragma", FPragma);
  if (FCustomHeaders.Count() > 0) FRawHeaders.SetText(FRawHeaders.Text() + FCustomHeaders.Text());
}

TIdRequestHeaderInfo::TIdRequestHeaderInfo() {
  TIdRequestHeaderInfo::Clear();
}

TIdRequestHeaderInfo::~TIdRequestHeaderInfo() = default;

void TIdRequestHeaderInfo::Clear() {
  FAccept = "text/html, */*";
  FAcceptCharSet.clear();
  FUserAgent = "Mozilla/3.0 (compatible; Vorlix Library)";
  FBasicAuthentication = false;
  TIdEntityHeaderInfo::Clear();
}

void TIdRequestHeaderInfo::FillHeaderLines() {
  SetHeaders();
  if (!FProxyConnection.empty()) FRawHeaders.Store("Proxy-Connection", FProxyConnection);
  if (!FHost.empty()) FRawHeaders.Store("Host", FHost);
  if (!FAccept.empty()) FRawHeaders.Store("Accept", FAccept);
  if (!FAcceptCharSet.empty()) FRawHeaders.Store("Accept-Charset", FAcceptCharSet);
  if (!FAcceptEncoding.empty()) FRawHeaders.Store("Accept-Encoding", FAcceptEncoding);
  if (!FAcceptLanguage.empty()) FRawHeaders.Store("Accept-Language", FAcceptLanguage);
  if (!FFrom.empty()) FRawHeaders.Store("From", FFrom);
  if (!FReferer.empty()) FRawHeaders.Store("Referer", FReferer);
  if (!FUserAgent.empty()) FRawHeaders.Store("User-Agent", FUserAgent);
  if (LastModified() > 0)
    FRawHeaders.Store("If-Modified-Since", DateTimeGMTToHttpStr(LastModified()));
  if (ContentRangeStart() != 0 || ContentRangeEnd() != 0) {
    std::string range = "bytes=" + std::to_string(ContentRangeStart()) + "-";
    if (ContentRangeEnd() != 0) range += std::to_string(ContentRangeEnd());
    FRawHeaders.Store("Range", range);
  }
  if (FBasicAuthentication && !FAuthentication) {
    FAuthentication = std::make_unique<TIdBasicAuthentication>();
    FAuthentication->SetUsername(FUsername);
    FAuthentication->SetPassword(FPassword);
  }
  if (FAuthentication) {
    std::string value = FAuthentication->Authentication();
    if (!value.empty()) FRawHeaders.Store("Authorization", value);
  }
}

void TIdRequestHeaderInfo::ReadHeaderLines() {
  FAccept = FRawHeaders.Lookup("Accept");
  FAcceptCharSet = FRawHeaders.Lookup("Accept-Charset");
  FAcceptEncoding = FRawHeaders.Lookup("Accept-Encoding");
  FAcceptLanguage = FRawHeaders.Lookup("Accept-Language");
  FHost = FRawHeaders.Lookup("Host");
  FFrom = FRawHeaders.Lookup("From");
  FReferer = FRawHeaders.Lookup("Referer");
  FUserAgent = FRawHeaders.Lookup("User-Agent");
  std::string range = FRawHeaders.Lookup("Range");
  if (!range.empty() && TextStartsWith(range, "bytes=")) {
    range.erase(0, 6);
    SetContentRangeStart(static_cast<uint32_t>(StrToIntDef(CutToken(range, "-"), 0)));
    SetContentRangeEnd(static_cast<uint32_t>(StrToIntDef(range, 0)));
  }
  ProcessHeaders();
}

TIdResponseHeaderInfo::TIdResponseHeaderInfo() {
  FProxyAuthenticate.SetFoldWidth(1024);
  FWWWAuthenticate.SetFoldWidth(1024);
  TIdResponseHeaderInfo::Clear();
}

void TIdResponseHeaderInfo::Clear() {
  TIdEntityHeaderInfo::Clear();
  FLocation.clear();
  FServer.clear();
  FProxyAuthenticate.Clear();
  FWWWAuthenticate.Clear();
}

void TIdResponseHeaderInfo::ReadHeaderLines() {
  FLocation = FRawHeaders.Lookup("Location");
  FServer = FRawHeaders.Lookup("Server");
  FProxyConnection = FRawHeaders.Lookup("Proxy-Connection");
  std::string range = FRawHeaders.Lookup("Content-Range");
  if (!range.empty()) {
    CutToken(range, " ");  // the unit
    SetContentRangeStart(static_cast<uint32_t>(StrToInt(CutToken(range, "-"))));
    SetContentRangeEnd(static_cast<uint32_t>(StrToInt(CutToken(range, "/"))));
  }
  FWWWAuthenticate.Clear();
  FRawHeaders.CollectValues("WWW-Authenticate", &FWWWAuthenticate);
  FProxyAuthenticate.Clear();
  FRawHeaders.CollectValues("Proxy-Authenticate", &FProxyAuthenticate);
  ProcessHeaders();
}
