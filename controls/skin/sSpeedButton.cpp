#include "controls/skin/sSpeedButton.h"

#include <algorithm>

#include "controls/skin/sSkinManager.h"
#include "framework/Application.h"

namespace {

// Shared by all speed buttons: hints are off while one is held.
bool gHintsSuppressed = false;
bool gSavedShowHint = true;

uint32_t AlignFlag(TAlignment a) {
  switch (a) {
    case taLeftJustify:
      return DT_LEFT;
    case taRightJustify:
      return DT_RIGHT;
    default:
      return DT_CENTER;
  }
}

TColor Blended(TColor fg, TColor bg, int32_t bgPercent) {
  auto mix = [bgPercent](int a, int b) { return (a * (100 - bgPercent) + b * bgPercent) / 100; };
  return RGB(mix(GetRValue(fg), GetRValue(bg)), mix(GetGValue(fg), GetGValue(bg)),
             mix(GetBValue(fg), GetBValue(bg)));
}

}  // namespace

bool TsSpeedButton::HintsSuppressed() {
  return gHintsSuppressed;
}

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {
  FCommonData = std::make_unique<TsCtrlSkinData>(this, true);
  FCommonData->COC = COC_TsSpeedButton;
  // After construction.
  FCommonData->Loaded();
  UpdateOpaque();
}

TsSpeedButton::~TsSpeedButton() {
  MarkDestroying();
  if (TsSkinManager* sm = FCommonData->SkinManager(); sm && sm->ActiveControl == this)
    sm->ActiveControl = nullptr;
  FCommonData.reset();
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TSpeedButton::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FDropdownMenu) FDropdownMenu = nullptr;
  if (FCommonData && AComponent == FCommonData->OwnSkinManager())
    FCommonData->SetSkinManager(nullptr);
}

void TsSpeedButton::Loaded() {
  TSpeedButton::Loaded();
  FCommonData->Loaded();
  UpdateOpaque();
}

void TsSpeedButton::UpdateOpaque() {
  if (Skinned())
    FControlStyle |= csOpaque;
  else if (Transparent())
    FControlStyle &= ~csOpaque;
}

void TsSpeedButton::GlyphChanged() {
  // The framework's own handling first, then the repaint.
  TSpeedButton::GlyphChanged();
  if (!Loading() && !Destroying()) Repaint();
}

// ---------------------------------------------------------------- setters

#define SB_SETTER(Name, Type, Field)      \
  void TsSpeedButton::Set##Name(Type v) { \
    if (v == Field) return;               \
    Field = v;                            \
    if (Visible()) Repaint();             \
  }
SB_SETTER(ShowCaption, bool, FShowCaption)
SB_SETTER(Alignment, TAlignment, FAlignment)
SB_SETTER(TextAlignment, TAlignment, FTextAlignment)
SB_SETTER(WordWrap, bool, FWordWrap)
SB_SETTER(TextOffset, int32_t, FTextOffset)
SB_SETTER(ImageIndex, int32_t, FImageIndex)
SB_SETTER(Grayed, bool, FGrayed)
SB_SETTER(DisabledGlyphKind, TsDisabledGlyphKind, FDisabledGlyphKind)
SB_SETTER(DisabledKind, TsDisabledKind, FDisabledKind)
SB_SETTER(Reflected, bool, FReflected)
SB_SETTER(DrawOverBorder, bool, FDrawOverBorder)
SB_SETTER(AnimatEvents, TacAnimatEvents, FAnimatEvents)
#undef SB_SETTER

void TsSpeedButton::SetBlend(int32_t v) {
  v = std::clamp(v, 0, 100);
  if (v == FBlend) return;
  FBlend = v;
  if (Visible()) Repaint();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle v) {
  if (v == FButtonStyle) return;
  const bool wasDrop = FButtonStyle == tbsDropDown;
  FButtonStyle = v;
  if (!Loading() && wasDrop != (v == tbsDropDown)) SetWidth(Width() + (wasDrop ? -16 : 16));
  if (Visible()) Repaint();
}

// ---------------------------------------------------------------- state

bool TsSpeedButton::GetGrayed() {
  if (FGrayed) return true;
  TsSkinManager* sm = FCommonData->SkinManager();
  return Skinned() && sm && sm->Effects()->DiscoloredGlyphs();
}

