#include "platform/System.h"

#include <curl/curl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <deque>
#include <vector>

extern char** environ;

namespace platform {

std::string TempDirectory() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool IsWow64() { return false; }

char DecimalSeparator() {
  static const char sep = [] {
    // The user's numeric locale, as the environment names it.
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string keep = saved ? saved : "C";
    char c = '.';
    if (std::setlocale(LC_NUMERIC, "")) {
      const char* p = std::localeconv()->decimal_point;
      if (p && p[0] && !p[1]) c = p[0];
    }
    std::setlocale(LC_NUMERIC, keep.c_str());
    return c;
  }();
  return sep;
}

std::string ExecutableName() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "vorlix-downloader";
  std::string p(buf, static_cast<size_t>(n));
  return p.substr(p.find_last_of('/') + 1);
}

void ShellOpen(uintptr_t, const std::string& path) {
  // No shell in between: the path is one argument, whatever it contains.
  const char* argv[] = {"xdg-open", path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
    int status;
    ::waitpid(pid, &status, WNOHANG);
  }
}

namespace {

// A libcurl transfer driven by the caller's reads: data arrives through the
// multi interface and is handed out in pieces no larger than asked for.
class CurlReader : public UrlReader {
 public:
  CurlReader(const std::string& agent, const std::string& url) {
    static const bool inited = curl_global_init(CURL_GLOBAL_DEFAULT) == 0;
    if (!inited) return;
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!easy_ || !multi_) return;
    curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    // A stalled server ends the transfer like a failed read instead of hanging.
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, 60L);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlReader::OnData);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_multi_add_handle(multi_, easy_);
  }
  ~CurlReader() override {
    if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
  }

  uint32_t Read(void* buffer, uint32_t size) override {
    if (!multi_ || !easy_) return 0;
    while (pending_ == 0 && !done_) Pump();
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(size, pending_));
    std::memcpy(buffer, buf_.data() + start_, n);
    start_ += n;
    pending_ -= n;
    if (pending_ == 0) start_ = 0, buf_.clear();
    return n;
  }

 private:
  static size_t OnData(char* p, size_t, size_t n, void* self) {
    auto* r = static_cast<CurlReader*>(self);
    if (r->start_ > 0 && r->pending_ == 0) r->buf_.clear(), r->start_ = 0;
    r->buf_.insert(r->buf_.end(), p, p + n);
    r->pending_ += n;
    return n;
  }
  void Pump() {
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) {
      done_ = true;
      return;
    }
    if (running == 0) {
      done_ = true;
      return;
    }
    if (pending_ == 0) curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
  }

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  std::vector<char> buf_;
  size_t start_ = 0, pending_ = 0;
  bool done_ = false;
};

}  // namespace

std::unique_ptr<UrlReader> OpenUrl(const std::string& agent, const std::string& url) {
  return std::make_unique<CurlReader>(agent, url);
}

}  // namespace platform
