#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "http/IdException.h"
#include "http/IdHTTP.h"
#include "tests/support/ScriptedServer.h"

namespace {

std::string RequestFor(int port, const std::string& target = "/setup/x64.exe") {
  return "HEAD " + target +
         " HTTP/1.1\r\n"
         "Content-Type: text/html\r\n"
         "Host: localhost:" +
         std::to_string(port) +
         "\r\n"
         "Accept: text/html, */*\r\n"
         "User-Agent: Mozilla/3.0 (compatible; Vorlix Library)\r\n"
         "\r\n";
}

std::string Url(const ScriptedServer& s, const std::string& path = "/setup/x64.exe") {
  return "http://localhost:" + std::to_string(s.Port()) + path;
}

// Runs Head and returns the exception it raised (null when none).
std::exception_ptr HeadError(TIdHTTP& http, const std::string& url) {
  try {
    http.Head(url);
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

template <typename E>
E Expect(std::exception_ptr p) {
  if (!p) throw std::runtime_error("Head raised nothing");
  try {
    std::rethrow_exception(p);
  } catch (const E& e) {
    return e;
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("Head raised another error: ") + e.what());
  }
}

TEST(IdHTTP, DefaultsOfAFreshClient) {
  auto http = std::make_unique<TIdHTTP>();
  EXPECT_EQ(http->ProtocolVersion(), pv1_1);
  EXPECT_FALSE(http->HandleRedirects());
  EXPECT_EQ(http->RedirectMaximum(), 15);
  EXPECT_EQ(http->AuthRetries(), 3);
  EXPECT_TRUE(http->AllowCookies());
  EXPECT_EQ(http->HTTPOptions(), TIdHTTPOptions(hoForceEncodeParams));
  EXPECT_EQ(http->Port(), 80);
  EXPECT_EQ(http->Host(), "");
  EXPECT_EQ(http->ReadTimeout(), 0);
  EXPECT_EQ(http->HeadTimeout(), 30000);
  EXPECT_EQ(http->MaxHeaderSize(), 1048576);
  EXPECT_EQ(http->ProxyParams()->ProxyServer(), "");
  EXPECT_EQ(http->CookieManager(), nullptr);
  EXPECT_EQ(http->CurrentUrl()->Port(), "80");
  EXPECT_EQ(http->Reply()->ContentLength(), -1);
  http->SetPort(8080);
  http->SetHost("h");
  EXPECT_EQ(http->CurrentUrl()->Port(), "8080");
  EXPECT_EQ(http->CurrentUrl()->Host(), "h");
}

TEST(IdHTTP, HeadSendsSixLinesAndKeepsTheConnection) {
  ScriptedServer server;
  server.AddConnection().ReadHead().Send(
      "HTTP/1.1 200 OK\r\nContent-Length: 5242880\r\nSet-Cookie: a=1; path=/\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->Head(Url(server));
  EXPECT_EQ(http->Reply()->ContentLength(), 5242880);
  EXPECT_EQ(http->Reply()->StatusCode(), 200);
  EXPECT_TRUE(http->Connected());
  EXPECT_EQ(http->CookieManager()->Count(), 1);
  EXPECT_EQ(server.Received(0), RequestFor(server.Port()));
  http.reset();  // the client closes the socket
  server.Join();
  EXPECT_EQ(server.Received(0), RequestFor(server.Port()));
}

TEST(IdHTTP, KeepAliveReusesTheConnection) {
  ScriptedServer server;
  server.AddConnection()
      .ReadHead()
      .Send("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\n")  // 1.0 without Connection: kept
      .ReadHead()
      .Send("HTTP/1.1 200 OK\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->Head(Url(server));
  EXPECT_EQ(http->Reply()->ServerVersion(), pv1_0);
  EXPECT_TRUE(http->Connected());
  http->Head(Url(server, "/setup/x86.exe"));
  EXPECT_EQ(http->Reply()->ContentLength(), -1);
  EXPECT_FALSE(http->Reply()->ContentLengthGiven());
  EXPECT_EQ(server.Accepted(), 1);
  EXPECT_EQ(server.Received(0),
            RequestFor(server.Port()) + RequestFor(server.Port(), "/setup/x86.exe"));
}

TEST(IdHTTP, ConnectionCloseClosesBeforeHeadReturns) {
  ScriptedServer server;
  server.AddConnection().ReadHead().Send(
      "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 10\r\n\r\n");
  server.AddConnection().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->Head(Url(server));
  EXPECT_EQ(http->Reply()->ContentLength(), 10);
  EXPECT_FALSE(http->Connected());
  http->Head(Url(server));  // a new connection
  EXPECT_EQ(http->Reply()->ContentLength(), 20);
  EXPECT_EQ(server.Accepted(), 2);
}

TEST(IdHTTP, ContinueHeadsAreSkipped) {
  ScriptedServer server;
  server.AddConnection().ReadHead().Send(
      "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 100 Continue\r\nX: y\r\n\r\n"
      "HTTP/1.1 200 OK\r\nContent-Length: 77\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->Head(Url(server));
  EXPECT_EQ(http->Reply()->StatusLine(), "HTTP/1.1 200 OK");
  EXPECT_EQ(http->Reply()->ContentLength(), 77);
}

// Status responses that end in the protocol error with the status line.
TEST(IdHTTP, ErrorAndRedirectStatusesRaiseTheProtocolError) {
  const struct {
    const char* Response;
    bool Close;
    int32_t Code;
    const char* StatusLine;
    const char* Body;
  } cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n", false, 302,
       "HTTP/1.1 302 Found", ""},
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 10\r\n\r\n", true, 302,
       "HTTP/1.1 302 Found", ""},
      {"HTTP/1.1 301 Moved\r\nContent-Length: 0\r\n\r\n", false, 301, "HTTP/1.1 301 Moved", ""},
      {"HTTP/1.1 200 OK\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n", false, 200,
       "HTTP/1.1 200 OK", ""},
      {"HTTP/1.1 304 Not Modified\r\nContent-Length: 0\r\n\r\n", false, 304,
       "HTTP/1.1 304 Not Modified", ""},
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", false, 404, "HTTP/1.1 404 Not Found",
       ""},
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nno such x", false, 404,
       "HTTP/1.1 404 Not Found", "no such x"},
      {"HTTP/1.1 500 Oops\r\n\r\nuntil the close", true, 500, "HTTP/1.1 500 Oops",
       "until the close"},
      {"HTTP/1.1 503 Busy\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2 "
       "ext\r\nde\r\n0\r\n\r\n",
       false, 503, "HTTP/1.1 503 Busy", "abcde"},
      {"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n"
       "Content-Length: 0\r\n\r\n",
       false, 401, "HTTP/1.1 401 Unauthorized", ""},
      {"HTTP/1.1 407 Proxy\r\nContent-Length: 0\r\n\r\n", false, 407, "HTTP/1.1 407 Proxy", ""},
      {"HTTP/1.1 OK\r\nContent-Length: 0\r\n\r\n", false, -1, "HTTP/1.1 OK", ""},
      {"garbage\r\n\r\n", true, -1, "garbage", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Response);
    ScriptedServer server(11, 5);
    auto& script = server.AddConnection().ReadHead().Send(c.Response);
    if (c.Close) script.Close();
    server.Start();
    auto http = std::make_unique<TIdHTTP>();
    auto e = Expect<EIdHTTPProtocolException>(HeadError(*http, Url(server)));
    EXPECT_EQ(e.ReplyCode(), c.Code);
    EXPECT_EQ(e.Message(), c.StatusLine);
    EXPECT_EQ(e.BodyText(), c.Body);
    EXPECT_EQ(http->Reply()->StatusCode(), c.Code);
    EXPECT_EQ(http->RedirectCount(), 1);
  }
}