int32_t TsSpeedButton::GlyphWidth() {
  // No image list class exists in the framework, so the glyph is the only source.
  return Glyph()->Empty() ? 0 : Glyph()->Width() / NumGlyphs();
}

int32_t TsSpeedButton::GlyphHeight() {
  return Glyph()->Empty() ? 0 : Glyph()->Height();
}

int32_t TsSpeedButton::CurrentState() {
  if (FState == bsDown || FState == bsExclusive || FMenuVisible) return 2;
  TsSkinManager* sm = FCommonData->SkinManager();
  const bool noHover = sm && sm->Options()->NoMouseHover();
  if (Enabled() && !(ComponentState() & csDesigning) && FCommonData->FMouseAbove && !noHover)
    return 1;
  return 0;
}

void TsSpeedButton::Invalidate() {
  if (Layout() != FOldLayout || Margin() != FOldMargin) {
    FOldLayout = Layout();
    FOldMargin = Margin();
    FCommonData->BGChanged = true;
  }
  if (FState != bsDown) TSpeedButton::Invalidate();
}

// ---------------------------------------------------------------- mouse

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (!gHintsSuppressed && Application) {
    gSavedShowHint = Application->ShowHint();
    Application->SetShowHint(false);
    gHintsSuppressed = true;
  }
  TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (Destroying()) return;
  if (Application) Application->SetShowHint(gSavedShowHint);
  gHintsSuppressed = false;
  TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TsSpeedButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (Enabled() && !(ComponentState() & csDesigning) &&
          (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))) {
        FCommonData->FMouseAbove = true;
        if (OnMouseEnter) OnMouseEnter(this);
        TSpeedButton::WndProc(Message);
      }
      return;
    case CM_MOUSELEAVE:
      if (Enabled() && !(ComponentState() & csDesigning) &&
          (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))) {
        FCommonData->FMouseAbove = false;
        if (OnMouseLeave) OnMouseLeave(this);
        if (FState == bsDown) FState = bsUp;
        TSpeedButton::WndProc(Message);
      }
      return;
    case SM_SKINCOMMAND: {
      const uint16_t cmd = SkinCommandOf(Message.WParam);
      auto* sender = reinterpret_cast<TsSkinManager*>(Message.LParam);
      const bool mine = sender == FCommonData->SkinManager();
      switch (cmd) {
        case ac_SetNewSkin:
        case ac_Refresh:
          if (mine) {
            FCommonData->HandleCommand(cmd);
            UpdateOpaque();
            if (cmd == ac_Refresh) Repaint();
          }
          return;
        case ac_RemoveSkin:
          if (mine) {
            FCommonData->HandleCommand(cmd);
            if (Transparent()) FControlStyle &= ~csOpaque;
            Repaint();
          }
          return;
        case ac_EndParentUpdate:
          FCommonData->FUpdating = false;
          if (!Parent() || Parent()->Perform(SM_SKINCOMMAND, SkinCommand(ac_IsUpdating)) == 0)
            Repaint();
          return;
        case ac_CtrlHandled:
          Message.Result = 1;
          return;
        case ac_Reset:
          FCommonData->BGChanged = true;
          Repaint();
          return;
        case ac_MouseLeaveHot:
          Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(this));
          return;
        default:
          return;
      }
    }
    default:
      TSpeedButton::WndProc(Message);
  }
}

// ---------------------------------------------------------------- painting

void TsSpeedButton::ReLookUpSection() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (sm && sm->Active() && FCommonData->SkinIndex <= 0) FCommonData->UpdateIndexes();
}

TPoint TsSpeedButton::MeasureCaption(TCanvas* C) {
  if (!FShowCaption || Caption().empty()) return {0, 0};
  const int32_t a = FButtonStyle == tbsDropDown ? 16 : 0;
  int32_t w = Width() - 2 * Margin() - a;
  const int32_t gw = GlyphWidth();
  if (gw > 0 && (Layout() == blGlyphLeft || Layout() == blGlyphRight)) w -= gw + Spacing();
  TRect r{0, 0, std::max(0, w), 0};
  C->DrawText(
      Caption(), r,
      DT_CALCRECT | DT_EXPANDTABS | DT_END_ELLIPSIS | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE));
  return {r.Width(), r.Height()};
}

