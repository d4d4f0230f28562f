#include "framework/Control.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Form.h"

TShiftState KeysToShiftState(uintptr_t keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

// ============================================================== TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>(this);
  FFont.OnChange = [this](TObject* s) { FontChanged(s); };
}

TControl::~TControl() {
  MarkDestroying();
  if (TApplication* app = Application) app->ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return const_cast<TForm*>(dynamic_cast<const TForm*>(c));
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const int32_t oldW = FWidth, oldH = FHeight;
  const bool wasShowing = FParent && Showing();
  if (wasShowing) FParent->InvalidateRect(BoundsRect(), !(FControlStyle & csOpaque));
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (oldW != FWidth || oldH != FHeight) w->ChildSizeChanged(oldW, oldH);
  }
  if (FParent && Showing()) FParent->InvalidateRect(BoundsRect(), !(FControlStyle & csOpaque));
  Perform(WM_WINDOWPOSCHANGED);
  if (FAlign != alNone) RequestAlign();
  if (!Loading() && (oldW != FWidth || oldH != FHeight)) Resize();
}

void TControl::SetClientSize(int32_t w, int32_t h) {
  const TRect cr = ClientRect();
  SetBounds(FLeft, FTop, FWidth + (w - cr.Width()), FHeight + (h - cr.Height()));
}

