#include "controls/panel/NxCollection.h"

#include <cctype>

#include "controls/panel/NxSharedDraw.h"

// ================================================================ TNxIndent

void TNxIndent::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TNxIndent*>(Source)) {
    SetLeft(s->Left());
    SetTop(s->Top());
    return;
  }
  TPersistent::Assign(Source);
}

void TNxIndent::SetLeft(int32_t v) {
  FLeft = v;
  DoChange();
}

void TNxIndent::SetTop(int32_t v) {
  FTop = v;
  DoChange();
}

void TNxIndent::DoChange() {
  if (OnChange) OnChange(this);
}

void TNxMargins::Assign(TPersistent* Source) {
  TNxIndent::Assign(Source);
  if (auto* s = dynamic_cast<TNxMargins*>(Source)) {
    SetBottom(s->Bottom());
    SetRight(s->Right());
  }
}

void TNxMargins::SetBottom(int32_t v) {
  FBottom = v;
  DoChange();
}

void TNxMargins::SetRight(int32_t v) {
  FRight = v;
  DoChange();
}

// ================================================================ TNxHeaderPanel

namespace {

// Widths at or below this collapse the panel on resizing; collapsing widens to it.
constexpr int32_t kCollapseThreshold = 33;
constexpr TColor kChevronKey = 65280;

void HorizontalLine(TCanvas* c, TColor color, int32_t y, int32_t width) {
  c->Pen()->SetColor(color);
  c->MoveTo(0, y);
  c->LineTo(width, y);
}

}  // namespace

TNxHeaderPanel::TNxHeaderPanel(TComponent* AOwner)
    : TNxCollectionControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FHeaderFont(std::make_unique<TFont>()),
      FInnerMargins(std::make_unique<TNxMargins>()),
      FPicture(std::make_unique<TBitmap>()) {
  FControlStyle =
      csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csSetCaption;
  FHeaderFont->Assign(*Font());
  FHeaderFont->OnChange = [this](TObject*) { HeaderFontChanged(); };
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
  FPicture->OnChange = [this](TObject*) { Invalidate(); };
  FInnerMargins->OnChange = [this](TObject*) {
    Invalidate();
    Realign();
  };
  SetBorderWidth(1);
  SetParentColor(false);
  SetColor(clWindow);
  // FullWidth starts at 0: the initial size is no resize by the user.
  FChangingExpanded = true;
  SetBounds(Left(), Top(), 245, 245);
  FChangingExpanded = false;
}

TNxHeaderPanel::~TNxHeaderPanel() {
  // Children go while the panel is whole; the owned objects stop notifying.
  DestroyComponents();
  FHeaderFont->OnChange = nullptr;
  FGlyph->OnChange = nullptr;
  FPicture->OnChange = nullptr;
  FInnerMargins->OnChange = nullptr;
}

void TNxHeaderPanel::SetAdaptiveColors(bool v) {
  FAdaptiveColors = v;
  Invalidate();
}

void TNxHeaderPanel::SetBorderColor(TColor v) {
  FBorderColor = v;
  TForm* f = ParentForm();
  if (!f || !Parent() || !HandleAllocated() || !Showing()) return;
  const TPoint p = Parent()->ClientOrigin();
  const TRect window = Bounds(p.X + Left(), p.Y + Top(), Width(), Height());
  if (PrepareCanvas(Canvas(), window, true)) {
    DrawBorder();
    f->Present(window);
  }
  // The live header's separator is drawn in the border colour too.
  if (FHeaderStyle == psWindowsLive && !FAdaptiveColors) InvalidateRect(HeaderRect(), false);
}

void TNxHeaderPanel::SetCaption(const std::u16string& v) {
  FCaption = v;
  Invalidate();
}

void TNxHeaderPanel::SetColorScheme(TColorScheme v) {
  FColorScheme = v;
  Invalidate();
}

void TNxHeaderPanel::SetDisplayStyle(TDisplayStyle v) {
  FDisplayStyle = v;
  if (v == dsHeaderOnly) SetClientHeight(FHeaderSize);
  Invalidate();
  Realign();
}

void TNxHeaderPanel::SetDrawDirection(TDirection v) {
  FDrawDirection = v;
  Invalidate();
}

void TNxHeaderPanel::SetHeaderColor(TColor v) {
  FHeaderColor = v;
  Invalidate();
}

void TNxHeaderPanel::SetHeaderSize(int32_t v) {
  FHeaderSize = v;
  Realign();
  Invalidate();
}

