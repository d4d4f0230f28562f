// Painting the main window's header panel (frame, glossy band, caption) and one
// option button (face, keyed glyph, caption), each composed in the form's back
// buffer as the message loop does it.
#include <benchmark/benchmark.h>

#include <memory>

#include "controls/panel/NxCollection.h"
#include "controls/panel/NxSharedDraw.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/Window.h"

namespace {

struct Scene {
  Scene() {
    platform::SetBackend(platform::Backend::Headless);
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 417, 152);
    panel = new TNxHeaderPanel(form);
    panel->SetParent(form);
    panel->SetAlign(alClient);
    panel->SetAdaptiveColors(false);
    panel->SetBorderColor(16744757);
    panel->SetCaption(u"Загрузчик 1.0 (скачиваемый файл до 200 МБ)");
    panel->SetParentFont(false);
    panel->Font()->SetColor(5197647);
    panel->SetHeaderColor(12424044);
    panel->HeaderFont()->SetColor(5789784);
    panel->SetHeaderStyle(psWindowsLive);
    panel->SetOptions(0);

    button = new TNxButton(form);
    button->SetParent(panel);
    button->SetBounds(16, 39, 383, 43);
    button->SetCaption(Utf8ToAnsi("Установочный пакет Windows XP,7,8,8.1,10 x64"));
    button->SetEnableDblClick(false);
    button->SetParentFont(false);
    button->Font()->SetColor(5197647);
    TBitmap glyph(24, 24, pf24bit);
    glyph.Canvas()->Brush()->SetColor(0x5A3C1E);
    glyph.Canvas()->FillRect({0, 0, 24, 24});
    for (int32_t i = 0; i < 3; ++i) glyph.SetPixel(i % 2, i / 2, clRed);
    glyph.SetPixel(0, 23, clRed);
    button->SetGlyph(&glyph);
    button->SetGlyphSpacing(15);
    button->SetTransparent(true);
    form->Show();
    app->ProcessMessages();
  }
  std::unique_ptr<TApplication> app;
  TForm* form;
  TNxHeaderPanel* panel;
  TNxButton* button;
};

// The header strip: band, lines and caption (the panel's paint over 415 x 27).
void BM_MainHeaderPaint(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    s.panel->InvalidateRect({0, 0, s.panel->ClientWidth(), 27}, false);
    s.form->PaintPending();
  }
}
BENCHMARK(BM_MainHeaderPaint)->Unit(benchmark::kMicrosecond);

// The glossy band alone, 415 x 24.
void BM_GlossyBand415x24(benchmark::State& state) {
  TBitmap b(415, 24, pf32bit);
  for (auto _ : state) DrawGlossyGradient(b.Canvas(), {0, 0, 415, 24}, 12424044, clWindow, 12);
}
BENCHMARK(BM_GlossyBand415x24)->Unit(benchmark::kMicrosecond);

// One option button: its whole area repainted (panel below it included).
void BM_OptionButtonPaint(benchmark::State& state) {
  Scene s;
  for (auto _ : state) s.button->Repaint();
}
BENCHMARK(BM_OptionButtonPaint)->Unit(benchmark::kMicrosecond);

// The whole window: frame, header, body and both layers of the button.
void BM_MainWindowPaint(benchmark::State& state) {
  Scene s;
  for (auto _ : state) s.form->PaintAll();
}
BENCHMARK(BM_MainWindowPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
