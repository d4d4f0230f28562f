// A headless application with one borderless form for the panel and button tests:
// scripted input goes in through the headless window, presented pixels come out.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/Window.h"

class PanelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetBackend(platform::Backend::Headless);
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 417, 152);
  }
  void TearDown() override { app.reset(); }

  void ShowForm() {
    form->Show();
    app->ProcessMessages();
  }
  void Pump() { app->ProcessMessages(); }

  // Presented colour (0x00BBGGRR) at a form point.
  TColor Px(int32_t x, int32_t y) const {
    const auto& f = platform::headless::PresentedFrame(form->NativeWindow());
    EXPECT_TRUE(x >= 0 && y >= 0 && x < f.width && y < f.height) << x << "," << y;
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) return clNone;
    const uint32_t p = f.pixels[static_cast<size_t>(y) * f.width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  void Send(platform::InputEvent e) {
    platform::headless::Inject(e, form->NativeWindow());
    Pump();
  }
  void Mouse(platform::EventKind kind, int32_t x, int32_t y, int32_t button = 0,
             int32_t clicks = 1) {
    platform::InputEvent e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.button = button;
    e.clicks = clicks;
    Send(e);
  }
  void Down(int32_t x, int32_t y, int32_t button = 0, int32_t clicks = 1) {
    Mouse(platform::EventKind::MouseDown, x, y, button, clicks);
  }
  void Up(int32_t x, int32_t y, int32_t button = 0) {
    Mouse(platform::EventKind::MouseUp, x, y, button);
  }
  void Move(int32_t x, int32_t y) { Mouse(platform::EventKind::MouseMove, x, y); }
  void Key(platform::EventKind kind, uint32_t key, uint32_t shift = 0) {
    platform::InputEvent e;
    e.kind = kind;
    e.key = key;
    e.shift = shift;
    Send(e);
  }
  void Press(uint32_t key, uint32_t shift = 0) {
    Key(platform::EventKind::KeyDown, key, shift);
    Key(platform::EventKind::KeyUp, key, shift);
  }
  void Char(char16_t ch, uint32_t shift = 0) {
    platform::InputEvent e;
    e.kind = platform::EventKind::Char;
    e.ch = ch;
    e.shift = shift;
    Send(e);
  }

  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
};