void TNxHeaderPanel::SetHeaderStyle(TNxHeaderStyle v) {
  FHeaderStyle = v;
  Invalidate();
}

void TNxHeaderPanel::SetIndent(int32_t v) {
  FIndent = v;
  Invalidate();
}

void TNxHeaderPanel::SetOptions(THeaderOptions v) {
  FOptions = v;
  Invalidate();
}

void TNxHeaderPanel::SetPanelStyle(TNxPanelStyle v) {
  FPanelStyle = v;
  Invalidate();
}

void TNxHeaderPanel::SetParentHeaderFont(bool v) {
  FParentHeaderFont = v;
  if (v) CopyFontToHeader();
}

void TNxHeaderPanel::CopyFontToHeader() {
  FCopyingFont = true;
  try {
    FHeaderFont->Assign(*Font());
  } catch (...) {
    FCopyingFont = false;
    throw;
  }
  FCopyingFont = false;
}

void TNxHeaderPanel::HeaderFontChanged() {
  Invalidate();
  if (!FCopyingFont) FParentHeaderFont = false;
}

void TNxHeaderPanel::ParentFontChanged() {
  TNxCollectionControl::ParentFontChanged();
  if (ParentFont() && FParentHeaderFont) CopyFontToHeader();
}

void TNxHeaderPanel::GlyphChanged() {
  if (FKeyingGlyph) return;
  Invalidate();
  if (FGlyph->Empty()) return;
  // Marking the glyph transparent notifies again; that round is ours.
  FKeyingGlyph = true;
  FGlyph->SetTransparentColor(FGlyph->GetPixel(0, FGlyph->Height() - 1));
  FGlyph->SetTransparent(true);
  FKeyingGlyph = false;
}

TRect TNxHeaderPanel::CollapseButtonRect() const {
  const int32_t left = (!FExpanded && FDrawDirection == diRightToLeft) ? 4 : ClientWidth() - 21;
  const int32_t top = FHeaderSize / 2 - 9;
  return {left, top, left + 18, top + 18};
}

TRect TNxHeaderPanel::GlyphRect() const {
  if (FGlyph->Empty()) return {};
  const int32_t top = FHeaderSize / 2 - FGlyph->Height() / 2;
  return Bounds(5, top, FGlyph->Width(), FGlyph->Height());
}

void TNxHeaderPanel::AdjustClientRect(TRect& Rect) {
  Rect = ClientRect();
  if (FDisplayStyle != dsPanelOnly) Rect.Top += FHeaderSize;
  Rect.Left += FInnerMargins->Left();
  Rect.Top += FInnerMargins->Top();
  Rect.Right -= FInnerMargins->Right();
  Rect.Bottom -= FInnerMargins->Bottom();
}

void TNxHeaderPanel::PaintBody(const TRect& Rect) {
  TCanvas* c = Canvas();
  switch (FPanelStyle) {
    case ptDefault:
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(Color());
      c->FillRect(Rect);
      break;
    case ptGradient:
      DrawGradient(c, Rect, clWindow, SchemeColor(3, csDefault));
      break;
    case ptInverseGradient:
      DrawGradient(c, Rect, SchemeColor(3, csDefault), clWindow);
      break;
  }
}

void TNxHeaderPanel::Paint() {
  TCanvas* c = Canvas();
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(1);
  c->Pen()->SetMode(pmCopy);
  if (FDisplayStyle == dsPanelOnly) {
    PaintBody(ClientRect());
    return;
  }
  if (FDisplayStyle != dsHeaderOnly) {
    if (FPicture->Empty())
      PaintBody(BodyRect());
    else
      c->StretchDraw(BodyRect(), FPicture.get());
  }
  c->SetFont(*FHeaderFont);
  if (FOptions & hoColorSchemeFont) c->Font()->SetColor(SchemeColor(9, csDefault));

  const TRect r = HeaderRect();
  switch (FHeaderStyle) {
    case psFlat:
      DrawFlatHeader(r);
      break;
    case psNormal:
      DrawNormalHeader(r);
      break;
    case psSectionHeader:
      DrawSectionHeader(r);
      break;
    case psVista:
      DrawVistaHeader(r);
      break;
    case psWindowsLive:
      DrawWindowsLiveHeader(r);
      break;
  }

  int32_t textLeft = FIndent, textRight = ClientWidth();
  if (FOptions & hoCollapseButton) {
    const TRect b = CollapseButtonRect();
    DrawCollapseButton(b);
    textRight = b.Left;
  }
  if (FExpanded && !FGlyph->Empty()) {
    const TRect g = GlyphRect();
    ::DrawGlyph(c, g.Left, g.Top, FGlyph.get());
    textLeft += FGlyph->Width() + 7;
  }
  if (FExpanded) DrawCaptionText(c, {textLeft, 0, textRight, FHeaderSize}, FCaption, false);
}

