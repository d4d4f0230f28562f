#include "controls/skin/sGauge.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "controls/skin/sSkinManager.h"

namespace {

void FillBlack(TBitmap& b) {
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  c->FillRect({0, 0, b.Width(), b.Height()});
}

// image := image XOR overlay, colour bits only; both are 32-bit and equally sized.
void XorInto(TBitmap& image, const TBitmap& overlay) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    auto* d = reinterpret_cast<uint32_t*>(image.ScanLine(y));
    const auto* s = reinterpret_cast<const uint32_t*>(overlay.ScanLine(y));
    for (int32_t x = 0; x < image.Width(); ++x) d[x] ^= s[x] & 0x00FFFFFFu;
  }
}

int32_t RoundEven(long double v) {
  return static_cast<int32_t>(std::nearbyintl(v));
}

}  // namespace

TsGauge::TsGauge(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque;
  FCommonData = std::make_unique<TsCtrlSkinData>(this, false);
  FCommonData->COC = COC_TsGauge;
  FCommonData->SetSkinSection("GAUGE");
  SetBounds(Left(), Top(), 120, 30);
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(22);
  FTimer->SetOnTimer([this](TObject*) { TimerTick(); });
  // After construction.
  FCommonData->Loaded();
}

TsGauge::~TsGauge() {
  MarkDestroying();
  delete FTimer;
  FTimer = nullptr;
  FProgressImage.reset();
  FAnimImage.reset();
  FCommonData.reset();
}

void TsGauge::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && FCommonData &&
      AComponent == FCommonData->OwnSkinManager())
    FCommonData->SetSkinManager(nullptr);
}

void TsGauge::Loaded() {
  TGraphicControl::Loaded();
  FCommonData->Loaded();
  if (!(ComponentState() & csDesigning) && FAnimated && FTimer && !FTimer->Enabled())
    FTimer->SetEnabled(true);
}

void TsGauge::TimerTick() {
  // Only a skinned bar animates; unskinned, the timer has nothing to do.
  if (!FCommonData->Skinned()) {
    FTimer->SetEnabled(false);
    return;
  }
  ++FAnimPos;
  FCommonData->Invalidate();
}

int32_t TsGauge::PercentDone() const {
  if (FMaxValue == FMinValue) return 0;
  const long double range = static_cast<long double>(static_cast<int64_t>(FMaxValue) - FMinValue);
  const long double done = static_cast<long double>(static_cast<int64_t>(FCurValue) - FMinValue);
  return RoundEven(100.0L / range * done);
}

void TsGauge::SetProgress(int32_t v) {
  const int32_t before = PercentDone();
  if (v < FMinValue)
    v = FMinValue;
  else if (v > FMaxValue)
    v = FMaxValue;
  if (v == FCurValue) return;
  FCurValue = v;
  if (PercentDone() != before) {
    FSkinCacheStale = true;
    RepaintNow();
  }
  if (OnChange) OnChange(this);
}

void TsGauge::AddProgress(int32_t v) {
  const int64_t sum = static_cast<int64_t>(FCurValue) + v;
  SetProgress(static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max())));
}

void TsGauge::SetMinValue(int32_t v) {
  if (v == FMinValue) return;
  if (!Loading() && v > FMaxValue)
    throw EInvalidOperation(Format("Value must be between %d and %d", -2147483647, FMaxValue - 1));
  FMinValue = v;
  if (FCurValue < v) FCurValue = v;
  RepaintNow();
}

void TsGauge::SetMaxValue(int32_t v) {
  if (v == FMaxValue) return;
  if (!Loading() && v < FMinValue)
    throw EInvalidOperation(Format("Value must be between %d and %d", FMinValue + 1, 2147483647));
  FMaxValue = v;
  if (FCurValue > v) FCurValue = v;
  RepaintNow();
}

void TsGauge::SetKind(TsGaugeKind v) {
  if (v == FKind) return;
  FKind = v;
  RepaintNow();
}

