// Painting through the framework: a full paint of a 417 x 152 form with a few
// lines of text, and an immediate repaint of a 415 x 123 area.
#include <benchmark/benchmark.h>

#include <memory>

#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/Window.h"

namespace {

class TextLines : public TGraphicControl {
 public:
  explicit TextLines(TComponent* o) : TGraphicControl(o) {}

 protected:
  void Paint() override {
    Canvas()->Font()->Assign(*Font());
    Canvas()->Brush()->SetStyle(bsClear);
    static const char* lines[] = {"Installation package Windows x64", "0,13 MB",
                                  "117,74 MB", "Download finished"};
    int y = 4;
    for (const char* l : lines) {
      Canvas()->TextOut(8, y, l);
      y += 16;
    }
  }
};

class Fill : public TGraphicControl {
 public:
  explicit Fill(TComponent* o) : TGraphicControl(o) { SetControlStyle(ControlStyle() | csOpaque); }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(0xBAEE8E);
    Canvas()->FillRect(ClientRect());
  }
};

struct Scene {
  Scene() {
    platform::SetBackend(platform::Backend::Headless);
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 417, 152);
    fill = new Fill(form);
    fill->SetBounds(1, 28, 415, 123);
    fill->SetParent(form);
    auto* text = new TextLines(form);
    text->SetBounds(10, 30, 300, 80);
    text->SetParent(form);
    form->Show();
    app->ProcessMessages();
  }
  std::unique_ptr<TApplication> app;
  TForm* form;
  Fill* fill;
};

void BM_FullFormPaint(benchmark::State& state) {
  Scene s;
  for (auto _ : state) s.form->PaintAll();
}
BENCHMARK(BM_FullFormPaint)->Unit(benchmark::kMicrosecond);

void BM_ImmediateRepaint415x123(benchmark::State& state) {
  Scene s;
  for (auto _ : state) s.fill->Repaint();
}
BENCHMARK(BM_ImmediateRepaint415x123)->Unit(benchmark::kMicrosecond);

}  // namespace