void TNxHeaderPanel::DrawFlatHeader(const TRect& Rect) {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FHeaderColor);
  c->FillRect(Rect);
}

void TNxHeaderPanel::DrawNormalHeader(const TRect& Rect) {
  TCanvas* c = Canvas();
  const int32_t w = ClientWidth(), b = Rect.Bottom;
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, b);
  c->LineTo(0, 0);
  c->LineTo(w, 0);
  HorizontalLine(c, SchemeColor(13, FColorScheme), b - 1, w);
  if (FAdaptiveColors)
    DrawGradient(c, {1, 1, w, b - 1}, SchemeColor(12, FColorScheme), SchemeColor(11, FColorScheme));
  else
    DrawGradient(c, {1, 1, w, b - 1}, clWindow, FHeaderColor);
}

void TNxHeaderPanel::DrawSectionHeader(const TRect& Rect) {
  TCanvas* c = Canvas();
  const bool themed = IsThemed();
  if (!themed && FAdaptiveColors) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clGrayText);
    c->FillRect(Rect);
    return;
  }
  if (themed && FAdaptiveColors)
    DrawGradient(c, Rect, BlendColors(clHighlight, clInactiveCaption, 112),
                 BlendColors(clActiveCaption, clBlack, 170));
  else
    DrawGradient(c, Rect, FHeaderColor, BlendColors(FHeaderColor, clBlack, 170));
}

void TNxHeaderPanel::DrawVistaHeader(const TRect& Rect) {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  c->FillRect(Rect);
  DrawGlass(c, Rect);
}

void TNxHeaderPanel::DrawWindowsLiveHeader(const TRect& Rect) {
  TCanvas* c = Canvas();
  const int32_t w = ClientWidth(), b = Rect.Bottom;
  const TColor live = FAdaptiveColors ? SchemeColor(18, FColorScheme) : FHeaderColor;
  HorizontalLine(c, clWhite, Rect.Top, w);
  HorizontalLine(c, clWhite, b - 2, w);
  HorizontalLine(c, FAdaptiveColors ? SchemeColor(18, FColorScheme) : FBorderColor, b - 1, w);
  const TRect band{0, Rect.Top + 1, w, b - 2};
  DrawGlossyGradient(c, band, live, Color(), band.Height() / 2);
}

void TNxHeaderPanel::DrawCollapseButtonBackground(const TRect& Rect) {
  if (FButtonState & bsPressed)
    DrawGradient(Canvas(), Rect, 557032, 8051191);
  else if (FButtonState & bsHot)
    DrawGradient(Canvas(), Rect, 14483455, 6275832);
}

void TNxHeaderPanel::DrawCollapseButton(const TRect& Rect) {
  DrawCollapseButtonBackground(Rect);
  const int32_t x = Rect.Left + Rect.Width() / 2 - 4, y = Rect.Top + Rect.Height() / 2 - 3;
  bool collapse = FExpanded;
  if (FDrawDirection == diRightToLeft) collapse = !collapse;
  DrawResourceBitmap(Canvas(), x, y, kChevronKey, collapse ? "HEADERCOLLAPSE" : "HEADEREXPAND");
}

void TNxHeaderPanel::DrawBorder() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FAdaptiveColors ? SchemeColor(2, FColorScheme) : FBorderColor);
  TRect r{0, 0, Width(), Height()};
  for (int32_t i = 0; i < BorderWidth(); ++i) {
    c->FrameRect(r);
    r = r.Inflate(-1, -1);
  }
}

void TNxHeaderPanel::SetButtonState(uint8_t v) {
  if (v == FButtonState) return;
  FButtonState = v;
  if (HandleAllocated()) InvalidateRect(CollapseButtonRect(), false);
}

void TNxHeaderPanel::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TNxCollectionControl::MouseDown(Button, Shift, X, Y);
  if (HeaderRect().Contains({X, Y})) FHeaderDown = true;
  if (CollapseButtonRect().Contains({X, Y})) SetButtonState(FButtonState | bsPressed);
}