TPoint TControl::ClientOrigin() const {
  if (!FParent) return {0, 0};
  TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  TPoint s{0, 0};
  if (TForm* f = ParentForm()) s = f->ScreenPosition();
  return {p.X + o.X + s.X, p.Y + o.Y + s.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientToScreen({0, 0});
  return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  if (!AParent) return p;
  TPoint a = ClientOrigin(), b = AParent->ClientOrigin();
  return {p.X + a.X - b.X, p.Y + a.Y - b.Y};
}

void TControl::SetAlign(TAlign v) {
  if (FAlign == v) return;
  FAlign = v;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool v) {
  if (FVisible == v) return;
  VisibleChanging();
  if (FParent && Showing()) FParent->InvalidateRect(BoundsRect(), true);
  FVisible = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  RequestAlign();
  if (FParent && Showing()) FParent->InvalidateRect(BoundsRect(), !(FControlStyle & csOpaque));
}

bool TControl::Showing() const {
  const TControl* c = this;
  while (c) {
    if (!c->FVisible) return false;
    if (!c->FParent) return dynamic_cast<const TForm*>(c) != nullptr;
    c = c->FParent;
  }
  return false;
}

void TControl::SetEnabled(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::FontChanged(TObject*) {
  // A font set on the control itself stops following the parent's.
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (FParentFont == v) return;
  FParentFont = v;
  if (v && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  auto saved = std::move(FFont.OnChange);
  FFont.Assign(*FParent->Font());
  FFont.OnChange = std::move(saved);
  Perform(CM_FONTCHANGED);
}

void TControl::SetColor(TColor v) {
  if (FColor == v && !FParentColor) return;
  FColor = v;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (FParentColor == v) return;
  FParentColor = v;
  if (v && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetText(const std::string& v) {
  if (FText == v) return;
  FText = v;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor v) {
  if (FCursor == v) return;
  FCursor = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool v) {
  FShowHint = v;
  FParentShowHint = false;
}

void TControl::SetParentShowHint(bool v) {
  FParentShowHint = v;
  if (v && FParent) FShowHint = FParent->ShowHint();
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (FBiDiMode == v) return;
  FBiDiMode = v;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
  if (FParentBiDiMode == v) return;
  FParentBiDiMode = v;
  if (v && FParent) {
    FBiDiMode = FParent->BiDiMode();
    Perform(CM_BIDIMODECHANGED);
  }
}

bool TControl::UseRightToLeftAlignment() const {
  return SysLocaleMiddleEast() && FBiDiMode == bdRightToLeft;
}

bool TControl::UseRightToLeftReading() const {
  return SysLocaleMiddleEast() && FBiDiMode != bdLeftToRight;
}

bool TControl::MouseCapture() const {
  TForm* f = ParentForm();
  return f && f->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool v) {
  TForm* f = ParentForm();
  if (!f) return;
  if (v)
    f->SetCaptureControl(this);
  else if (f->CaptureControl() == this)
    f->SetCaptureControl(nullptr);
}

void TControl::Invalidate() {
  if (FParent && Showing()) FParent->InvalidateRect(BoundsRect(), !(FControlStyle & csOpaque));
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle & csOpaque) {
    FParent->PaintControlsFrom(this, BoundsRect());
  } else {
    Invalidate();
    Update();
  }
}

void TControl::Update() {
  if (TForm* f = ParentForm()) f->PaintPending();
}

bool TControl::PrepareCanvas(TCanvas* canvas, const TRect& clip, bool nonClient) {
  TForm* f = ParentForm();
  if (!f || !f->BackBuffer()) return false;
  // Visible area: own rectangle cut by every ancestor's client area.
  TRect area;
  TPoint origin;
  if (nonClient) {
    TPoint p = FParent ? FParent->ClientOrigin() : TPoint{0, 0};
    origin = {p.X + FLeft, p.Y + FTop};
    area = {origin.X, origin.Y, origin.X + FWidth, origin.Y + FHeight};
  } else {
    origin = ClientOrigin();
    TRect cr = ClientRect();
    area = cr.Offset(origin.X, origin.Y);
    if (!FParent) area = {0, 0, FWidth, FHeight};
  }
  if (FParent) {
    TPoint p = FParent->ClientOrigin();
    // Own bounds first: a windowed control's client area never exceeds them.
    TRect own{p.X + FLeft, p.Y + FTop, p.X + FLeft + FWidth, p.Y + FTop + FHeight};
    area = IntersectRect(area, own);
  }
  for (const TWinControl* w = FParent; w; w = w->FParent) {
    TPoint p = w->ClientOrigin();
    area = IntersectRect(area, w->ClientRect().Offset(p.X, p.Y));
  }
  area = IntersectRect(area, clip);
  if (area.IsEmpty()) return false;
  canvas->SetTarget(f->BackBuffer());
  canvas->SetOrigin(origin);
  canvas->SetClip(area);
  return true;
}

intptr_t TControl::Perform(uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  const uint32_t msg = Message.Msg;
  if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) {
    if (!(FControlStyle & csDoubleClicks)) {
      // Without double clicks the second press of a pair is an ordinary press.
      if (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK)
        Message.Msg -= (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
    }
    HandleMouseMessage(Message);
    return;
  }
  switch (msg) {
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      return;
    case CM_FONTCHANGED:
      Invalidate();
      AdjustSize();
      return;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      if (FParentColor && FParent) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED);
        FParentColor = true;
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (FParentBiDiMode && FParent) {
        FBiDiMode = FParent->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
      }
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // Parents hear about their children's enter and leave (LParam names the control).
      if (FParent) FParent->Perform(msg, Message.WParam, Message.LParam);
      return;
    case CM_HITTEST:
      Message.Result = HitTest(LParamX(Message.LParam), LParamY(Message.LParam)) ? 1 : 0;
      return;
    default:
      DefaultHandler(Message);
  }
}

void TControl::DefaultHandler(TMessage&) {}

bool TControl::HitTest(int32_t, int32_t) { return true; }

void TControl::HandleMouseMessage(TMessage& m) {
  const int32_t x = LParamX(m.LParam), y = LParamY(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  if (TApplication* app = Application) {
    if (app->AltDown()) shift |= ssAlt;
  }
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (m.Msg == WM_LBUTTONDBLCLK) {
        if (FControlStyle & csClickEvents) DblClick();
        MouseDown(mbLeft, shift | ssDouble, x, y);
      } else {
        FControlState |= csLButtonDown;
        if (FControlStyle & csClickEvents) FControlState |= csClicked;
        MouseDown(mbLeft, shift, x, y);
      }
      break;
    case WM_LBUTTONUP: {
      if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
      FControlState &= ~csLButtonDown;
      if (FControlState & csClicked) {
        FControlState &= ~csClicked;
        if (ClientRect().Contains({x, y})) Click();
      }
      MouseUp(mbLeft, shift, x, y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      if (m.Msg == WM_RBUTTONDBLCLK && (FControlStyle & csClickEvents)) DblClick();
      MouseDown(mbRight, shift | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift | (m.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0), x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED);
  }
  AdjustSize();
  RequestAlign();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& v = FParent->FControls;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  v.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& v = FParent->FControls;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  v.insert(v.begin(), this);
  Invalidate();
}

// ============================================================== TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    Paint();
    return;
  }
  TControl::WndProc(Message);
}

// ============================================================== TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FParentColor = false;
}

TWinControl::~TWinControl() {
  MarkDestroying();
  // Owned components go while this control is still whole; then orphan children
  // that belong to other owners.
  DestroyComponents();
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

void TWinControl::InsertControl(TControl* c) {
  c->FParent = this;
  FControls.push_back(c);
  if (c->FParentFont) c->ParentFontChanged();
  if (c->FParentColor) c->FColor = Color();
  if (c->FParentShowHint) c->FShowHint = ShowHint();
  if (c->FParentBiDiMode) c->FBiDiMode = BiDiMode();
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (FHandleAllocated) w->CreateHandles();
  }
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(c), 1);
  if (c->FAlign != alNone) Realign();
  if (c->Showing()) InvalidateRect(c->BoundsRect(), true);
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(FControls.begin(), FControls.end(), c);
  if (it == FControls.end()) return;
  const bool wasShowing = c->Showing();
  if (TForm* f = ParentForm()) f->ControlRemoved(c);
  FControls.erase(it);
  c->FParent = nullptr;
  if (!Destroying()) {
    if (wasShowing) InvalidateRect(c->BoundsRect(), true);
    if (c->FAlign != alNone) Realign();
  }
}

TControl* TWinControl::ControlAtPos(TPoint p, bool AllowDisabled) const {
  // Windowed children lie above windowless ones; later ones above earlier ones.
  for (int pass = 0; pass < 2; ++pass) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
      TControl* c = *it;
      const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
      if (windowed != (pass == 0)) continue;
      if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
      if (!c->BoundsRect().Contains(p)) continue;
      TPoint local{p.X - c->FLeft, p.Y - c->FTop};
      if (windowed) {
        auto* w = static_cast<TWinControl*>(c);
        TPoint inner{local.X - w->FBorderWidth, local.Y - w->FBorderWidth};
        if (w->ClientRect().Contains(inner)) {
          if (TControl* deeper = w->ControlAtPos(inner, AllowDisabled)) return deeper;
        }
        return c;
      }
      if (c->Perform(CM_HITTEST, 0, MakeLParam(local.X, local.Y)) != 0) return c;
    }
  }
  return nullptr;
}

