// Arbitrary text as a URL: parse, compose, merge into a client's current URL
// (twice, as a redirect would), and path merging and header folding on the
// same text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "http/IdHTTP.h"
#include "http/IdHeaderList.h"
#include "http/IdURI.h"

namespace {

class MergingClient : public TIdHTTP {
 public:
  using TIdCustomHTTP::PrepareRequest;
  void Merge(const std::string& url) {
    Request()->SetURL(url);
    Request()->SetMethod(hmHead);
    PrepareRequest();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  TIdURI uri(text);
  try {
    (void)uri.Compose(true, true);
  } catch (const std::exception&) {
  }
  size_t cut = text.find('\n');
  std::string base = cut == std::string::npos ? text : text.substr(0, cut);
  std::string path = cut == std::string::npos ? std::string() : text.substr(cut + 1);
  (void)TIdURI::MergePath(base, path);
  static auto client = std::make_unique<MergingClient>();
  try {
    client->Merge(base);
    client->Merge(path);
  } catch (const std::exception&) {
  }
  (void)TIdHeaderList::WrapHeaderText(text, size % 100);
  TIdHeaderList list;
  list.SetText(text);
  list.Store("X-Fuzz", base);
  (void)list.Lookup("x-fuzz");
  return 0;
}