void TNxHeaderPanel::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  TNxCollectionControl::MouseMove(Shift, X, Y);
  if (CollapseButtonRect().Contains({X, Y}))
    SetButtonState(FButtonState | bsHot);
  else
    SetButtonState(FButtonState & ~bsHot);
}

void TNxHeaderPanel::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TNxCollectionControl::MouseUp(Button, Shift, X, Y);
  const TPoint p{X, Y};
  if (HeaderRect().Contains(p) && FHeaderDown) {
    DoHeaderClick();
    if (GlyphRect().Contains(p)) DoGlyphClick();
  }
  if ((FOptions & hoCollapseButton) && CollapseButtonRect().Contains(p)) {
    bool accept = true;
    if (FExpanded) {
      DoCollapse(accept);
      if (accept) SetExpanded(false);
    } else {
      DoExpand(accept);
      if (accept) SetExpanded(true);
      if (CanFocus()) SetFocus();
    }
  }
  if ((FOptions & hoClickOnBodyExpand) && BodyRect().Contains(p)) SetExpanded(true);
  SetButtonState(0);
  FHeaderDown = false;
}

void TNxHeaderPanel::SetExpanded(bool Value) {
  if (!Value && Width() < kCollapseThreshold) SetWidth(kCollapseThreshold);
  if (Value == FExpanded) return;
  FChangingExpanded = true;
  try {
    if (Value) {
      SetWidth(FFullWidth);
    } else {
      FFullWidth = Width();
      SetWidth(FCollapseWidth);
    }
    FExpanded = Value;
    // Caption and glyph come and go even when the width stays.
    Invalidate();
    if (OnChange) OnChange(this);
    if (Value) Realign();
  } catch (...) {
    FChangingExpanded = false;
    throw;
  }
  FChangingExpanded = false;
}

void TNxHeaderPanel::SizeChanged() {
  if (FDisplayStyle == dsHeaderOnly && ClientHeight() != FHeaderSize) SetClientHeight(FHeaderSize);
  if (Loading() || FChangingExpanded) return;
  if (Width() <= kCollapseThreshold) {
    SetExpanded(false);
  } else {
    FFullWidth = Width();
    SetExpanded(true);
  }
}

void TNxHeaderPanel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      DrawBorder();
      return;
    case WM_SIZE:
      TNxCollectionControl::WndProc(Message);
      SizeChanged();
      return;
    case CM_TEXTCHANGED:
      if (HandleAllocated()) InvalidateRect(HeaderRect(), false);
      return;
    case CM_MOUSELEAVE:
      if (Message.LParam == reinterpret_cast<intptr_t>(this)) SetButtonState(FButtonState & ~bsHot);
      break;
    default:
      break;
  }
  TNxCollectionControl::WndProc(Message);
}

void TNxHeaderPanel::DoCollapse(bool& Accept) {
  if (OnCollapse) OnCollapse(this, Accept);
}

void TNxHeaderPanel::DoExpand(bool& Accept) {
  if (OnExpand) OnExpand(this, Accept);
}

void TNxHeaderPanel::DoGlyphClick() {
  if (OnGlyphClick) OnGlyphClick(this);
}

void TNxHeaderPanel::DoHeaderClick() {
  if (OnHeaderClick) OnHeaderClick(this);
}

// ================================================================ TNxButton

namespace {

// Code page 1251 upper case, enough to compare accelerator characters.
uint8_t UpperAnsi(uint8_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 32);
  if (c >= 0xE0) return static_cast<uint8_t>(c - 32);  // а..я
  if (c == 0xB8) return 0xA8;                          // ё
  return c;
}

// The character after the first single ampersand ("&&" is a literal one).
bool IsAccel(uint8_t ch, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return UpperAnsi(static_cast<uint8_t>(caption[i + 1])) == UpperAnsi(ch);
  }
  return false;
}

}  // namespace

TNxButton::TNxButton(TComponent* AOwner)
    : TNxCollectionControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FDisabledGlyph(std::make_unique<TBitmap>()) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
  SetBounds(Left(), Top(), 75, 23);
  SetTabStop(true);
  SetParentColor(true);
}

TNxButton::~TNxButton() {
  FGlyph->OnChange = nullptr;
}

void TNxButton::SetDefault(bool v) {
  FDefault = v;
  if (!HandleAllocated()) return;
  if (TForm* f = ParentForm()) f->AnnounceFocus();
}

