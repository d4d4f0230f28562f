// HEAD requests per second against a local server that closes every
// connection, for this client and for libcurl, each with a fresh client per
// request; and reading plus parsing a 50-line response head from the input
// queue, in bytes of head text per second.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "http/IdHTTP.h"

namespace {

// Answers every request head with a fixed response and closes.
class CloseServer {
 public:
  CloseServer() {
    FListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(FListener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(FListener, 128);
    ::getsockname(FListener, reinterpret_cast<sockaddr*>(&a), &len);
    FPort = ntohs(a.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  ~CloseServer() {
    FStop = true;
    ::shutdown(FListener, SHUT_RDWR);
    ::close(FListener);
    FThread.join();
  }
  int Port() const { return FPort; }

 private:
  void Run() {
    static const std::string kResponse =
        "HTTP/1.1 200 OK\r\nContent-Length: 5242880\r\nConnection: close\r\n"
        "Content-Type: application/octet-stream\r\n\r\n";
    while (!FStop) {
      int s = ::accept(FListener, nullptr, nullptr);
      if (s < 0) continue;
      std::string head;
      char buf[4096];
      while (head.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<size_t>(n));
      }
      ::send(s, kResponse.data(), kResponse.size(), MSG_NOSIGNAL);
      ::shutdown(s, SHUT_WR);
      // Wait for the client's close so the server, not the client, holds no
      // TIME_WAIT slots for long.
      while (::recv(s, buf, sizeof buf, 0) > 0) {
      }
      ::close(s);
    }
  }

  int FListener;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

CloseServer& Server() {
  static CloseServer server;
  return server;
}

std::string ServerUrl() {
  return "http://127.0.0.1:" + std::to_string(Server().Port()) + "/setup/x64.exe";
}

void BM_HeadThisClient(benchmark::State& state) {
  const std::string url = ServerUrl();
  for (auto _ : state) {
    auto http = std::make_unique<TIdHTTP>();
    http->Head(url);
    if (http->Reply()->ContentLength() != 5242880) state.SkipWithError("wrong length");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeadThisClient)->UseRealTime()->MinTime(3);

size_t Discard(char*, size_t size, size_t n, void*) {
  return size * n;
}

void BM_HeadLibcurl(benchmark::State& state) {
  const std::string url = ServerUrl();
  curl_global_init(CURL_GLOBAL_DEFAULT);
  for (auto _ : state) {
    CURL* c = curl_easy_init();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, Discard);
    curl_off_t length = -1;
    if (curl_easy_perform(c) != CURLE_OK ||
        curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length != 5242880)
      state.SkipWithError("curl failed");
    curl_easy_cleanup(c);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeadLibcurl)->UseRealTime()->MinTime(3);

// Reads status line and header lines straight from the input queue.
class QueueReader : public TIdHTTP {
 public:
  void ReadHead(const std::string& head) {
    InputBuffer()->Append(head.data(), head.size());
    Reply()->SetStatusLine(ReadLine());
    RetrieveHeaders();
  }
};

std::string FiftyLineHead() {
  std::string h =
      "HTTP/1.1 200 OK\r\n"
      "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
      "Server: Apache/2.4.57 (Debian)\r\n"
      "Last-Modified: Sat, 05 Nov 1994 10:00:00 GMT\r\n"
      "ETag: \"500000-5e0c5c1b7b1c0\"\r\n"
      "Accept-Ranges: bytes\r\n"
      "Content-Length: 5242880\r\n"
      "Content-Type: application/x-msdownload\r\n"
      "Cache-Control: max-age=3600\r\n"
      "Expires: Sun, 06 Nov 1994 09:49:37 GMT\r\n";
  for (int i = 0; i < 41; ++i)
    h +=
        "X-Header-" + std::to_string(i) + ": value number " + std::to_string(i) + ", some text\r\n";
  return h + "\r\n";
}

void BM_ReadAndParseHead(benchmark::State& state) {
  const std::string head = FiftyLineHead();
  auto reader = std::make_unique<QueueReader>();
  reader->SetMaxHeaderSize(0);  // the same head is read again and again
  for (auto _ : state) {
    reader->ReadHead(head);
    benchmark::DoNotOptimize(reader->Reply()->ContentLength());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * head.size()));
}
BENCHMARK(BM_ReadAndParseHead);

}  // namespace
