// A URL split into its parts. Parse never fails; Compose raises EIdURIException
// when the protocol or the host is missing. No percent-coding is done anywhere.
#pragma once

#include <string>

class TIdURI {
 public:
  TIdURI() = default;
  explicit TIdURI(const std::string& uri) { Parse(uri); }

  // Clears every field and fills them from the text.
  void Parse(const std::string& uri);
  std::string Compose(bool includeUserInfo, bool includeFragment) const;

  // Collapses slash runs and resolves ".." against base; a path beginning with
  // "/" is returned unchanged.
  static std::string MergePath(const std::string& base, const std::string& path);

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& v) { FFileName = v; }
  const std::string& Protocol() const { return FProtocol; }
  void SetProtocol(const std::string& v) { FProtocol = v; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v) { FText = v; }
  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& v) { FPort = v; }
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& v) { FPath = v; }
  const std::string& Host() const { return FHost; }
  void SetHost(const std::string& v) { FHost = v; }
  const std::string& Fragment() const { return FFragment; }
  void SetFragment(const std::string& v) { FFragment = v; }
  const std::string& Username() const { return FUsername; }
  void SetUsername(const std::string& v) { FUsername = v; }
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& v) { FPassword = v; }
  const std::string& Query() const { return FQuery; }
  void SetQuery(const std::string& v) { FQuery = v; }

 private:
  std::string FFileName;
  std::string FProtocol;
  std::string FText;
  std::string FPort;
  std::string FPath;
  std::string FHost;
  std::string FFragment;
  std::string FUsername;
  std::string FPassword;
  std::string FQuery;
};
