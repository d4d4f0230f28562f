// The main window through the headless host: its controls after creation, and
// whole download attempts against loopback servers, with input injected while
// the transfer runs inside the click handler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/Glyphs.h"
#include "app/Main.h"
#include "framework/Application.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "tests/app/PackageServer.h"
#include "tests/support/ScriptedServer.h"

namespace fs = std::filesystem;

namespace {

constexpr TColor kRunning = 12250766, kFailure = 9934847;

std::string Ansi(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  uint32_t x = 12345;
  for (char& c : s) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetBackend(platform::Backend::Headless);
    platform::headless::SetScreenSize(1024, 768);
    SetDecimalSeparator(',');
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::path(platform::TempDirectory()) /
          (std::string("vorlix_app_") + info->test_suite_name() + "_" + info->name() + "_" +
           std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetTempDirectoryOverride((dir / "").string());
    SetShellOpen([this](uintptr_t, const std::string& path) { launched.push_back(path); });
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TMain_Form>();
    form->Show();
    app->ProcessMessages();
  }
  void TearDown() override {
    app.reset();
    SetShellOpen(nullptr);
    SetTempDirectoryOverride("");
    SetDownloadHost("");
    SetDecimalSeparator(0);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // Input as the window would receive it; safe from any thread.
  void InjectClick(TControl* c) {
    const TPoint o = c->ClientOrigin();
    for (auto kind : {platform::EventKind::MouseMove, platform::EventKind::MouseDown,
                      platform::EventKind::MouseUp}) {
      platform::InputEvent e;
      e.kind = kind;
      e.x = o.X + c->Width() / 2;
      e.y = o.Y + c->Height() / 2;
      if (kind == platform::EventKind::MouseDown) e.shift = platform::kLeft;
      platform::headless::Inject(e, form->NativeWindow());
    }
  }
  void InjectEsc() {
    platform::InputEvent e;
    e.kind = platform::EventKind::Char;
    e.ch = 27;
    platform::headless::Inject(e, form->NativeWindow());
  }
  // A click handled by the loop; an attempt runs inside it to its end.
  void Click(TControl* c) {
    InjectClick(c);
    app->ProcessMessages();
  }

  TColor GaugePixel(int32_t x, int32_t y) {
    app->ProcessMessages();
    const TPoint o = form->Gauge->ClientOrigin();
    const auto& f = platform::headless::PresentedFrame(form->NativeWindow());
    const uint32_t p = f.pixels[static_cast<size_t>(o.Y + y) * f.width + o.X + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  fs::path dir;
  std::vector<std::string> launched;
  std::unique_ptr<TApplication> app;
  TMain_Form* form = nullptr;
};

TEST_F(MainFormTest, AtRestAfterCreation) {
  EXPECT_FALSE(form->Gauge->Visible());
  EXPECT_EQ(form->run->Caption(), "");
  EXPECT_EQ(form->size->Caption(), "");
  EXPECT_EQ(form->TempDir(), (dir / "").string());
  EXPECT_EQ(form->TargetPath(), (dir / "vorlix_srv.exe").string());
  EXPECT_EQ(form->Tag(), 0);
  // Exactly the option matching the system is bold.
  EXPECT_EQ((form->Nx1->Font()->Style() & fsBold) != 0, IsWow64());
  EXPECT_EQ((form->Nx2->Font()->Style() & fsBold) != 0, !IsWow64());
  EXPECT_EQ(form->Nx1->Tag(), 1);
  EXPECT_EQ(form->Nx2->Tag(), 2);
  EXPECT_EQ(form->Nx2->Caption().size(), 46u);  // the five trailing blanks stay
  EXPECT_EQ(form->Gauge->MaxValue(), 200);
  EXPECT_EQ(form->Gauge->ForeColor(), kRunning);
  EXPECT_EQ(form->ClientWidth(), 417);
  EXPECT_EQ(form->ClientHeight(), 152);
  EXPECT_EQ(form->Gauge->Width(), 415);
  EXPECT_EQ(form->Gauge->Height(), 123);
  EXPECT_TRUE(platform::headless::IsBorderless(form->NativeWindow()));
}

TEST(Glyphs, SizesAndKeyColours) {
  for (auto which : {TOptionGlyph::x64, TOptionGlyph::x86}) {
    auto g = MakeOptionGlyph(which);
    ASSERT_EQ(g->Width(), 24);
    ASSERT_EQ(g->Height(), 24);
    EXPECT_EQ(g->PixelFormat(), pf24bit);
    int red = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) red += g->GetPixel(x, y) == RGB(255, 0, 0);
    EXPECT_EQ(red, 12);  // the three cut-off pixels of each corner, nothing else
    EXPECT_EQ(g->GetPixel(0, 23), RGB(255, 0, 0));
  }
  auto a = MakeOptionGlyph(TOptionGlyph::x64), b = MakeOptionGlyph(TOptionGlyph::x86);
  EXPECT_NE(a->SaveToBytes(), b->SaveToBytes());
  auto c = MakeCloseGlyph();
  EXPECT_EQ(c->Width(), 16);
  EXPECT_EQ(c->Height(), 16);
  EXPECT_EQ(c->PixelFormat(), pf24bit);
  EXPECT_EQ(c->GetPixel(0, 15), RGB(255, 255, 255));
  EXPECT_NE(c->GetPixel(7, 7), RGB(255, 255, 255));
}

TEST_F(MainFormTest, SuccessfulAttemptLaunchesAndCloses) {
  const std::string body = Pattern(1572864);
  PackageServer server({.Body = body});
  SetDownloadHost(server.HostAndPort());
  // An Esc while idle is forgotten when the attempt starts.
  InjectEsc();
  app->ProcessMessages();
  EXPECT_TRUE(form->AbortRequested());

  Click(form->Nx1);

  EXPECT_EQ(launched, std::vector<std::string>{form->TargetPath()});
  EXPECT_TRUE(app->Terminated());  // the window closed after the launch
  EXPECT_EQ(form->Tag(), 0);
  EXPECT_TRUE(form->Gauge->Visible());
  EXPECT_EQ(form->Gauge->MaxValue(), 1572864);
  EXPECT_EQ(form->Gauge->Progress(), 1572864);
  EXPECT_EQ(form->Gauge->ForeColor(), kRunning);
  EXPECT_EQ(form->size->Caption(), Ansi("1,5 МБ"));
  EXPECT_EQ(form->run->Caption(), Ansi("1,5 МБ"));
  EXPECT_EQ(ReadFile(form->TargetPath()), body);  // kept, whole

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rfind("HEAD /setup/x64.exe HTTP/1.", 0), 0u) << requests[0];
  EXPECT_EQ(requests[1].rfind("GET /setup/x64.exe HTTP/1.", 0), 0u) << requests[1];
  EXPECT_NE(requests[1].find("User-Agent: " + platform::ExecutableName() + "\r\n"),
            std::string::npos)
      << requests[1];
}

TEST_F(MainFormTest, ClicksDuringAnAttemptAreIgnored) {
  const std::string body = Pattern(300000);
  PackageServer server({.Body = body, .HoldAfter = 100000, .OnHold = [this] {
                          InjectClick(form->Nx1);
                          InjectClick(form->Nx2);
                        }});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx2);

  EXPECT_EQ(launched.size(), 1u);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);  // no second attempt
  EXPECT_EQ(requests[0].rfind("HEAD /setup/x86.exe ", 0), 0u) << requests[0];
  EXPECT_EQ(requests[1].rfind("GET /setup/x86.exe ", 0), 0u) << requests[1];
  EXPECT_EQ(ReadFile(form->TargetPath()), body);
}