TEST(IdHTTP, AnnouncedBodyThatNeverComesTimesOutAfterTwoSeconds) {
  ScriptedServer server;
  server.AddConnection()
      .ReadHead()
      .Send("HTTP/1.1 302 Found\r\nLocation: http://elsewhere/\r\nContent-Length: 10\r\n\r\n")
      .Silence(8000);
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  auto start = std::chrono::steady_clock::now();
  auto e = Expect<EIdReadTimeout>(HeadError(*http, Url(server)));
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(e.Message(), "Read Timeout");
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
  EXPECT_EQ(http->ReadTimeout(), 0);  // restored
}

TEST(IdHTTP, RedirectsAreFollowedWhenAsked) {
  ScriptedServer server;
  server.AddConnection()
      .ReadHead()
      .Send("HTTP/1.1 302 Found\r\nLocation: other/y.exe\r\nContent-Length: 0\r\n\r\n")
      .ReadHead()
      .Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->SetHandleRedirects(true);
  std::string seen;
  http->OnRedirect = [&](TObject*, std::string& dest, int32_t&, bool& handled, TIdHTTPMethod&) {
    seen = dest;
    EXPECT_TRUE(handled);
  };
  http->Head(Url(server));
  EXPECT_EQ(seen, "other/y.exe");
  EXPECT_EQ(http->Reply()->ContentLength(), 3);
  EXPECT_EQ(http->RedirectCount(), 0);
  EXPECT_EQ(server.Received(0),
            RequestFor(server.Port()) + RequestFor(server.Port(), "/setup/other/y.exe"));
}

TEST(IdHTTP, ClosesDuringTheHead) {
  const struct {
    const char* Response;
    const char* Message;
    bool Undefined;
  } cases[] = {
      {"", "Connection Closed Gracefully.", false},
      {"HTTP/1.1 200 OK\r\n", "Connection Closed Gracefully.", false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", "Undefined situation", true},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nServ", "Undefined situation", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Response);
    ScriptedServer server;
    server.AddConnection().ReadHead().Send(c.Response).Close();
    server.Start();
    auto http = std::make_unique<TIdHTTP>();
    std::exception_ptr p = HeadError(*http, Url(server));
    if (c.Undefined) {
      auto e = Expect<EIdException>(p);
      EXPECT_EQ(e.Message(), c.Message);
      EXPECT_EQ(http->Reply()->ContentLength(), 5);
    } else {
      EXPECT_EQ(Expect<EIdConnClosedGracefully>(p).Message(), c.Message);
    }
    EXPECT_FALSE(http->Connected());
  }
}