void TWinControl::SetBorderWidth(int32_t v) {
  if (FBorderWidth == v) return;
  FBorderWidth = v;
  Realign();
  Invalidate();
}

TRect TWinControl::ClientRect() const {
  int32_t w = Width() - 2 * FBorderWidth, h = Height() - 2 * FBorderWidth;
  return {0, 0, std::max(0, w), std::max(0, h)};
}

TPoint TWinControl::ClientOrigin() const {
  if (!Parent()) return {FBorderWidth, FBorderWidth};
  TPoint p = Parent()->ClientOrigin();
  return {p.X + Left() + FBorderWidth, p.Y + Top() + FBorderWidth};
}

void TWinControl::SetClientSize(int32_t w, int32_t h) {
  SetBounds(Left(), Top(), w + 2 * FBorderWidth, h + 2 * FBorderWidth);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0) {
    FAlignPending = true;
    return;
  }
  FAlignPending = false;
  TRect r = ClientRect();
  AdjustClientRect(r);
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  ++FAlignLevel;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
      if (c->FAlign != a || !c->FVisible) continue;
      TRect b = c->BoundsRect();
      switch (a) {
        case alTop:
          b = {Rect.Left, Rect.Top, Rect.Right, Rect.Top + c->FHeight};
          Rect.Top += c->FHeight;
          break;
        case alBottom:
          b = {Rect.Left, Rect.Bottom - c->FHeight, Rect.Right, Rect.Bottom};
          Rect.Bottom -= c->FHeight;
          break;
        case alLeft:
          b = {Rect.Left, Rect.Top, Rect.Left + c->FWidth, Rect.Bottom};
          Rect.Left += c->FWidth;
          break;
        case alRight:
          b = {Rect.Right - c->FWidth, Rect.Top, Rect.Right, Rect.Bottom};
          Rect.Right -= c->FWidth;
          break;
        case alClient:
          b = Rect;
          break;
        default:
          break;
      }
      c->SetBounds(b.Left, b.Top, std::max(0, b.Width()), std::max(0, b.Height()));
    }
  }
  --FAlignLevel;
}