TEST_F(MainFormTest, EscDuringTransferAbortsAndANewClickStartsAfresh) {
  const std::string body = Pattern(400000);
  PackageServer server({.Body = body, .HoldAfter = 100000, .OnHold = [this] { InjectEsc(); }});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);

  EXPECT_EQ(form->size->Caption(), Ansi("Прервано"));
  EXPECT_EQ(form->Gauge->ForeColor(), kFailure);
  EXPECT_LT(form->Gauge->Progress(), 400000);
  EXPECT_FALSE(platform::FileExists(form->TargetPath()));
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(app->Terminated());
  EXPECT_EQ(form->Tag(), 0);

  Click(form->Nx1);  // the server holds back nothing this time
  EXPECT_EQ(launched.size(), 1u);
  EXPECT_EQ(ReadFile(form->TargetPath()), body);
  EXPECT_EQ(form->size->Caption(), Ansi("0,38 МБ"));
}

TEST_F(MainFormTest, CloseButtonDuringTransferAbortsThenEnds) {
  PackageServer server({.Body = Pattern(400000), .HoldAfter = 100000, .OnHold = [this] {
                          InjectClick(form->bclose);
                        }});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);

  EXPECT_EQ(form->size->Caption(), Ansi("Прервано"));
  EXPECT_FALSE(platform::FileExists(form->TargetPath()));
  EXPECT_TRUE(launched.empty());
  EXPECT_TRUE(app->Terminated());
}

TEST_F(MainFormTest, CloseButtonWhileIdleEndsTheProgram) {
  Click(form->bclose);
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(form->AbortRequested());
}