TsSpeedButton::Placement TsSpeedButton::Place(int32_t tw, int32_t th) {
  const int32_t gw = GlyphWidth(), gh = GlyphHeight();
  const int32_t W = Width(), H = Height();
  const int32_t m = Margin() < 0 ? 0 : Margin() + 3;
  const int32_t s = FShowCaption && gw > 0 && !Caption().empty() ? Spacing() : 0;
  const int32_t a = FButtonStyle == tbsDropDown ? 16 : 0;
  const bool pressed = CurrentState() == 2;
  int32_t gx = 0, gy = 0, cx = 0, cy = 0;
  switch (Layout()) {
    case blGlyphLeft:
      switch (FAlignment) {
        case taLeftJustify:
          gx = m;
          break;
        case taRightJustify:
          gx = 2 * ((W - a - gw - s - tw) / 2) - m;
          break;
        default:
          gx = (W - a - gw - s - tw) / 2;
      }
      gy = (H - gh) / 2;
      cx = gx + gw + s + FTextOffset;
      cy = (H - th) / 2;
      break;
    case blGlyphRight:
      switch (FAlignment) {
        case taLeftJustify:
          cx = m;
          gx = cx + tw + s - (pressed ? 1 : 0);
          break;
        case taRightJustify:
          gx = W - a - gw - m;
          cx = gx - s - tw;
          break;
        default:
          gx = (W - a - gw + s + tw) / 2;
          cx = (W - a - gw - s - tw) / 2;
      }
      gy = (H - gh) / 2;
      cx -= FTextOffset;
      cy = (H - th) / 2;
      break;
    case blGlyphTop:
      gx = (W - a - gw) / 2 + 1;
      gy = (H - gh - s - th) / 2;
      cx = (W - a - tw) / 2;
      cy = gy + gh + s + FTextOffset;
      break;
    case blGlyphBottom:
      gx = (W - a - gw) / 2 + 1;
      gy = H - gh - ((H - gh - s - th) / 2);
      cx = (W - a - tw) / 2;
      cy = gy - s - th - FTextOffset;
      break;
  }
  if (FReflected) gy -= gh / 6;
  return {{gx, gy, gx + gw, gy + gh}, {cx, cy, cx + tw, cy + th}};
}

void TsSpeedButton::DrawFrame(TCanvas* C, TRect& Content) {
  const int32_t W = Width(), H = Height();
  const bool down = FState == bsDown || FState == bsExclusive;
  if (Flat()) {
    if (down || (FMouseInControl && FState != bsDisabled) || (ComponentState() & csDesigning)) {
      TRect r = Content;
      C->DrawEdge(r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                  BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
    } else if (!Transparent()) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(Color());
      C->FillRect(Content);
    }
    Content = Content.Inflate(-1, -1);
  } else {
    C->DrawFrameControl(Content, DFC_BUTTON,
                        DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0));
  }
  if (FState == bsExclusive && (!Flat() || !FMouseInControl)) {
    if (!FCheckers) {
      FCheckers = std::make_unique<TBitmap>(8, 8, pf32bit);
      const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
      for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) FCheckers->SetPixel(x, y, (x + y) % 2 ? face : light);
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetBitmap(FCheckers.get());
    C->FillRect(Content);
    C->Brush()->SetBitmap(nullptr);
  }
  if (FButtonStyle == tbsDropDown) {
    const bool pressedLook = FMenuVisible || Down() || down;
    TRect arrow{W - 16, 0, W, H};
    if (Flat()) {
      if (pressedLook || FMouseInControl)
        C->DrawEdge(arrow, pressedLook ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      C->DrawFrameControl(arrow, DFC_BUTTON, DFCS_BUTTONPUSH | (pressedLook ? DFCS_PUSHED : 0));
    }
    const int32_t p = pressedLook ? 1 : 0, T = 0;
    const TPoint a{W - 12 + p, T + (H - 5) / 2 + p};
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnText);
    C->Pen()->SetColor(clBtnText);
    C->Polygon({a, {a.X + 5, a.Y}, {a.X + 2, a.Y + 5}});
  }
}

