#include "http/IdWinSock2.h"

#include "http/IdException.h"
#include "http/IdGlobal.h"

namespace IdWinSock2 {
namespace {

void* gLibrary = nullptr;
bool gStarted = false;

[[noreturn]] void RaiseStubError(const char* name, uint32_t code) {
  throw EIdWS2StubError(IdFormat(RSWinsockCallError, name), code, vxsock::SystemErrorMessage(code));
}

void* Resolve(const char* name) {
  if (!gLibrary) RaiseStubError(name, WSANOTINITIALISED);
  uint32_t code = 0;
  void* p = vxsock::SocketEntryPoint(gLibrary, name, code);
  if (!p) RaiseStubError(name, code);
  return p;
}

}  // namespace

#define VX_WS2_STUB(Ret, Name, Params, Args)              \
  static Ret VX_SOCKAPI Stub_##Name Params {              \
    Name = reinterpret_cast<LPFN_##Name>(Resolve(#Name)); \
    return Name Args;                                     \
  }                                                       \
  LPFN_##Name Name = Stub_##Name;
VX_WS2_ENTRIES(VX_WS2_STUB)
#undef VX_WS2_STUB

static void RestoreStubs() {
#define VX_WS2_RESTORE(Ret, Name, Params, Args) Name = Stub_##Name;
  VX_WS2_ENTRIES(VX_WS2_RESTORE)
#undef VX_WS2_RESTORE
}

void InitializeWinSock() {
  if (gLibrary) return;
  uint32_t code = 0;
  gLibrary = vxsock::LoadSocketLibrary(WINSOCK2_DLL, code);
  if (!gLibrary)
    throw EIdWS2StubError(IdFormat(RSWinsockLoadError, WINSOCK2_DLL), code,
                          vxsock::SystemErrorMessage(code));
}

bool Winsock2Loaded() {
  return gLibrary != nullptr;
}

void UninitializeWinSock() {
  if (gStarted && gLibrary) {
    try {
      WSACleanup();
    } catch (const EIdException&) {
      // The library lacks the entry point: nothing to clean up.
    }
  }
  gStarted = false;
  if (gLibrary) vxsock::FreeSocketLibrary(gLibrary);
  gLibrary = nullptr;
  RestoreStubs();
}

bool Started() {
  return gStarted;
}
void SetStarted(bool v) {
  gStarted = v;
}

namespace {
// The end step of the program.
struct Finalizer {
  ~Finalizer() { UninitializeWinSock(); }
} gFinalizer;
}  // namespace

}  // namespace IdWinSock2