TEST_F(MainFormTest, ShortTransferIsASizeErrorAndTheFileGoes) {
  PackageServer server({.Body = Pattern(300000), .SendBytes = 200000});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);

  EXPECT_EQ(form->size->Caption(), Ansi("Ошибка размера"));
  EXPECT_EQ(form->run->Caption(), Ansi("0,19 МБ"));
  EXPECT_EQ(form->Gauge->Progress(), 200000);
  EXPECT_EQ(form->Gauge->ForeColor(), kFailure);
  EXPECT_FALSE(platform::FileExists(form->TargetPath()));
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(app->Terminated());
  // Two thirds of the bar in light red, shown in the gap between the buttons.
  EXPECT_EQ(GaugePixel(20, 60), kFailure);
}

TEST_F(MainFormTest, LongerTransferThanAnnouncedIsASizeError) {
  PackageServer server({.Body = Pattern(300000), .HeadAnnounced = 200000});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);

  EXPECT_EQ(form->size->Caption(), Ansi("Ошибка размера"));
  EXPECT_EQ(form->Gauge->Progress(), 200000);  // stops at the maximum
  EXPECT_EQ(form->run->Caption(), Ansi("0,19 МБ"));
  EXPECT_FALSE(platform::FileExists(form->TargetPath()));
  EXPECT_TRUE(launched.empty());
}

TEST_F(MainFormTest, EmptyPackageOfLengthZeroIsLaunched) {
  PackageServer server({.Body = ""});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);
  EXPECT_EQ(launched.size(), 1u);
  EXPECT_EQ(form->size->Caption(), Ansi("0 МБ"));
}

// Every way the size request can fail: no transfer, "file not found".
TEST_F(MainFormTest, NoTransferWhenTheLengthIsUnknown) {
  const char* replies[] = {
      "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n",  // no Content-Length
      "HTTP/1.1 200 OK\r\nContent-Length: lots\r\nConnection: close\r\n\r\n",
      "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
      "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n",
      nullptr,  // nobody listening
  };
  for (const char* reply : replies) {
    SCOPED_TRACE(reply ? reply : "no server");
    ScriptedServer server;
    if (reply) {
      server.AddConnection().ReadHead().Send(reply).Close();
      server.Start();
      SetDownloadHost("127.0.0.1:" + std::to_string(server.Port()));
    } else {
      SetDownloadHost("127.0.0.1:" + std::to_string(ScriptedServer::UnusedPort()));
    }
    Click(form->Nx1);
    EXPECT_EQ(form->size->Caption(), Ansi("Файл не найден"));
    EXPECT_EQ(form->run->Caption(), Ansi("0 МБ"));
    EXPECT_EQ(form->Gauge->ForeColor(), kFailure);
    EXPECT_TRUE(form->Gauge->Visible());
    EXPECT_FALSE(platform::FileExists(form->TargetPath()));
    EXPECT_EQ(form->Tag(), 0);
    server.Join();
  }
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(app->Terminated());
}

// A file already at the target path that this attempt did not write is never
// started, even when its size matches the gauge's maximum (200 at rest).
TEST_F(MainFormTest, AFileThisAttemptDidNotWriteIsNeverLaunched) {
  std::ofstream(form->TargetPath(), std::ios::binary) << std::string(200, 'x');
  ScriptedServer server;
  server.AddConnection().ReadHead().Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n").Close();
  server.Start();
  SetDownloadHost("127.0.0.1:" + std::to_string(server.Port()));
  Click(form->Nx1);
  server.Join();

  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(app->Terminated());
  EXPECT_EQ(form->size->Caption(), Ansi("Ошибка размера"));
  EXPECT_FALSE(platform::FileExists(form->TargetPath()));
}

TEST_F(MainFormTest, UnwritableTargetShowsNotFound) {
  // The target path names a directory: the file cannot be created.
  fs::create_directories(form->TargetPath());
  PackageServer server({.Body = Pattern(5000)});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);
  EXPECT_EQ(form->size->Caption(), Ansi("Файл не найден"));
  EXPECT_TRUE(launched.empty());
  EXPECT_TRUE(fs::is_directory(form->TargetPath()));
}

// The file is written through a buffer; a write that fails when the buffer is
// flushed still ends the transfer there, and the attempt judges the file.
TEST_F(MainFormTest, WriteFailureEndsTheTransfer) {
  std::error_code ec;
  fs::create_symlink("/dev/full", form->TargetPath(), ec);
  if (ec || !fs::exists("/dev/full")) GTEST_SKIP() << "no always-full device here";
  PackageServer server({.Body = Pattern(2000000)});
  SetDownloadHost(server.HostAndPort());
  Click(form->Nx1);
  EXPECT_EQ(form->size->Caption(), Ansi("Ошибка размера"));
  EXPECT_LT(form->Gauge->Progress(), 2000000);  // stopped at the first failed write
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(form->TargetPath())));
}

}  // namespace
