// Canvas hot paths of a frame: the form's back buffer is 32 bits per pixel.
#include <benchmark/benchmark.h>

#include "framework/Graphics.h"

namespace {

void BM_FillRect_417x152(benchmark::State& state) {
  TBitmap b(417, 152, pf32bit);
  TCanvas* c = b.Canvas();
  TColor color = 0x123456;
  for (auto _ : state) {
    c->Brush()->SetColor(color ^= 0x010101);
    c->FillRect({0, 0, 417, 152});
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * 417 * 152);
}
BENCHMARK(BM_FillRect_417x152);

void BM_DrawText_40Chars(benchmark::State& state) {
  TBitmap b(417, 40, pf32bit);
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsClear);
  const std::string text = Utf8ToAnsi("Установочный пакет Windows XP,7,8 x64 &x");
  for (auto _ : state) {
    TRect r{4, 4, 413, 36};
    benchmark::DoNotOptimize(
        c->DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS));
  }
}
BENCHMARK(BM_DrawText_40Chars);

void BM_TextWidth_40Chars(benchmark::State& state) {
  TCanvas* c = ScreenCanvas();
  const std::string text = "Downloading the package: 12.5 of 48.0 MB";
  for (auto _ : state) benchmark::DoNotOptimize(c->TextWidth(text));
}
BENCHMARK(BM_TextWidth_40Chars);

void BM_BitBlt_415x123(benchmark::State& state) {
  TBitmap src(415, 123, pf32bit), dst(417, 152, pf32bit);
  const uint32_t rop = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    dst.Canvas()->BitBlt(1, 28, 415, 123, src.Canvas(), 0, 0, rop);
    benchmark::DoNotOptimize(dst.ScanLine(28));
  }
  state.SetItemsProcessed(state.iterations() * 415 * 123);
}
BENCHMARK(BM_BitBlt_415x123)->Arg(SRCCOPY)->Arg(SRCINVERT)->Arg(ROP_DSPDXAX);

void BM_Draw_Transparent_24x24(benchmark::State& state) {
  TBitmap glyph(24, 24, pf24bit), dst(417, 152, pf32bit);
  glyph.SetTransparent(true);
  for (auto _ : state) dst.Canvas()->Draw(10, 10, &glyph);
}
BENCHMARK(BM_Draw_Transparent_24x24);

}  // namespace
