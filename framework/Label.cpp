#include "framework/Label.h"

#include <cctype>

#include "framework/Application.h"

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque | csReplicatable;
  FControlStyle &= ~csSetCaption;
  SetBounds(Left(), Top(), 65, 17);
  SetParentColor(true);
}

void TCustomLabel::SetAutoSize(bool v) {
  if (v == FAutoSize) return;
  FAutoSize = v;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == FShowAccelChar) return;
  FShowAccelChar = v;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  if (v)
    FControlStyle &= ~csOpaque;
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (v == FFocusControl) return;
  FFocusControl = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

std::string TCustomLabel::TextToDraw(uint32_t& Flags) const {
  std::string text = Caption();
  // An empty label still measures one blank of its font.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  if (UseRightToLeftAlignment()) {
    if (Flags & DT_RIGHT)
      Flags &= ~DT_RIGHT;
    else if (!(Flags & DT_CENTER))
      Flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  return text;
}

void TCustomLabel::DoDrawText(TRect& Rect, uint32_t Flags) {
  const std::string text = TextToDraw(Flags);
  TCanvas* c = DrawCanvas();
  c->Font()->Assign(*Font());
  if (!Enabled()) {
    TRect hr = Rect.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->DrawText(text, hr, Flags);
    c->Font()->SetColor(clBtnShadow);
  }
  c->DrawText(text, Rect, Flags);
}

static uint32_t AlignmentFlag(TAlignment a) {
  switch (a) {
    case taRightJustify:
      return DT_RIGHT;
    case taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  uint32_t flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag(FAlignment);
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int32_t shift = r.Height() - calc.Bottom;
    r = r.Offset(0, FLayout == tlBottom ? shift : shift / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || (ComponentState() & csReading) || Loading()) return;
  TRect r = ClientRect();
  FMeasuring = true;
  try {
    DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
  } catch (...) {
    FMeasuring = false;
    throw;
  }
  FMeasuring = false;
  int32_t x = Left();
  TAlignment a = FAlignment;
  if (UseRightToLeftAlignment()) {
    if (a == taLeftJustify)
      a = taRightJustify;
    else if (a == taRightJustify)
      a = taLeftJustify;
  }
  if (a == taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar &&
          IsAccel(static_cast<char>(Message.WParam), Caption()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
      }
      return;
    default:
      TGraphicControl::WndProc(Message);
  }
}

bool IsAccel(char Key, const std::string& Text) {
  for (size_t i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != '&') continue;
    if (Text[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
      continue;
    }
    return std::toupper(static_cast<unsigned char>(Text[i + 1])) ==
           std::toupper(static_cast<unsigned char>(Key));
  }
  return false;
}