void TNxButton::SetDown(bool v) {
  FDown = v;
  Invalidate();
}

void TNxButton::SetEnableDblClick(bool v) {
  FEnableDblClick = v;
  if (v)
    FControlStyle |= csDoubleClicks;
  else
    FControlStyle &= ~csDoubleClicks;
}

void TNxButton::SetGlyphSpacing(int32_t v) {
  FGlyphSpacing = v;
  Invalidate();
}

void TNxButton::SetLayout(TNxButtonLayout v) {
  FLayout = v;
  Invalidate();
}

void TNxButton::SetShowArrow(bool v) {
  FShowArrow = v;
  Invalidate();
}

void TNxButton::SetTransparent(bool v) {
  FTransparent = v;
  if (FGlyph->Empty()) return;
  UpdateGlyphTransparency();
  Invalidate();
}

void TNxButton::GlyphChanged() {
  if (FKeyingGlyph) return;
  FDisabledGlyph->Assign(FGlyph.get());
  MakeDisabledGlyph(FDisabledGlyph.get());
  UpdateGlyphTransparency();
  Invalidate();
}

void TNxButton::UpdateGlyphTransparency() {
  // Marking the glyph notifies again; that round is ours.
  FKeyingGlyph = true;
  try {
    for (TBitmap* b : {FGlyph.get(), FDisabledGlyph.get()}) {
      if (FTransparent && !b->Empty()) {
        b->SetTransparentColor(b->GetPixel(0, b->Height() - 1));
        b->SetTransparent(true);
      } else {
        b->SetTransparent(false);
      }
    }
  } catch (...) {
    FKeyingGlyph = false;
    throw;
  }
  FKeyingGlyph = false;
}

void TNxButton::OpenTheme() {
  uintptr_t window = 0;
  if (TForm* f = ParentForm(); f && f->NativeWindow()) window = f->NativeWindow()->Handle();
  FThemeHandle.reset();
  FThemeHandle = platform::OpenThemeData(window, u"button");
}

void TNxButton::CreateWnd() {
  TNxCollectionControl::CreateWnd();
  FActiveDefault = FDefault;
  if (IsThemed()) OpenTheme();
}

void TNxButton::Click() {
  if (TForm* f = ParentForm()) f->SetModalResult(FModalResult);
  TNxCollectionControl::Click();
}

void TNxButton::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TNxCollectionControl::MouseDown(Button, Shift, X, Y);
  FMousePressed = true;
  if (!Focused() && CanFocus()) SetFocus();
  Invalidate();
  // A drop-down arrow would open a popup menu here; this framework has none.
}

void TNxButton::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  TNxCollectionControl::MouseUp(Button, Shift, X, Y);
  FMousePressed = false;
  Invalidate();
}

void TNxButton::KeyDown(uint16_t& Key, TShiftState Shift) {
  TNxCollectionControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE) {
    FSpaceDown = true;
    Invalidate();
  }
}

void TNxButton::KeyUp(uint16_t& Key, TShiftState Shift) {
  TNxCollectionControl::KeyUp(Key, Shift);
  if (Key == 0) return;
  // Only a space pressed on this button clicks it: one pressed elsewhere and
  // released after the focus moved here is not a click here.
  const bool pressed = FSpaceDown;
  FSpaceDown = false;
  if (Key == VK_SPACE && pressed) {
    Invalidate();
    Click();
  }
}

void TNxButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
      if (dynamic_cast<TNxButton*>(focused))
        FActiveDefault = focused == this;
      else
        FActiveDefault = FDefault;
      break;
    }
    case CM_DIALOGKEY: {
      const uintptr_t key = Message.WParam;
      const auto shift = static_cast<TShiftState>(Message.LParam);
      // A hidden button, or one on a hidden or disabled parent, takes no keys.
      if (CanFocus() && ((key == VK_RETURN && FActiveDefault) || (key == VK_ESCAPE && FCancel)) &&
          !(shift & (ssShift | ssCtrl | ssAlt))) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (CanFocus() && IsAccel(static_cast<uint8_t>(Message.WParam), Caption())) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
    case CM_ENTER:
    case CM_EXIT:
      // The space key's release goes to the next focused control: let go here.
      if (Message.Msg == CM_EXIT) FSpaceDown = false;
      TNxCollectionControl::WndProc(Message);
      Invalidate();
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      FHot = Message.Msg == CM_MOUSEENTER;
      Invalidate();
      return;
    case WM_THEMECHANGED:
      TNxCollectionControl::WndProc(Message);
      if (IsThemed()) OpenTheme();
      return;
    default:
      break;
  }
  TNxCollectionControl::WndProc(Message);
}