void TWinControl::ChildSizeChanged(int32_t oldW, int32_t oldH) {
  // Anchored children follow the edges they are tied to.
  const int32_t dx = Width() - oldW, dy = Height() - oldH;
  if (!Loading() && (dx || dy)) {
    for (TControl* c : FControls) {
      if (c->FAlign != alNone) continue;
      int32_t l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
      if (c->FAnchors & akRight) {
        if (c->FAnchors & akLeft)
          w += dx;
        else
          l += dx;
      }
      if (c->FAnchors & akBottom) {
        if (c->FAnchors & akTop)
          h += dy;
        else
          t += dy;
      }
      c->SetBounds(l, t, w, h);
    }
  }
  Realign();
  TRect cr = ClientRect();
  Perform(WM_SIZE, 0, MakeLParam(cr.Width(), cr.Height()));
}

void TWinControl::HandleNeeded() {
  if (FHandleAllocated) return;
  if (TForm* f = ParentForm(); f && f != this) {
    f->HandleNeeded();
    if (FHandleAllocated) return;
  }
  CreateHandles();
}

uintptr_t TWinControl::Handle() {
  HandleNeeded();
  return reinterpret_cast<uintptr_t>(this);
}

void TWinControl::CreateHandles() {
  if (!FHandleAllocated) {
    FHandleAllocated = true;
    CreateWnd();
  }
  for (TControl* c : std::vector<TControl*>(FControls))
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandles();
}

void TWinControl::CreateWnd() {}

