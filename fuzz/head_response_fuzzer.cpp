// Arbitrary bytes as a server's answer to Head. A transport serves the bytes
// from memory in pieces whose sizes come from the first input byte, so every
// read path of the client runs without a network and without waiting.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "http/IdHTTP.h"
#include "http/IdIOHandler.h"

namespace {

class MemoryTransport : public TIdIOHandler {
 public:
  MemoryTransport(std::string data, size_t piece)
      : TIdIOHandler(nullptr), FData(std::move(data)), FPiece(piece) {}
  void Open() override {}
  void Close() override { FOpen = false; }
  bool Connected() const override { return FOpen; }
  void ConnectClient(const std::string&, int32_t, const std::string&, int32_t, int32_t, int32_t,
                     int32_t) override {
    FOpen = true;
  }
  // Data or the close are always there at once.
  bool Readable(int32_t) override { return true; }
  int32_t Recv(void* buf, int32_t len) override {
    size_t n = std::min({FPiece, static_cast<size_t>(len), FData.size() - FPos});
    std::copy_n(FData.data() + FPos, n, static_cast<char*>(buf));
    FPos += n;
    return static_cast<int32_t>(n);
  }
  int32_t Send(const void*, int32_t len) override { return len; }

 private:
  std::string FData;
  size_t FPiece;
  size_t FPos = 0;
  bool FOpen = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t piece = data[0] == 0 ? 1 : data[0];
  MemoryTransport transport(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), piece);
  auto http = std::make_unique<TIdHTTP>();
  http->SetIOHandler(&transport);
  // Small bounds keep each run short; the code paths are the same.
  http->SetMaxHeaderSize(64 * 1024);
  try {
    http->Head("http://host/setup/x64.exe");
    (void)http->Reply()->ContentLength();
    // A second request on the same client reads whatever is left.
    http->Head("/setup/x86.exe");
  } catch (const std::exception&) {
  }
  http->SetIOHandler(nullptr);
  return 0;
}
