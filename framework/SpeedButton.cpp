#include "framework/SpeedButton.h"

#include <algorithm>

#include "framework/Form.h"

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // No csSetCaption: the caption stays empty unless set. No csClickEvents: the
  // click comes from MouseUp with the button's own inside test.
  FControlStyle = csCaptureMouse | csDoubleClicks;
  SetBounds(Left(), Top(), 23, 22);
  SetColor(clBtnFace);
  SetParentFont(true);
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TSpeedButton::~TSpeedButton() {
  FGlyph->OnChange = nullptr;
}

void TSpeedButton::GlyphChanged() {
  if (!Loading() && !Destroying()) Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs v) {
  v = std::clamp(v, 1, 4);
  if (v == FNumGlyphs) return;
  FNumGlyphs = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int32_t v) {
  if (v == FMargin || v < -1) return;
  FMargin = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int32_t v) {
  if (v == FSpacing) return;
  FSpacing = v;
  Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
  if (v == FFlat) return;
  FFlat = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  if (v)
    FControlStyle &= ~csOpaque;
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (FGroupIndex == 0) v = false;
  if (v == FDown) return;
  // The last button of a group stays down unless the group allows all up.
  if (FDown && !FAllowAllUp) return;
  FDown = v;
  if (v) {
    if (FState == bsUp) Invalidate();
    FState = bsExclusive;
  } else {
    FState = bsUp;
    Repaint();
  }
  if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int32_t v) {
  if (v == FGroupIndex) return;
  FGroupIndex = v;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == FAllowAllUp) return;
  FAllowAllUp = v;
  UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  for (int32_t i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this)
      b->ButtonPressed(this);
}

void TSpeedButton::ButtonPressed(TSpeedButton* Sender) {
  if (Sender->FGroupIndex != FGroupIndex) return;
  if (Sender->FDown && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = Sender->FAllowAllUp;
}

void TSpeedButton::Click() {
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TButtonState next;
  if (InsideForDrag(X, Y))
    next = FDown ? bsExclusive : bsDown;
  else
    next = FDown ? bsExclusive : bsUp;
  if (next != FState) {
    FState = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  const bool doClick = InsideForDrag(X, Y);
  if (FGroupIndex == 0) {
    FState = bsUp;
    FMouseInControl = false;
    Invalidate();
  } else if (doClick) {
    SetDown(!FDown);
    if (FDown) Repaint();
  } else {
    if (FDown) FState = bsExclusive;
    Repaint();
  }
  if (doClick) Click();
  UpdateTracking(X, Y);
}

void TSpeedButton::UpdateTracking(int32_t X, int32_t Y) {
  if (!FFlat || !Enabled() || Destroying()) return;
  const bool over = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  // Flip first so the notification below takes effect.
  FMouseInControl = !over;
  Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(this));
}

void TSpeedButton::MouseEnterNotify() {
  if (!FFlat || FMouseInControl || !Enabled()) return;
  TForm* f = ParentForm();
  if (f && f->CaptureControl()) return;
  FMouseInControl = true;
  Repaint();
}

void TSpeedButton::MouseLeaveNotify() {
  if (!FFlat || !FMouseInControl || !Enabled() || FDragging) return;
  FMouseInControl = false;
  Repaint();
}

void TSpeedButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))
        MouseEnterNotify();
      break;
    case CM_MOUSELEAVE:
      if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))
        MouseLeaveNotify();
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) FMouseInControl = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    default:
      break;
  }
  TGraphicControl::WndProc(Message);
}

// The plain look: frame, caption and the glyph cell of the state, keyed by the
// colour of the cell's bottom-left pixel.
void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  if (!Enabled())
    FState = bsDisabled;
  else if (FState == bsDisabled)
    FState = FDown && FGroupIndex ? bsExclusive : bsUp;
  const bool pressed = FState == bsDown || FState == bsExclusive;
  TRect r = ClientRect();
  if (FFlat) {
    if (pressed || (FMouseInControl && FState != bsDisabled)) {
      uint32_t flags = BF_RECT | (FTransparent ? 0 : BF_MIDDLE);
      c->DrawEdge(r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, flags);
    } else if (!FTransparent) {
      c->Brush()->SetColor(Color());
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(r);
    }
    r = r.Inflate(-1, -1);
  } else {
    c->DrawFrameControl(r, DFC_BUTTON,
                        DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  }
  const int32_t off = pressed ? 1 : 0;
  const int32_t gw = FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs;
  const int32_t gh = FGlyph->Empty() ? 0 : FGlyph->Height();
  c->Font()->Assign(*Font());
  TPoint ts = Caption().empty() ? TPoint{0, 0} : c->TextExtent(Caption());
  const int32_t sp = gw > 0 && !Caption().empty() ? FSpacing : 0;
  const int32_t totalW = gw + sp + ts.X;
  int32_t gx = (Width() - totalW) / 2, gy = (Height() - gh) / 2;
  if (gw > 0) {
    int32_t cell = 0;
    if (FState == bsDisabled && FNumGlyphs > 1) cell = 1;
    if (FState == bsDown && FNumGlyphs > 2) cell = 2;
    if (FState == bsExclusive && FNumGlyphs > 3) cell = 3;
    const TColor key = FGlyph->GetPixel(cell * gw, gh - 1);
    for (int32_t y = 0; y < gh; ++y)
      for (int32_t x = 0; x < gw; ++x) {
        TColor p = FGlyph->GetPixel(cell * gw + x, y);
        if (p != key) c->SetPixel(gx + x + off, gy + y + off, p);
      }
  }
  if (!Caption().empty()) {
    c->Brush()->SetStyle(bsClear);
    TRect tr{gx + gw + sp + off, (Height() - ts.Y) / 2 + off, 0, 0};
    tr.Right = tr.Left + ts.X;
    tr.Bottom = tr.Top + ts.Y;
    if (FState == bsDisabled) {
      c->Font()->SetColor(clBtnHighlight);
      TRect hr = tr.Offset(1, 1);
      c->DrawText(Caption(), hr, DT_SINGLELINE | DT_NOCLIP);
      c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(Caption(), tr, DT_SINGLELINE | DT_NOCLIP);
  }
}
