// A headless application with one shown form for the skin-aware control tests;
// pixels are read back from what the form presented to its window.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "controls/skin/sSkinManager.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/Window.h"

class SkinFixture : public ::testing::Test {
 protected:
  static constexpr TColor kFormColor = 0xBD936C;

  void SetUp() override {
    platform::SetBackend(platform::Backend::Headless);
    platform::headless::SetScreenSize(1024, 768);
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 417, 152);
    form->SetColor(kFormColor);
  }
  void TearDown() override {
    app.reset();
    SetSkinLoader(nullptr);
  }

  void Show() {
    form->Show();
    app->ProcessMessages();
  }
  // Paints whatever is pending and presents it.
  void Settle() { app->ProcessMessages(); }

  // Colour (0x00BBGGRR) presented at a form pixel.
  TColor Px(int32_t x, int32_t y) const {
    const auto& f = platform::headless::PresentedFrame(form->NativeWindow());
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) return clNone;
    const uint32_t p = f.pixels[static_cast<size_t>(y) * f.width + x];
    return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
  }
  int32_t Presents() const {
    return platform::headless::PresentedFrame(form->NativeWindow()).presents;
  }

  void Mouse(platform::EventKind kind, int32_t x, int32_t y) {
    platform::InputEvent e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    if (kind == platform::EventKind::MouseDown) e.shift = platform::kLeft;
    platform::headless::Inject(e, form->NativeWindow());
    app->ProcessMessages();
  }

  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
};
