#include "http/IdURI.h"

#include "http/IdException.h"
#include "http/IdGlobal.h"

void TIdURI::Parse(const std::string& uri) {
  FText = NormalizeSlashes(uri);
  std::string w = FText;
  FFileName.clear();
  FProtocol.clear();
  FPort.clear();
  FPath.clear();
  FHost.clear();
  FFragment.clear();
  FUsername.clear();
  FPassword.clear();
  FQuery.clear();

  // Query start Q (1-based, 0 = none) and the last "/" at or before it.
  auto splitPathFileQuery = [this](const std::string& work, bool absolute) {
    size_t q = TextPos("?", work);
    if (q == 0) q = TextPos("=", work);
    size_t s = LastPos("/", work, q > 0 ? static_cast<int64_t>(q) : -1);
    FPath.assign(absolute ? 1 : 0, '/');
    FPath.append(work, 0, s);
    if (q > 0) {
      FFileName = work.substr(0, q - 1);
      FQuery = work.substr(q - 1);
    } else {
      FFileName = work;
    }
    FFileName.erase(0, s < FFileName.size() ? s : FFileName.size());
  };

  size_t p = TextPos("://", w);
  if (p > 0) {
    FProtocol = w.substr(0, p - 1);
    w.erase(0, p - 1 + 3);
    std::string authority = CutToken(w, "/");
    size_t at = TextPos("@", authority);
    if (at > 0) {
      std::string userInfo = authority.substr(0, at - 1);
      authority.erase(0, at);
      FUsername = CutToken(userInfo, ":");
      FPassword = userInfo;
      if (FUsername.empty()) FPassword.clear();
    }
    FHost = CutToken(authority, ":");
    FPort = authority;
    splitPathFileQuery(w, true);
    FFragment = FFileName;
    FFileName = CutToken(FFragment, "#");
  } else {
    splitPathFileQuery(w, false);
  }
  if (FFragment.empty()) {
    FFragment = FQuery;
    FQuery = CutToken(FFragment, "#");
  }
}

std::string TIdURI::Compose(bool includeUserInfo, bool includeFragment) const {
  if (FProtocol.empty()) throw EIdURIException(RSURINoProto);
  std::string r = FProtocol + "://";
  if (includeUserInfo && !FUsername.empty()) {
    r += FUsername;
    if (!FPassword.empty()) r += ":" + FPassword;
    r += "@";
  }
  if (FHost.empty()) throw EIdURIException(RSURINoHost);
  r += FHost;
  if (!FPort.empty()) r += ":" + FPort;
  r += FPath + FFileName + FQuery;
  if (includeFragment && !FFragment.empty()) r += "#" + FFragment;
  return r;
}

std::string TIdURI::MergePath(const std::string& base, const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  bool keepTrailing = path.empty() || path.back() == '/';
  std::string work = base;
  if (!work.empty() && work.back() != '/') work += '/';
  work += path;
  std::string r;
  for (size_t i = 0; i < work.size(); ++i) {
    char c = work[i];
    if (c == '/') {
      if (i == 0)
        r.assign(1, '/');
      else if (r.empty() || r.back() != '/')
        r += '/';
    } else if (c == '.' && !r.empty() && r.back() == '/' && work.compare(i, 2, "..") == 0) {
      r.pop_back();
      size_t prev = r.rfind('/');
      r.erase(prev == std::string::npos ? 0 : prev + 1);
      ++i;  // the second "."
    } else {
      r += c;
    }
  }
  if (r.size() > 1 && r.back() == '/' && !keepTrailing) r.pop_back();
  return r;
}