void TWinControl::SetTabStop(bool v) {
  if (FTabStop == v) return;
  FTabStop = v;
  Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::Focused() const {
  TForm* f = ParentForm();
  return f && f->ActiveControl() == this;
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return ParentForm() != nullptr;
}

void TWinControl::SetFocus() {
  TForm* f = ParentForm();
  if (!f) return;
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  f->SetFocusedControl(this);
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::InvalidateRect(const TRect& r, bool Erase) {
  if (!Showing()) return;
  TForm* f = ParentForm();
  if (!f) return;
  TPoint o = ClientOrigin();
  TRect fr = r.Offset(o.X, o.Y);
  // Never beyond the visible client area of this control and its parents.
  for (const TWinControl* w = this; w; w = w->Parent()) {
    TPoint p = w->ClientOrigin();
    fr = IntersectRect(fr, w->ClientRect().Offset(p.X, p.Y));
  }
  if (!fr.IsEmpty()) f->AddDirty(fr, Erase);
}

void TWinControl::Invalidate() {
  if (!Showing()) return;
  TForm* f = ParentForm();
  if (!f) return;
  if (f == this) {
    f->AddDirty({0, 0, Width(), Height()}, true);
    return;
  }
  // The whole window, frame included.
  TPoint p = Parent()->ClientOrigin();
  TRect fr{p.X + Left(), p.Y + Top(), p.X + Left() + Width(), p.Y + Top() + Height()};
  for (const TWinControl* w = Parent(); w; w = w->Parent()) {
    TPoint o = w->ClientOrigin();
    fr = IntersectRect(fr, w->ClientRect().Offset(o.X, o.Y));
  }
  if (!fr.IsEmpty()) f->AddDirty(fr, true);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintControlsFrom(TControl* first, const TRect& clip) {
  TForm* f = ParentForm();
  if (!f || !f->BackBuffer() || !Showing()) return;
  TPoint o = ClientOrigin();
  TRect fclip = clip.Offset(o.X, o.Y);
  for (const TWinControl* w = this; w; w = w->Parent()) {
    TPoint p = w->ClientOrigin();
    fclip = IntersectRect(fclip, w->ClientRect().Offset(p.X, p.Y));
  }
  if (fclip.IsEmpty()) return;
  // Windowed children stay on top: keep their pixels and put them back afterwards.
  TBitmap* bb = f->BackBuffer();
  struct Saved {
    TRect r;
    std::vector<uint32_t> px;
  };
  std::vector<Saved> saved;
  for (TControl* c : FControls) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->Visible()) continue;
    TRect r = IntersectRect(c->BoundsRect().Offset(o.X, o.Y), fclip);
    if (r.IsEmpty()) continue;
    Saved s{r, {}};
    s.px.resize(static_cast<size_t>(r.Width()) * r.Height());
    for (int32_t y = r.Top; y < r.Bottom; ++y)
      std::copy_n(reinterpret_cast<const uint32_t*>(bb->ScanLine(y)) + r.Left, r.Width(),
                  s.px.begin() + static_cast<size_t>(y - r.Top) * r.Width());
    saved.push_back(std::move(s));
  }
  bool started = first == nullptr;
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (c == first) started = true;
    if (!started || dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    if (c->PrepareCanvas(c->FCanvas.get(), fclip)) c->Perform(WM_PAINT);
  }
  for (const Saved& s : saved)
    for (int32_t y = s.r.Top; y < s.r.Bottom; ++y)
      std::copy_n(s.px.begin() + static_cast<size_t>(y - s.r.Top) * s.r.Width(), s.r.Width(),
                  reinterpret_cast<uint32_t*>(bb->ScanLine(y)) + s.r.Left);
  f->Present(fclip);
}

void TWinControl::PaintTree(const TRect& formClip) {
  if (!FVisible) return;
  TForm* f = ParentForm();
  // Non-client frame.
  if (FBorderWidth > 0 && PrepareCanvas(FCanvas.get(), formClip, true)) Perform(WM_NCPAINT);
  if (PrepareCanvas(FCanvas.get(), formClip)) {
    TMessage erase{WM_ERASEBKGND, 0, 0, 0};
    if (f->PaintErase()) WndProc(erase);
    PrepareCanvas(FCanvas.get(), formClip);
    Perform(WM_PAINT);
    PaintChildren(formClip, false);
    PaintChildren(formClip, true);
  }
}

void TWinControl::PaintChildren(const TRect& formClip, bool windowed) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if ((w != nullptr) != windowed || !c->Visible()) continue;
    if (w)
      w->PaintTree(formClip);
    else if (c->PrepareCanvas(c->FCanvas.get(), formClip))
      c->Perform(WM_PAINT);
  }
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      PaintWindow();
      return;
    case WM_ERASEBKGND: {
      TCanvas* c = FCanvas.get();
      c->Brush()->SetColor(Color());
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(ClientRect());
      Message.Result = 1;
      return;
    }
    case WM_NCPAINT: {
      TCanvas* c = FCanvas.get();
      c->Brush()->SetColor(Color());
      c->Brush()->SetStyle(bsSolid);
      TRect r{0, 0, Width(), Height()};
      for (int32_t i = 0; i < FBorderWidth; ++i) {
        c->FrameRect(r);
        r = r.Inflate(-1, -1);
      }
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_FOCUSCHANGED:
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case SM_SKINCOMMAND:
      Broadcast(Message);
      return;
    case CM_FONTCHANGED:
      TControl::WndProc(Message);
      for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTFONTCHANGED);
      return;
    case CM_COLORCHANGED:
      TControl::WndProc(Message);
      for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCOLORCHANGED);
      return;
    case CM_BIDIMODECHANGED:
      for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTBIDIMODECHANGED);
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled() && Focused()) {
        if (TForm* f = ParentForm()) f->SetFocusedControl(nullptr);
      }
      TControl::WndProc(Message);
      return;
    case CM_VISIBLECHANGED:
      if (!Visible() && Focused()) {
        if (TForm* f = ParentForm()) f->SetFocusedControl(nullptr);
      }
      return;
    case WM_GETDLGCODE:
      Message.Result = DialogCode();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      uint16_t key = static_cast<uint16_t>(Message.WParam);
      KeyDown(key, static_cast<TShiftState>(Message.LParam));
      Message.WParam = key;
      Message.Result = key == 0;
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      uint16_t key = static_cast<uint16_t>(Message.WParam);
      KeyUp(key, static_cast<TShiftState>(Message.LParam));
      Message.WParam = key;
      Message.Result = key == 0;
      return;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(Message.WParam);
      KeyPress(ch);
      Message.WParam = static_cast<uint8_t>(ch);
      Message.Result = ch == 0;
      return;
    }
    default:
      TControl::WndProc(Message);
  }
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ============================================================== TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