TEST(IdHTTP, LineLimitAndSlowLines) {
  {
    ScriptedServer server(2, 3000);
    server.AddConnection().ReadHead().Send("HTTP/1.1 200 OK\r\nX-Big: " + std::string(16384, 'b') +
                                           "\r\n\r\n");
    server.Start();
    auto http = std::make_unique<TIdHTTP>();
    auto e = Expect<EIdReadLnMaxLineLengthExceeded>(HeadError(*http, Url(server)));
    EXPECT_EQ(e.Message(), "Max line length exceeded.");
  }
  {
    ScriptedServer server;
    server.AddConnection()
        .ReadHead()
        .SendSlowly("HTTP/1.1 200 OK\r\nContent-Length: 123456\r\n", 0)
        .Send("\r\n");
    server.Start();
    auto http = std::make_unique<TIdHTTP>();
    http->Head(Url(server));
    EXPECT_EQ(http->Reply()->ContentLength(), 123456);
  }
}

TEST(IdHTTP, HeadSizeIsBounded) {
  std::string head = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 1100; ++i)
    head += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f') + "\r\n";
  ScriptedServer server(4, 60000);
  server.AddConnection().ReadHead().Send(head + "\r\n");
  server.AddConnection().ReadHead().Send("HTTP/1.1 200 OK\r\nX: " + std::string(600, 'x') +
                                         "\r\nY: " + std::string(600, 'y') + "\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  auto e = Expect<EIdHTTPHeadTooLarge>(HeadError(*http, Url(server)));
  EXPECT_EQ(e.Message(), "Response head longer than 1048576 bytes.");
  EXPECT_FALSE(http->Connected());
  http->SetMaxHeaderSize(1000);
  EXPECT_THROW(http->Head(Url(server)), EIdHTTPHeadTooLarge);
}

TEST(IdHTTP, SilentServerIsBounded) {
  ScriptedServer server;
  server.AddConnection().ReadHead().Silence(8000);
  server.AddConnection().ReadHead().SendSlowly("HTTP/1.1 200 OK\r\n", 40).Silence(8000);
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->SetHeadTimeout(300);
  EXPECT_EQ(Expect<EIdReadTimeout>(HeadError(*http, Url(server))).Message(), "Read Timeout");
  EXPECT_FALSE(http->Connected());
  // A server trickling bytes is bounded just the same.
  EXPECT_THROW(http->Head(Url(server)), EIdReadTimeout);
}

TEST(IdHTTP, SocketFailures) {
  auto http = std::make_unique<TIdHTTP>();
  int port = ScriptedServer::UnusedPort();
  auto refused = Expect<EIdSocketError>(
      HeadError(*http, "http://127.0.0.1:" + std::to_string(port) + "/setup/x64.exe"));
  EXPECT_EQ(refused.ErrorCode(), 10061);
  EXPECT_EQ(refused.Message(), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_FALSE(http->Connected());

  auto unknown = Expect<EIdSocketError>(HeadError(*http, "http://no-such-host.invalid/x"));
  EXPECT_EQ(unknown.ErrorCode(), 11001);
  EXPECT_EQ(unknown.Message(), "Socket Error # 11001\r\nHost not found.");

  // A client keeps the port of its last request, so these need fresh ones.
  EXPECT_THROW(TIdHTTP().Head("https://localhost/x"), EIdIOHandlerPropInvalid);
  EXPECT_THROW(TIdHTTP().Head("ftp://localhost/x"), EIdUnknownProtocol);
  auto badPort = Expect<EConvertError>(HeadError(*http, "http://localhost:8o/x"));
  EXPECT_EQ(badPort.Message(), "'8o' is not a valid integer value");
}

}  // namespace

namespace {

TEST(IdHTTP, OlderProtocolVersionAsksForKeepAlive) {
  ScriptedServer server;
  server.AddConnection().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n");
  server.AddConnection().ReadHead().Send(
      "HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 2\r\n\r\n");
  server.Start();
  auto http = std::make_unique<TIdHTTP>();
  http->SetProtocolVersion(pv1_0);
  http->Head(Url(server));
  EXPECT_FALSE(http->Connected());  // no keep-alive in the answer
  http->Head(Url(server));
  EXPECT_TRUE(http->Connected());
  EXPECT_EQ(http->Reply()->ContentLength(), 2);
  EXPECT_EQ(server.Received(0),
            "HEAD /setup/x64.exe HTTP/1.0\r\n"
            "Connection: keep-alive\r\n"
            "Content-Type: text/html\r\n"
            "Host: localhost:" +
                std::to_string(server.Port()) +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "User-Agent: Mozilla/3.0 (compatible; Vorlix Library)\r\n"
                "\r\n");
}

}  // namespace
