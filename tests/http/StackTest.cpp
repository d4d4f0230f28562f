#include <gtest/gtest.h>

#include <memory>

#include "http/IdComponent.h"
#include "http/IdException.h"
#include "http/IdHTTP.h"
#include "http/IdStack.h"
#include "http/IdWinSock2.h"
#include "platform/Sockets.h"

namespace {

TEST(IdStack, SharedStackLivesWithItsComponents) {
  ASSERT_EQ(StackUsers(), 0);
  EXPECT_EQ(GStack, nullptr);
  {
    auto a = std::make_unique<TIdHTTP>();
    auto b = std::make_unique<TIdHTTP>();
    EXPECT_NE(SharedStack(), nullptr);
    // A client owns its transport and records, which count as users too.
    EXPECT_GE(StackUsers(), 2);
  }
  EXPECT_EQ(StackUsers(), 0);
  EXPECT_EQ(GStack, nullptr);
}

TEST(IdStack, OwnerFreesWhatItOwns) {
  auto owner = std::make_unique<TIdHTTP>();
  new TIdHTTP(owner.get());
  new TIdHTTP(owner.get());
  EXPECT_EQ(owner->ComponentCount(), 2);
  owner.reset();
  EXPECT_EQ(StackUsers(), 0);
}

TEST(IdStack, ResolvesWithoutAskingForLocalNamesAndAddresses) {
  auto keep = std::make_unique<TIdHTTP>();
  for (const char* name : {"localhost", "LocalHost", "127.0.0.1", "10.1.2.3"}) {
    SCOPED_TRACE(name);
    std::string expected = std::string(name) == "10.1.2.3" ? name : "127.0.0.1";
    EXPECT_EQ(GStack->ResolveHost(name), expected);
  }
  const struct {
    const char* Text;
    bool IsIP;
  } cases[] = {{"127.0.0.1", true}, {"0.0.0.0", true},    {"255.255.255.255", true},
               {"1.2.3", false},    {"1.2.3.256", false}, {"1.2.3.4.5", false},
               {"a.b.c.d", false},  {"1..2.3", false},    {"$ff.0.0.1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TIdStack::IsIP(c.Text), c.IsIP);
  }
}

TEST(IdStack, SocketErrorMessages) {
  auto keep = std::make_unique<TIdHTTP>();
  const struct {
    int32_t Code;
    const char* Message;
  } cases[] = {
      {10061, "Socket Error # 10061\r\nConnection refused."},
      {11001, "Socket Error # 11001\r\nHost not found."},
      {10035, "Socket Error # 10035\r\nOperation would block. "},
      {10066, "Socket Error # 10066\r\nDirectory not empty"},
      {10101, "Socket Error # 10101\r\n"},
  };
  for (const auto& c : cases) {
    try {
      GStack->RaiseSocketError(c.Code);
    } catch (const EIdSocketError& e) {
      EXPECT_EQ(e.ErrorCode(), c.Code);
      EXPECT_EQ(e.Message(), c.Message);
      EXPECT_EQ(GStack->LastError(), c.Code);
    }
  }
  EXPECT_FALSE(GStack->CheckForSocketError(0));
  EXPECT_FALSE(GStack->CheckForSocketError(17));
}

TEST(IdWinSock2, EntriesBeforeLoadingRaiseAndTheLibraryLoadsAgain) {
  ASSERT_EQ(StackUsers(), 0);
  IdWinSock2::UninitializeWinSock();
  EXPECT_FALSE(IdWinSock2::Winsock2Loaded());
  try {
    IdWinSock2::socket(2, 1, 0);
    ADD_FAILURE() << "called through an unloaded library";
  } catch (const EIdWS2StubError& e) {
    EXPECT_EQ(e.Title(), "Error on call Winsock2 library function socket");
    EXPECT_EQ(e.Win32Error(), 10093u);
    EXPECT_EQ(e.Message(), e.Title() + ": " + e.Win32ErrorMessage());
  }
  // The next stack starts the library again.
  auto http = std::make_unique<TIdHTTP>();
  EXPECT_TRUE(IdWinSock2::Winsock2Loaded());
  EXPECT_TRUE(IdWinSock2::Started());
  EXPECT_EQ(IdWinSock2::htons(0x1234), 0x3412);
}

TEST(IdWinSock2, MissingEntryPointsAreReportedNotCalled) {
  uint32_t code = 0;
  void* lib = vxsock::LoadSocketLibrary("WS2_32.DLL", code);
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(vxsock::SocketEntryPoint(lib, "NoSuchSocketCall", code), nullptr);
  EXPECT_NE(code, 0u);
  EXPECT_NE(vxsock::SocketEntryPoint(lib, "recv", code), nullptr);
  vxsock::FreeSocketLibrary(lib);
}

TEST(IdWS2StubError, MessageJoinsTitleAndSystemText) {
  EIdWS2StubError withCode("Error on loading Winsock2 library (WS2_32.DLL)", 126, "not found");
  EXPECT_EQ(withCode.Message(), "Error on loading Winsock2 library (WS2_32.DLL): not found");
  EIdWS2StubError noCode("title", 0, "");
  EXPECT_EQ(noCode.Message(), "title");
}

}  // namespace
