#include <gtest/gtest.h>

#include <memory>

#include "http/IdHTTP.h"
#include "http/IdURI.h"

namespace {

struct ParseCase {
  const char* Url;
  const char* Protocol;
  const char* Host;
  const char* Port;
  const char* Path;
  const char* FileName;
  const char* Query;
  const char* Fragment;
  const char* Username;
  const char* Password;
};

TEST(IdURI, ParseSplitsTheParts) {
  const ParseCase cases[] = {
      {"http://host/setup/x64.exe", "http", "host", "", "/setup/", "x64.exe", "", "", "", ""},
      {"http://host\\setup\\x64.exe", "http", "host", "", "/setup/", "x64.exe", "", "", "", ""},
      {"http://host", "http", "host", "", "/", "", "", "", "", ""},
      {"http://host:8080/a/b.exe?x=1#top", "http", "host", "8080", "/a/", "b.exe", "?x=1", "top",
       "", ""},
      {"http://host?x=1", "http", "host?x=1", "", "/", "", "", "", "", ""},
      {"http://user:pw@host/x", "http", "host", "", "/", "x", "", "", "user", "pw"},
      {"http://user@host/x", "http", "host", "", "/", "x", "", "", "user", ""},
      {"http://:secret@host/x", "http", "host", "", "/", "x", "", "", "", ""},
      {"http://host/a/b#frag", "http", "host", "", "/a/", "b", "", "frag", "", ""},
      {"http://host/a?b=c/d", "http", "host", "", "/", "a", "?b=c/d", "", "", ""},
      {"http://host/a=b/c", "http", "host", "", "/", "a", "=b/c", "", "", ""},
      {"dir/name=value", "", "", "", "dir/", "name", "=value", "", "", ""},
      {"/abs/file.txt", "", "", "", "/abs/", "file.txt", "", "", "", ""},
      {"file#x", "", "", "", "", "file#x", "", "", "", ""},
      {"file?q#x", "", "", "", "", "file", "?q", "x", "", ""},
      {"", "", "", "", "", "", "", "", "", ""},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.Url);
    TIdURI u(c.Url);
    EXPECT_EQ(u.Protocol(), c.Protocol);
    EXPECT_EQ(u.Host(), c.Host);
    EXPECT_EQ(u.Port(), c.Port);
    EXPECT_EQ(u.Path(), c.Path);
    EXPECT_EQ(u.FileName(), c.FileName);
    EXPECT_EQ(u.Query(), c.Query);
    EXPECT_EQ(u.Fragment(), c.Fragment);
    EXPECT_EQ(u.Username(), c.Username);
    EXPECT_EQ(u.Password(), c.Password);
  }
  EXPECT_EQ(TIdURI("http://host\\a\\b").Text(), "http://host/a/b");
}

TEST(IdURI, ComposeNeedsProtocolAndHost) {
  TIdURI u("http://user:pw@host:81/a/b?q#f");
  EXPECT_EQ(u.Compose(false, false), "http://host:81/a/b?q");
  EXPECT_EQ(u.Compose(true, true), "http://user:pw@host:81/a/b?q#f");
  TIdURI noProto("dir/x");
  try {
    noProto.Compose(false, false);
    ADD_FAILURE();
  } catch (const EIdURIException& e) {
    EXPECT_EQ(e.Message(), "Protocol field is empty");
  }
  TIdURI noHost;
  noHost.SetProtocol("http");
  try {
    noHost.Compose(false, false);
    ADD_FAILURE();
  } catch (const EIdURIException& e) {
    EXPECT_EQ(e.Message(), "Host field is empty");
  }
}

TEST(IdURI, MergePath) {
  const struct {
    const char *Base, *Path, *Result;
  } cases[] = {
      {"/setup/", "../", "/"},
      {"/a/b", "c/", "/a/b/c/"},
      {"", "a//b", "a/b"},
      {"/a/", "/b/c", "/b/c"},
      {"/a/b/", "../c", "/a/c"},
      {"/a/", "./b", "/a/./b"},
      {"/a/", "", "/a/"},
      {"", "", ""},
      {"/", "..", ""},
      {"//a///b/", "c", "/a/b/c"},
      {"/a/b/", "x..y", "/a/b/x..y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Base) + " + " + c.Path);
    EXPECT_EQ(TIdURI::MergePath(c.Base, c.Path), c.Result);
  }
}

// The merge of a request URL into the client's current URL, without a network.
class MergingClient : public TIdHTTP {
 public:
  using TIdCustomHTTP::PrepareRequest;
  void Prepare(const std::string& url) {
    Request()->SetURL(url);
    Request()->SetMethod(hmHead);
    PrepareRequest();
  }
};

TEST(IdURI, MergeIntoAFreshClient) {
  const struct {
    const char *Url, *Target, *HostValue, *Port;
  } cases[] = {
      {"http://host/setup/x64.exe", "/setup/x64.exe", "host", "80"},
      {"http://host", "/", "host", "80"},
      {"http://host:8080/a/b.exe?x=1#top", "/a/b.exe?x=1", "host:8080", "8080"},
      {"http://host:0080/x", "/x", "host:0080", "0080"},
      {"http://host?x=1", "/", "host?x=1", "80"},
      {"HTTP://host/x", "/x", "host", "80"},
      {"https://host/x", "/x", "host:443", "443"},
      {"host/x", "host/x", "", "80"},  // relative: no host yet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Url);
    auto http = std::make_unique<MergingClient>();
    EXPECT_EQ(http->CurrentUrl()->Port(), "80");
    http->Prepare(c.Url);
    EXPECT_EQ(http->Request()->URL(), c.Target);
    EXPECT_EQ(http->Request()->Host(), c.HostValue);
    EXPECT_EQ(http->CurrentUrl()->Port(), c.Port);
    EXPECT_EQ(http->Request()->ContentLength(), -1);
  }
}

TEST(IdURI, MergeKeepsServerAndPathBetweenRequests) {
  auto http = std::make_unique<MergingClient>();
  http->Prepare("http://host:8080/setup/x64.exe");
  http->Prepare("other/y.exe?z");  // a relative location
  EXPECT_EQ(http->Request()->URL(), "/setup/other/y.exe?z");
  EXPECT_EQ(http->Request()->Host(), "host:8080");
  http->Prepare("/abs");
  EXPECT_EQ(http->Request()->URL(), "/abs");
  http->Prepare("http://user:pw@h2/");
  EXPECT_EQ(http->Request()->Username(), "user");
  EXPECT_EQ(http->CurrentUrl()->Password(), "pw");
  EXPECT_EQ(http->Request()->Host(), "h2:8080");  // the port text stays
}

TEST(IdURI, MergeRejectsUnknownProtocols) {
  auto http = std::make_unique<MergingClient>();
  try {
    http->Prepare("ftp://host/x");
    ADD_FAILURE();
  } catch (const EIdUnknownProtocol& e) {
    EXPECT_EQ(e.Message(), "");
  }
  auto other = std::make_unique<MergingClient>();
  other->Prepare("ftp://host:21/x");  // an explicit port needs no default
  EXPECT_EQ(other->Request()->Host(), "host:21");
}

}  // namespace
