#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "http/IdException.h"
#include "http/IdTCPClient.h"
#include "tests/support/ScriptedServer.h"

namespace {

std::unique_ptr<TIdTCPClient> ConnectTo(ScriptedServer& server) {
  server.Start();
  auto c = std::make_unique<TIdTCPClient>(nullptr);
  c->SetHost("127.0.0.1");
  c->SetPort(server.Port());
  c->Connect();
  return c;
}

TEST(IdTCPConnection, Defaults) {
  TIdTCPClient c(nullptr);
  EXPECT_EQ(c.ReadTimeout(), 0);
  EXPECT_EQ(c.RecvBufferSize(), 32768);
  EXPECT_EQ(c.SendBufferSize(), 32768);
  EXPECT_EQ(c.MaxLineLength(), 16384);
  EXPECT_EQ(c.MaxLineAction(), maException);
  EXPECT_FALSE(c.IsConnected());
  EXPECT_EQ(c.IOHandler(), nullptr);
  EXPECT_THROW(c.FillInputQueue(true, 1, false), EIdNotConnected);
  EXPECT_EQ(c.FillInputQueue(false, 1, false), 0);
}

TEST(IdTCPConnection, LineEndsAcrossRandomPieces) {
  // Many lines of random lengths, more than the queue keeps before compacting.
  std::mt19937 rng(7);
  std::string wire;
  std::vector<std::string> lines;
  size_t total = 0;
  while (total < 100000) {
    std::string l(rng() % 300, 'a' + static_cast<char>(rng() % 26));
    lines.push_back(l);
    wire += l + (rng() % 2 ? "\r\n" : "\n");
    total += l.size();
  }
  wire += "lone\rcr\r\n";
  ScriptedServer server(3, 997);
  server.AddConnection().Send(wire);
  auto c = ConnectTo(server);
  for (const std::string& l : lines) ASSERT_EQ(c->ReadLine(), l);
  EXPECT_EQ(c->ReadLine(), "lone\rcr");
}

TEST(IdTCPConnection, LineLimit) {
  const std::string ok(16383, 'x');
  const std::string tooLong(16384, 'y');
  ScriptedServer server(5, 4096);
  server.AddConnection().Send(ok + "\r\n" + tooLong + "\r\n");
  auto c = ConnectTo(server);
  EXPECT_EQ(c->ReadLine(), ok);
  EXPECT_THROW(c->ReadLine(), EIdReadLnMaxLineLengthExceeded);
  c->SetMaxLineAction(maSplit);
  EXPECT_EQ(c->ReadLine(), std::string(16384, 'y'));
  EXPECT_TRUE(c->ReadLnSplit());
  EXPECT_EQ(c->ReadLine(), "");  // the CR left over from the split
  EXPECT_FALSE(c->ReadLnSplit());
}

TEST(IdTCPConnection, CloseAfterAPartialLine) {
  ScriptedServer server;
  server.AddConnection().Send("abc").Close();
  auto c = ConnectTo(server);
  EXPECT_EQ(c->ReadLine(), "");
  EXPECT_TRUE(c->ReadLnTimedOut());
  try {
    c->ReadLine();
    ADD_FAILURE();
  } catch (const EIdConnClosedGracefully& e) {
    EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
  }
  EXPECT_FALSE(c->IsConnected());
}

TEST(IdTCPConnection, ReadTimeoutOnASilentPeer) {
  ScriptedServer server;
  server.AddConnection().Silence(5000);
  auto c = ConnectTo(server);
  c->SetReadTimeout(200);
  try {
    c->ReadLine();
    ADD_FAILURE();
  } catch (const EIdReadTimeout& e) {
    EXPECT_EQ(e.Message(), "Read Timeout");
  }
  // A read deadline bounds waits even without a read time-out.
  c->SetReadTimeout(0);
  c->SetReadDeadline(200);
  EXPECT_THROW(c->ReadLine(), EIdReadTimeout);
  c->ClearReadDeadline();
  EXPECT_EQ(c->FillInputQueue(false, 10, false), -1);
}

TEST(IdTCPConnection, WritesAndByteReads) {
  ScriptedServer server;
  server.AddConnection()
      .ReadHead()
      .Send(std::string("\x00\x00\x00\x05hello", 9) + "rest of it")
      .Close();
  auto c = ConnectTo(server);
  c->WriteLine("");
  c->BeginBufferedWrite(-1);
  c->Write("A");
  c->WriteLine("B");
  c->Write("");
  c->WriteLine();
  c->EndBufferedWrite();
  TIdStream s;
  c->ReadToStream(&s, -1, false);  // a 4-byte length first
  EXPECT_EQ(s.DataString(), "hello");
  char two[2];
  c->ReadBytes(two, 2);
  EXPECT_EQ(std::string(two, 2), "re");
  TIdStream rest;
  c->ReadToStream(&rest, -1, true);
  EXPECT_EQ(rest.DataString(), "st of it");
  EXPECT_FALSE(c->IsConnected());
  EXPECT_THROW(c->ReadBytes(two, 1), EIdConnClosedGracefully);
  EXPECT_THROW(c->Write("x"), EIdException);
  c.reset();
  server.Join();
  EXPECT_EQ(server.Received(0), "\r\nAB\r\n\r\n");
}

TEST(IdTCPConnection, ConnectTwiceAndReconnect) {
  ScriptedServer server;
  server.AddConnection().Send("one\r\n");
  server.AddConnection().Send("two\r\n");
  auto c = ConnectTo(server);
  EXPECT_THROW(c->Connect(), EIdAlreadyConnected);
  EXPECT_EQ(c->ReadLine(), "one");
  c->Disconnect();
  EXPECT_FALSE(c->IsConnected());
  EXPECT_EQ(c->IOHandler(), nullptr);
  c->Connect(2000);  // with a time-out of its own
  EXPECT_EQ(c->ReadLine(), "two");
}

TEST(IdManagedBuffer, TakesFromTheFrontAndCompacts) {
  TIdManagedBuffer b;
  std::string data(40000, 'q');
  data[32768] = 'Z';
  b.Append(data.data(), data.size());
  b.Remove(32768);
  EXPECT_EQ(b.Size(), 40000u - 32768u);
  EXPECT_EQ(b.Memory()[0], 'Z');
  EXPECT_THROW(b.Remove(b.Size() + 1), EIdNotEnoughDataInBuffer);
  EXPECT_EQ(b.Extract(1), "Z");
  b.Remove(b.Size());
  EXPECT_EQ(b.Size(), 0u);
}

}  // namespace
