// Typed header records over a raw header list. The request record writes its
// fields into its raw list in a fixed order (FillHeaderLines); the response
// record reads its fields from the raw lines (ReadHeaderLines). Each record owns
// its lists. Dates are local times, 0 meaning "none".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "http/IdGlobal.h"
#include "http/IdHeaderList.h"

// Text properties: Name() and SetName() over the field FName.
#define VX_TEXT_PROP(Name)               \
 public:                                 \
  const std::string& Name() const {      \
    return F##Name;                      \
  }                                      \
  void Set##Name(const std::string& v) { \
    F##Name = v;                         \
  }                                      \
                                         \
 private:                                \
  std::string F##Name;

#define VX_VALUE_PROP(Type, Name, Init) \
 public:                                \
  Type Name() const {                   \
    return F##Name;                     \
  }                                     \
  void Set##Name(Type v) {              \
    F##Name = v;                        \
  }                                     \
                                        \
 private:                               \
  Type F##Name = Init;

// An authentication scheme: yields the value of an "Authorization" header.
class TIdAuthentication : public TObject {
 public:
  virtual std::string Authentication() = 0;
  virtual void Reset() {}
  VX_TEXT_PROP(Username)
  VX_TEXT_PROP(Password)
};

class TIdBasicAuthentication : public TIdAuthentication {
 public:
  // "Basic " + base64 of "user:password".
  std::string Authentication() override;
};

std::string Base64Encode(const std::string& s);

class TIdEntityHeaderInfo {
 public:
  TIdEntityHeaderInfo();
  virtual ~TIdEntityHeaderInfo() = default;
  TIdEntityHeaderInfo(const TIdEntityHeaderInfo&) = delete;
  TIdEntityHeaderInfo& operator=(const TIdEntityHeaderInfo&) = delete;

  virtual void Clear();

  TIdHeaderList* RawHeaders() { return &FRawHeaders; }
  TIdHeaderList* HeaderLines() { return &FRawHeaders; }
  TIdHeaderList* CustomHeaders() { return &FCustomHeaders; }
  int32_t ContentLength() const { return FContentLength; }
  // Also sets ContentLengthGiven to (value >= 0).
  void SetContentLength(int32_t v) {
    FContentLength = v;
    FHasContentLength = v >= 0;
  }
  bool ContentLengthGiven() const { return FHasContentLength; }
  bool HasContentLength() const { return FHasContentLength; }

 protected:
  void ProcessHeaders();
  void SetHeaders();

  TIdHeaderList FRawHeaders;
  TIdHeaderList FCustomHeaders;
  int32_t FContentLength = -1;
  bool FHasContentLength = false;

  VX_TEXT_PROP(CacheControl)
  VX_TEXT_PROP(Connection)
  VX_TEXT_PROP(ContentEncoding)
  VX_TEXT_PROP(ContentLanguage)
  VX_VALUE_PROP(uint32_t, ContentRangeEnd, 0)
  VX_VALUE_PROP(uint32_t, ContentRangeStart, 0)
  VX_TEXT_PROP(ContentType)
  VX_TEXT_PROP(ContentVersion)
  VX_VALUE_PROP(TDateTime, Date, 0)
  VX_VALUE_PROP(TDateTime, Expires, 0)
  VX_VALUE_PROP(TDateTime, LastModified, 0)
  VX_TEXT_PROP(Pragma)
};

class TIdRequestHeaderInfo : public TIdEntityHeaderInfo {
 public:
  TIdRequestHeaderInfo();
  ~TIdRequestHeaderInfo() override;
  void Clear() override;

  // Empties the raw list and stores every set field in the fixed order.
  void FillHeaderLines();
  // Reads the request fields back from the raw list (not used by the client).
  void ReadHeaderLines();

  TIdAuthentication* Authentication() const { return FAuthentication.get(); }
  void SetAuthentication(std::unique_ptr<TIdAuthentication> a) { FAuthentication = std::move(a); }
  TIdAuthentication* Authenticator() const { return FAuthentication.get(); }

 private:
  std::unique_ptr<TIdAuthentication> FAuthentication;

  VX_TEXT_PROP(Accept)
  VX_TEXT_PROP(AcceptCharSet)
  VX_TEXT_PROP(AcceptEncoding)
  VX_TEXT_PROP(AcceptLanguage)
  VX_TEXT_PROP(From)
  VX_TEXT_PROP(Password)
  VX_TEXT_PROP(Referer)
  VX_TEXT_PROP(UserAgent)
  VX_TEXT_PROP(Username)
  VX_TEXT_PROP(Host)
  VX_VALUE_PROP(bool, BasicAuthentication, false)
  VX_TEXT_PROP(ProxyConnection)
};

class TIdResponseHeaderInfo : public TIdEntityHeaderInfo {
 public:
  TIdResponseHeaderInfo();
  void Clear() override;

  // Fills every field from the raw list. Raises EConvertError for a
  // "Content-Range" without integers where they belong.
  void ReadHeaderLines();

  TIdHeaderList* ProxyAuthenticate() { return &FProxyAuthenticate; }
  TIdHeaderList* WWWAuthenticate() { return &FWWWAuthenticate; }

 private:
  TIdHeaderList FProxyAuthenticate;
  TIdHeaderList FWWWAuthenticate;

  VX_TEXT_PROP(Location)
  VX_TEXT_PROP(Server)
  VX_TEXT_PROP(ProxyConnection)
};

#undef VX_TEXT_PROP
#undef VX_VALUE_PROP