void TNxButton::DrawClassicFace(TCanvas* c) {
  TRect r{0, 0, ClientWidth(), ClientHeight()};
  auto fill = [c](TColor color, const TRect& area) {
    c->Brush()->SetColor(color);
    c->FillRect(area);
  };
  c->Brush()->SetStyle(bsSolid);
  if (Focused()) {
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
    r = r.Inflate(-1, -1);
  }
  if ((FMousePressed && FHot) || FDown || FSpaceDown) {
    fill(clBtnFace, r);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    return;
  }
  const int32_t l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  fill(clBtnFace, r);
  fill(clBtnHighlight, {l, t, rt - 1, t + 1});
  fill(clBtnHighlight, {l, t, l + 1, b - 1});
  fill(cl3DDkShadow, {rt - 1, t, rt, b});
  fill(cl3DDkShadow, {l, b - 1, rt, b});
  fill(clBtnShadow, {rt - 2, t + 1, rt - 1, b - 1});
  fill(clBtnShadow, {l + 1, b - 2, rt - 1, b - 1});
}

void TNxButton::DrawButtonFace(TCanvas* c) {
  if (IsThemed()) {
    const TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    int32_t state;
    if (!Enabled())
      state = 4;  // disabled
    else if (FSpaceDown)
      state = 3;  // pressed
    else if (FHot)
      state = (FMousePressed || FDown) ? 3 : 2;  // hot
    else if (FDown)
      state = 3;
    else if (Focused())
      state = 5;  // defaulted
    else
      state = 1;  // normal
    void* dc = c->Target() ? c->Target()->NativeDC() : nullptr;
    const TPoint o = c->Origin();
    if (FThemeHandle && dc &&
        FThemeHandle->DrawBackground(dc, 1, state, o.X + r.Left, o.Y + r.Top, o.X + r.Right,
                                     o.Y + r.Bottom))
      return;
  }
  DrawClassicFace(c);
}

void TNxButton::Paint() {
  const int32_t cw = ClientWidth(), ch = ClientHeight();
  if (Width() <= 0 || Height() <= 0) return;
  // 32 bits, so that the visual style can draw into it natively.
  TBitmap image(Width(), Height(), pf32bit);
  TCanvas* c = image.Canvas();
  DrawButtonFace(c);
  c->SetFont(*Font());

  const TBitmap* g = Enabled() ? FGlyph.get() : FDisabledGlyph.get();
  TRect text{0, 0, cw, ch - 1};
  TAlignment align = taCenter;
  if (!g->Empty()) {
    const int32_t gw = g->Width(), gh = g->Height();
    const int32_t tw = c->TextWidth(Caption()), th = c->TextHeight(Caption());
    const int32_t spacing = Caption().empty() ? 0 : FGlyphSpacing;
    const int32_t x = cw / 2 - gw / 2, y = ch / 2 - gh / 2;
    int32_t gx = x, gy = y;
    switch (FLayout) {
      case TNxButtonLayout::blGlyphLeft:
        gx = x - tw / 2;
        text = {gx + gw + spacing, 0, cw, ch - 1};
        align = taLeftJustify;
        break;
      case TNxButtonLayout::blGlyphRight:
        gx = x + tw / 2;
        text = {gx - spacing - tw, 0, cw, ch - 1};
        align = taLeftJustify;
        break;
      case TNxButtonLayout::blGlyphTop:
        gy = y - th / 2;
        text = {0, gy + gh, cw - 1, gy + gh + th};
        break;
      case TNxButtonLayout::blGlyphBottom:
        gy = y + th / 2;
        text = {0, gy - th, cw - 1, gy};
        break;
    }
    TDrawProvider::DrawGlyph(c, gx, gy, g);
  }
  if (Enabled())
    DrawTextRect(c, text, align, false, AnsiToWide(Caption()));
  else
    DrawDisabledText(c, text, Caption(), false, align);

  if (FShowArrow) {
    const int32_t ax = cw - 20, ay = ch / 2 - 2;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    c->Polygon({{ax + 1, ay}, {ax + 8, ay}, {ax + 4, ay + 4}, {ax, ay}});
  }
  Canvas()->Draw(0, 0, &image);
}