void TsGauge::SetShowText(bool v) {
  if (v == FShowText) return;
  FShowText = v;
  RepaintNow();
}

void TsGauge::SetSuffix(const std::string& v) {
  if (v == FSuffix) return;
  FSuffix = v;
  Invalidate();
}

void TsGauge::SetForeColor(TColor v) {
  if (v == FForeColor) return;
  FForeColor = v;
  RepaintNow();
}

void TsGauge::SetBackColor(TColor v) {
  if (v == FBackColor) return;
  FBackColor = v;
  RepaintNow();
}

void TsGauge::SetBorderStyle(TFormBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RepaintNow();
}

void TsGauge::SetProgressSkin(const std::string& v) {
  if (v == FProgressSkin) return;
  FProgressSkin = v;
  DropAnimationImage();
  FSkinCacheStale = true;
  RepaintNow();
}

void TsGauge::SetCalcPercents(bool v) {
  if (v == FCalcPercents) return;
  FCalcPercents = v;
  Invalidate();
}

void TsGauge::SetAnimated(bool v) {
  if (v == FAnimated) return;
  FAnimated = v;
  if (ComponentState() & csDesigning) return;
  DropAnimationImage();
  FTimer->SetEnabled(v);
  if (!v) Invalidate();
}

void TsGauge::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // Opaque: the paint covers everything, nothing to erase.
      Message.Result = 1;
      return;
    case SM_SKINCOMMAND: {
      const uint16_t cmd = SkinCommandOf(Message.WParam);
      if (cmd == ac_CtrlHandled) {
        Message.Result = 1;
        return;
      }
      TsSkinManager* own = FCommonData->SkinManager();
      if (Message.LParam != 0 && Message.LParam != reinterpret_cast<intptr_t>(own)) return;
      DropAnimationImage();
      FCommonData->HandleCommand(cmd);
      if (cmd == ac_RemoveSkin) {
        FTimer->SetEnabled(false);
        Repaint();
      } else if (cmd == ac_SetNewSkin || cmd == ac_Refresh) {
        Repaint();
        if (!(ComponentState() & csDesigning) && FAnimated) FTimer->SetEnabled(true);
      }
      return;
    }
    default:
      TGraphicControl::WndProc(Message);
  }
}

void TsGauge::Paint() {
  // Skinned painting belongs to the skinning engine; with no skin loaded the
  // skinned test fails and the plain look is drawn.
  PaintPlain();
}

