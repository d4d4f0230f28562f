// Operating-system services of the download attempt: the temporary directory,
// files, the 64-bit check, the locale's decimal separator, the shell's "open" and
// the URL reader. One implementation per system (platform/posix, platform/win32).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The user's temporary directory with its trailing separator (8-bit, system code
// page); empty when the system has none.
std::string TempDirectory();

// Size of the directory entry at path (any attribute), or -1 when none exists.
int64_t FileSize(const std::string& path);
// A directory entry of that name exists that is not a directory.
bool FileExists(const std::string& path);
// Deletes a file; failure is ignored by callers, so only success is reported.
bool RemoveFile(const std::string& path);

// True when this 32-bit process runs on a 64-bit system (false for 64-bit builds
// and where the system cannot tell).
bool IsWow64();

// The user's decimal separator, read once.
char DecimalSeparator();

// The running program's file name without its directory.
std::string ExecutableName();

// Asks the shell to open a file with the verb "open"; the answer is not reported.
void ShellOpen(uintptr_t window, const std::string& path);

// Reads a URL in pieces: Read returns 0 at the end of the data and on failure.
class UrlReader {
 public:
  virtual ~UrlReader() = default;
  virtual uint32_t Read(void* buffer, uint32_t size) = 0;
};
// Never fails: a URL that cannot be opened yields a reader whose first Read is 0.
std::unique_ptr<UrlReader> OpenUrl(const std::string& agent, const std::string& url);

}  // namespace platform
