#include "platform/System.h"

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

namespace platform {

std::string TempDirectory() {
  char buf[300];
  DWORD n = GetTempPathA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return {};
  return std::string(buf, n);
}

int64_t FileSize(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(path.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  FindClose(h);
  return static_cast<int64_t>(fd.nFileSizeHigh) * 4294967296LL + fd.nFileSizeLow;
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool IsWow64() {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE k = GetModuleHandleA("kernel32.dll");
  if (!k) return false;
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(k, "IsWow64Process")));
  if (!fn) return false;
  BOOL wow = FALSE;
  fn(GetCurrentProcess(), &wow);
  return wow != FALSE;
}

char DecimalSeparator() {
  static const char sep = [] {
    char buf[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 0 && buf[0])
      return buf[0];
    return '.';
  }();
  return sep;
}

std::string ExecutableName() {
  char buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p(buf, n);
  size_t s = p.find_last_of("\\/");
  return s == std::string::npos ? p : p.substr(s + 1);
}

void ShellOpen(uintptr_t window, const std::string& path) {
  ShellExecuteA(reinterpret_cast<HWND>(window), "open", path.c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

namespace {

class InetHandle {
 public:
  explicit InetHandle(HINTERNET h = nullptr) : h_(h) {}
  ~InetHandle() {
    if (h_) InternetCloseHandle(h_);
  }
  InetHandle(const InetHandle&) = delete;
  InetHandle& operator=(const InetHandle&) = delete;
  HINTERNET get() const { return h_; }

 private:
  HINTERNET h_;
};

class InetReader : public UrlReader {
 public:
  InetReader(const std::string& agent, const std::string& url)
      : root_(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)),
        url_(root_.get() ? InternetOpenUrlA(root_.get(), url.c_str(), nullptr, 0, 0, 0)
                         : nullptr) {}
  // The URL handle is declared after the root handle, so it is closed first.
  uint32_t Read(void* buffer, uint32_t size) override {
    DWORD n = 0;
    if (!url_.get()) return 0;
    InternetReadFile(url_.get(), buffer, size, &n);
    return n;
  }

 private:
  InetHandle root_;
  InetHandle url_;
};

}  // namespace

std::unique_ptr<UrlReader> OpenUrl(const std::string& agent, const std::string& url) {
  return std::make_unique<InetReader>(agent, url);
}

}  // namespace platform