void TsGauge::DrawFigure(TCanvas* c, const TRect& R) {
  const int32_t pct = PercentDone();
  auto fill = [c](const TRect& r, TColor col) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(col);
    c->FillRect(r);
  };
  const bool single = FBorderStyle == bsSingle;
  switch (FKind) {
    case gkText:
      fill(R, FBackColor);
      break;
    case gkHorizontalBar:
    case gkVerticalBar: {
      const int32_t W = R.Right - R.Left + 1, H = R.Bottom - R.Top + 1;
      fill(R, FBackColor);
      c->Pen()->SetColor(FForeColor);
      c->Pen()->SetWidth(1);
      c->Brush()->SetColor(FForeColor);
      if (FKind == gkHorizontalBar) {
        int32_t F = RoundEven(pct * 0.01L * W);
        if (F > W) F = W;
        // F and H are used as the right and bottom coordinates themselves.
        if (F > 0) c->FillRect({R.Left, R.Top, F, H});
      } else {
        int32_t F = RoundEven(pct * 0.01L * H);
        if (F >= H) F = H - 1;
        c->FillRect({R.Left, H - F, W, H});
      }
      break;
    }
    case gkPie: {
      const int32_t W = R.Right - R.Left + (single ? 1 : 0);
      const int32_t H = R.Bottom - R.Top + (single ? 1 : 0);
      fill(R, Color());
      c->Brush()->SetColor(FBackColor);
      c->Pen()->SetColor(FForeColor);
      c->Pen()->SetWidth(1);
      c->Ellipse(R.Left, R.Top, W, H);
      if (pct > 0) {
        c->Brush()->SetColor(FForeColor);
        const int32_t MX = W / 2, MY = H / 2;
        const long double angle = std::numbers::pi_v<long double> * (pct / 50.0L + 0.5L);
        c->Pie(R.Left, R.Top, W, H, RoundEven(MX * (1 - std::cos(angle))),
               RoundEven(MY * (1 - std::sin(angle))), MX, 0);
      }
      break;
    }
    case gkNeedle: {
      const int32_t X = R.Left;
      const int32_t W = R.Right - R.Left + (single ? 1 : 0);
      const int32_t H = R.Bottom - R.Top + (single ? 1 : 0);
      fill(R, Color());
      c->Brush()->SetColor(FBackColor);
      c->Pen()->SetColor(FForeColor);
      c->Pen()->SetWidth(1);
      c->Pie(X, R.Top, W, 2 * H - 1, X + W, R.Bottom - 1, X, R.Bottom - 1);
      c->MoveTo(X, R.Bottom);
      c->LineTo(X + W, R.Bottom);
      if (pct > 0) {
        const int32_t MX = Width() / 2;
        const long double angle = std::numbers::pi_v<long double> * pct / 100.0L;
        c->MoveTo(MX, R.Bottom - 1);
        c->LineTo(RoundEven(MX * (1 - std::cos(angle))),
                  RoundEven((R.Bottom - 1) * (1 - std::sin(angle))));
      }
      break;
    }
  }
}

void TsGauge::PaintPlain() {
  const int32_t w = Width(), h = Height();
  if (w < 1 || h < 1) return;
  std::string text;
  if (FShowText) {
    text = std::to_string(FCalcPercents ? PercentDone() : FCurValue) + FSuffix;
    if (OnPaintText) OnPaintText(this, text);
  }
  const TFont* f = Font();
  const std::string key =
      Format("%d %d %d %d %d %d %d %d %d %d %d %d %d ", w, h, PercentDone(),
             static_cast<int>(FKind), static_cast<int>(FBorderStyle), static_cast<int>(FForeColor),
             static_cast<int>(FBackColor), static_cast<int>(Color()), FShowText ? 1 : 0,
             static_cast<int>(f->Color()), f->Height(), static_cast<int>(f->Style()),
             static_cast<int>(f->Charset())) +
      f->Name() + "|" + text;
  if (FPlainImage && key == FPlainKey) {
    Canvas()->Draw(0, 0, FPlainImage.get());
    return;
  }
  auto image = std::make_unique<TBitmap>(w, h, pf32bit);
  FillBlack(*image);
  TRect R{0, 0, w, h};
  if (FBorderStyle == bsSingle) R = R.Inflate(-1, -1);
  TBitmap overlay(w, h, pf32bit);
  FillBlack(overlay);
  DrawFigure(overlay.Canvas(), R);
  XorInto(*image, overlay);
  if (FShowText) {
    TBitmap textLayer(w, h, pf32bit);
    FillBlack(textLayer);
    TCanvas* tc = textLayer.Canvas();
    tc->Font()->Assign(*Font());
    tc->Font()->SetColor(clWhite);
    tc->Brush()->SetStyle(bsClear);
    const TPoint ext = tc->TextExtent(text);
    // Offsets from R's size, used as coordinates.
    const int32_t X = (R.Right - R.Left + 1 - ext.X) / 2;
    const int32_t Y = (R.Bottom - R.Top + 1 - ext.Y) / 2;
    if (!R.IsEmpty()) {
      tc->SetClip(R);
      tc->TextOut(X, Y, text);
      tc->ResetClip();
    }
    XorInto(*image, textLayer);
  }
  Canvas()->Draw(0, 0, image.get());
  FPlainImage = std::move(image);
  FPlainKey = key;
}