void TsSpeedButton::DrawCaption(TCanvas* C, const TRect& R) {
  uint32_t flags = AlignFlag(FTextAlignment) | DT_VCENTER | DT_EXPANDTABS | DT_END_ELLIPSIS |
                   DT_NOCLIP | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  if (UseRightToLeftAlignment() && !(flags & DT_CENTER)) flags ^= DT_RIGHT;
  TRect r = CurrentState() == 2 ? R.Offset(1, 1) : R;
  C->Brush()->SetStyle(bsClear);
  if (!Enabled()) {
    TRect hr = r.Offset(1, 1);
    C->Font()->SetColor(clBtnHighlight);
    C->DrawText(Caption(), hr, flags);
    C->Font()->SetColor(clBtnShadow);
  }
  C->DrawText(Caption(), r, flags);
}

void TsSpeedButton::PaintGlyph(TCanvas* C) {
  const int32_t gw = GlyphWidth(), gh = GlyphHeight();
  if (gw <= 0 || gh <= 0) return;
  const TPoint ts = MeasureCaption(C);
  TRect gr = Place(ts.X, ts.Y).glyph;
  const int32_t state = CurrentState();
  if (state == 2) gr = gr.Offset(1, 1);

  // 1. What is already under the glyph.
  TBitmap tmp(gw, gh, pf32bit);
  for (int32_t y = 0; y < gh; ++y)
    for (int32_t x = 0; x < gw; ++x) {
      const TColor p = C->Pixel(gr.Left + x, gr.Top + y);
      tmp.SetPixel(x, y, p == clNone ? clBlack : p);
    }
  // 2. The cell of the state.
  TBitmap glyph;
  glyph.Assign(Glyph());
  const bool fourBit = glyph.PixelFormat() == pf4bit;
  glyph.SetPixelFormat(pf32bit);
  const int32_t n = NumGlyphs();
  TsSkinManager* def = TsSkinManager::DefaultManager();
  const bool altCells = !fourBit && def && !def->Options()->StdGlyphsOrder();
  int32_t cell = 0;
  if (n > 1) {
    if (state == 1) {
      cell = altCells ? 1 : 0;
    } else if (state == 2) {
      const int32_t want = Down() ? 3 : 2;
      if (n > want)
        cell = want;
      else
        cell = altCells ? std::min(1, n - 1) : 0;
    }
  }
  const int32_t dy = FReflected ? -(gh / 8) : 0;
  // 3. The transparent colour: the cell's bottom-left pixel.
  const TColor key = glyph.GetPixel(cell * gw, gh - 1);
  // 4. The cell over the background.
  const bool blend = !Enabled() && FBlend > 0;
  for (int32_t y = 0; y < gh; ++y) {
    const int32_t ty = y + dy;
    if (ty < 0 || ty >= gh) continue;
    for (int32_t x = 0; x < gw; ++x) {
      const TColor p = glyph.GetPixel(cell * gw + x, y);
      if (p == key) continue;
      tmp.SetPixel(x, ty, blend ? Blended(p, tmp.GetPixel(x, ty), FBlend) : p);
    }
  }
  // 5. Back onto the canvas.
  C->Draw(gr.Left, gr.Top, &tmp);
}

void TsSpeedButton::Paint() {
  ReLookUpSection();
  if (Skinned()) {
    // Skinned painting belongs to the skinning engine.
    PrepareCache();
    if (OnPaint) OnPaint(this);
    return;
  }
  TCanvas* C = Canvas();
  if (!Enabled())
    FState = bsDisabled;
  else if (FState == bsDisabled)
    FState = Down() && GroupIndex() != 0 ? bsExclusive : bsUp;
  C->Font()->Assign(*Font());
  if (FButtonStyle == tbsSeparator) return;
  if (FButtonStyle == tbsDivider) {
    TRect r{Width() / 2 - 1, 0, Width() / 2 + 1, Height()};
    C->DrawEdge(r, BDR_SUNKENOUTER, BF_RECT);
    return;
  }
  // The framework offers no visual-styles service, so the unthemed look is drawn
  // on every system.
  TRect content = ClientRect();
  DrawFrame(C, content);
  if (FShowCaption && !Caption().empty()) {
    C->Font()->Assign(*Font());
    const TPoint ts = MeasureCaption(C);
    DrawCaption(C, Place(ts.X, ts.Y).caption);
  }
  PaintGlyph(C);
}
