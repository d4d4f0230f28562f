#include "framework/Form.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Application) Application->FormCreated(this);
}

TForm::~TForm() {
  MarkDestroying();
  if (OnDestroy) OnDestroy(this);
  if (Application) Application->FormDestroyed(this);
  // Children go before the window and the back buffer they paint into.
  DestroyComponents();
  while (ControlCount() > 0) Controls(ControlCount() - 1)->SetParent(nullptr);
  FActiveControl = nullptr;
  FCaptureControl = nullptr;
  FMouseControl = nullptr;
  FWindow.reset();
}

void TForm::FinishCreation() {
  EndLoading();
  Realign();
  DoCreate();
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::CreateWnd() {}

void TForm::EnsureBackBuffer() {
  const int32_t w = std::max(1, Width()), h = std::max(1, Height());
  if (!FBackBuffer) FBackBuffer = std::make_unique<TBitmap>(w, h, pf32bit);
  if (FBackBuffer->Width() != w || FBackBuffer->Height() != h) FBackBuffer->SetSize(w, h);
}

void TForm::SetVisible(bool v) {
  TWinControl::SetVisible(v);
  if (!v) {
    if (FWindow) FWindow->Hide();
    return;
  }
  if (Loading()) return;
  if (!FWindow) {
    FWindow = platform::CreateNativeWindow(this);
    if (Application) FWindow->SetTitle(AnsiToWide(Application->Title()));
  }
  HandleNeeded();
  EnsureBackBuffer();
  int32_t x = Left(), y = Top();
  const bool centered = FPosition == poScreenCenter || FPosition == poDesktopCenter ||
                        FPosition == poMainFormCenter || FPosition == poOwnerFormCenter;
  FWindow->SetBounds(x, y, Width(), Height());
  FWindow->Show(centered);
  if (OnShow) OnShow(this);
  PaintAll();
}

TPoint TForm::ScreenPosition() const {
  if (!FWindow) return {Left(), Top()};
  int32_t x = 0, y = 0;
  FWindow->ScreenPosition(x, y);
  return {x, y};
}

bool TForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = (Application && Application->MainForm() == this) ? caFree : caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide || action == caFree || action == caMinimize) {
    Hide();
  }
}

// ------------------------------------------------------------------ focus

void TForm::SetFocusedControl(TWinControl* c) {
  if (c == this) c = nullptr;
  if (FActiveControl == c) return;
  TWinControl* old = FActiveControl;
  FActiveControl = c;
  if (old) {
    old->Perform(WM_KILLFOCUS, reinterpret_cast<uintptr_t>(c));
    old->Perform(CM_EXIT);
  }
  if (c) {
    c->Perform(WM_SETFOCUS, reinterpret_cast<uintptr_t>(old));
    c->Perform(CM_ENTER);
  }
  AnnounceFocus();
}

void TForm::AnnounceFocus() {
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(FActiveControl));
}

void TForm::SetCaptureControl(TControl* c) {
  FCaptureControl = c;
  if (FWindow) FWindow->SetCapture(c != nullptr);
}

void TForm::ControlRemoved(TControl* c) {
  auto within = [c](TControl* x) {
    for (TControl* p = x; p; p = p->Parent())
      if (p == c) return true;
    return false;
  };
  if (FActiveControl && within(FActiveControl)) FActiveControl = nullptr;
  if (FCaptureControl && within(FCaptureControl)) SetCaptureControl(nullptr);
  if (FMouseControl && within(FMouseControl)) FMouseControl = nullptr;
  if (FLastDownControl && within(FLastDownControl)) FLastDownControl = nullptr;
}

// ------------------------------------------------------------------ painting

void TForm::AddDirty(const TRect& r, bool erase) {
  TRect clipped = IntersectRect(r, {0, 0, Width(), Height()});
  if (clipped.IsEmpty()) return;
  FDirty = UnionRect(FDirty, clipped);
  FDirtyErase = FDirtyErase || erase;
}

void TForm::PaintPending() {
  if (FDirty.IsEmpty() || FPainting || !Showing() || !FWindow) return;
  TRect r = FDirty;
  FPaintErase = FDirtyErase;
  FDirty = {};
  FDirtyErase = false;
  FPainting = true;
  try {
    EnsureBackBuffer();
    PaintTree(r);
  } catch (...) {
    FPainting = false;
    FPaintErase = true;
    Present(r);
    throw;
  }
  FPainting = false;
  FPaintErase = true;
  ++FPaintCount;
  Present(r);
}

void TForm::PaintAll() {
  AddDirty({0, 0, Width(), Height()}, true);
  PaintPending();
}

void TForm::Present(const TRect& formRect) {
  if (!FWindow || !FBackBuffer) return;
  TRect r = IntersectRect(formRect, {0, 0, FBackBuffer->Width(), FBackBuffer->Height()});
  if (r.IsEmpty()) return;
  // The back buffer is bottom-up; the window wants top-down rows.
  const int32_t w = FBackBuffer->Width(), h = FBackBuffer->Height();
  FStaging.resize(static_cast<size_t>(w) * h);
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    std::memcpy(&FStaging[static_cast<size_t>(y) * w + r.Left],
                reinterpret_cast<const uint32_t*>(FBackBuffer->ScanLine(y)) + r.Left,
                static_cast<size_t>(r.Width()) * 4);
  FWindow->Present(reinterpret_cast<const uint8_t*>(FStaging.data()), w * 4, w, h,
                   {r.Left, r.Top, r.Right, r.Bottom});
}

void TForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      EnsureBackBuffer();
      if (FWindow) FWindow->SetBounds(Left(), Top(), Width(), Height());
      TWinControl::WndProc(Message);
      return;
    case WM_CLOSE:
      Close();
      return;
    default:
      TWinControl::WndProc(Message);
  }
}

// ------------------------------------------------------------------ input

void TForm::OnWindowEvent(const platform::InputEvent& e) {
  // Input joins the application's queue so that it is taken in order with posted
  // messages, also by a handler that processes pending messages itself.
  if (Application)
    Application->QueueInput(this, e);
  else
    HandleInput(e);
}

static uint32_t ButtonsToKeys(uint32_t shift) {
  uint32_t k = 0;
  if (shift & platform::kShift) k |= MK_SHIFT;
  if (shift & platform::kCtrl) k |= MK_CONTROL;
  if (shift & platform::kLeft) k |= MK_LBUTTON;
  if (shift & platform::kRight) k |= MK_RBUTTON;
  if (shift & platform::kMiddle) k |= MK_MBUTTON;
  return k;
}

void TForm::HandleInput(const platform::InputEvent& e) {
  using platform::EventKind;
  if (Application) Application->SetAltDown((e.shift & platform::kAlt) != 0);
  switch (e.kind) {
    case EventKind::MouseDown:
    case EventKind::MouseUp: {
      static constexpr uint32_t down[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
      static constexpr uint32_t up[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
      static constexpr uint32_t bit[3] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
      const int b = std::clamp(e.button, 0, 2);
      uint32_t keys = ButtonsToKeys(e.shift);
      if (e.kind == EventKind::MouseDown) {
        FButtons |= bit[b];
        keys |= FButtons;
        uint32_t msg = down[b];
        if (e.clicks >= 2) msg += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        RouteMouse(msg, e.x, e.y, keys);
      } else {
        FButtons &= ~bit[b];
        keys = (keys & ~(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) | FButtons;
        RouteMouse(up[b], e.x, e.y, keys);
      }
      return;
    }
    case EventKind::MouseMove:
      RouteMouse(WM_MOUSEMOVE, e.x, e.y, ButtonsToKeys(e.shift) | FButtons);
      return;
    case EventKind::MouseLeave:
      if (!FCaptureControl) UpdateMouseControl(nullptr);
      return;
    case EventKind::KeyDown:
    case EventKind::KeyUp: {
      TShiftState s = 0;
      if (e.shift & platform::kShift) s |= ssShift;
      if (e.shift & platform::kCtrl) s |= ssCtrl;
      if (e.shift & platform::kAlt) s |= ssAlt;
      RouteKey(e.kind == EventKind::KeyDown ? WM_KEYDOWN : WM_KEYUP, static_cast<uint16_t>(e.key), s);
      return;
    }
    case EventKind::Char: {
      std::string a = WideToAnsi(std::u16string(1, e.ch));
      if (!a.empty()) RouteChar(a[0], (e.shift & platform::kAlt) != 0);
      return;
    }
    case EventKind::Close:
      Close();
      return;
    case EventKind::Expose:
      if (FBackBuffer) Present({0, 0, Width(), Height()});
      return;
    case EventKind::Activate:
      if (OnActivate) OnActivate(this);
      if (Application) Application->FormActivated(this);
      return;
    case EventKind::Deactivate:
      return;
  }
}

void TForm::UpdateMouseControl(TControl* c) {
  if (c == FMouseControl) return;
  TControl* old = FMouseControl;
  FMouseControl = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(old));
  // A leave handler may have destroyed the new control's world; re-check.
  if (c && FMouseControl == c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(c));
}

void TForm::RouteMouse(uint32_t msg, int32_t x, int32_t y, uint32_t keys) {
  TPoint p{x, y};
  TControl* hit = nullptr;
  if (TRect{0, 0, Width(), Height()}.Contains(p)) {
    hit = ControlAtPos(p);
    if (!hit) hit = this;
  }
  UpdateMouseControl(hit);
  TControl* cursorOwner = hit;
  while (cursorOwner && cursorOwner->Cursor() == crDefault) cursorOwner = cursorOwner->Parent();
  if (FWindow)
    FWindow->SetCursor(cursorOwner && cursorOwner->Cursor() == crHandPoint
                           ? platform::Cursor::HandPoint
                           : platform::Cursor::Arrow);

  TControl* target = FCaptureControl ? FCaptureControl : hit;
  if (!target) return;
  const bool isDown = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  const bool isDbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  // A double click counts only when both presses hit the same control.
  if (isDbl && target != FLastDownControl) msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
  if (isDown || isDbl) FLastDownControl = target;

  TPoint o = target->ClientOrigin();
  TPoint local{x - o.X, y - o.Y};
  if (!FCaptureControl) {
    if (auto* w = dynamic_cast<TWinControl*>(target); w && w != this) {
      // Presses on a windowed control's frame are not client input.
      if (!w->ClientRect().Contains(local)) return;
    }
  }
  if (!target->Enabled()) return;
  target->Perform(msg, keys, MakeLParam(local.X, local.Y));
}

void TForm::RouteKey(uint32_t msg, uint16_t key, TShiftState shift) {
  // With KeyPreview the form sees every key first.
  if (FKeyPreview) {
    if (msg == WM_KEYDOWN) {
      TWinControl::KeyDown(key, shift);
    } else {
      TWinControl::KeyUp(key, shift);
    }
    if (key == 0) return;
  }
  TWinControl* target = FActiveControl ? FActiveControl : this;
  if (target != this) {
    TMessage m{msg, key, static_cast<intptr_t>(shift), 0};
    target->WndProc(m);
    key = static_cast<uint16_t>(m.WParam);
    if (key == 0) return;
  } else if (!FKeyPreview) {
    if (msg == WM_KEYDOWN)
      TWinControl::KeyDown(key, shift);
    else
      TWinControl::KeyUp(key, shift);
    if (key == 0) return;
  }
  if (msg != WM_KEYDOWN) return;
  // Dialog keys: keys the focused control does not want for itself.
  uint32_t mask = 0;
  switch (key) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_ESCAPE:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (!mask) return;
  if (target != this && (target->Perform(WM_GETDLGCODE) & mask)) return;
  if (target != this && target->Perform(CM_WANTSPECIALKEY, key) != 0) return;
  TMessage dk{CM_DIALOGKEY, key, static_cast<intptr_t>(shift), 0};
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    SelectNext(!(shift & ssShift));
    return;
  }
  WndProc(dk);
}

void TForm::RouteChar(char ch, bool alt) {
  if (FKeyPreview) {
    TWinControl::KeyPress(ch);
    if (ch == 0) return;
  }
  TWinControl* target = FActiveControl ? FActiveControl : this;
  if (target != this) {
    TMessage m{WM_CHAR, static_cast<uint8_t>(ch), 0, 0};
    target->WndProc(m);
    ch = static_cast<char>(m.WParam);
    if (ch == 0) return;
  } else if (!FKeyPreview) {
    TWinControl::KeyPress(ch);
    if (ch == 0) return;
  }
  // Accelerators: with Alt, or when the focused control takes no characters.
  const bool wantsChars = target != this && (target->Perform(WM_GETDLGCODE) & DLGC_WANTCHARS);
  if (alt || !wantsChars) {
    if (ch == '\r' || ch == 27 || ch == '\t') return;
    TMessage dc{CM_DIALOGCHAR, static_cast<uint8_t>(ch), alt ? KF_ALTDOWN_LPARAM : 0, 0};
    WndProc(dc);
  }
}

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> list;
  std::function<void(TWinControl*)> collect = [&](TWinControl* w) {
    std::vector<TWinControl*> kids;
    for (int32_t i = 0; i < w->ControlCount(); ++i)
      if (auto* k = dynamic_cast<TWinControl*>(w->Controls(i))) kids.push_back(k);
    std::stable_sort(kids.begin(), kids.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* k : kids) {
      if (k->TabStop() && k->CanFocus()) list.push_back(k);
      collect(k);
    }
  };
  collect(this);
  if (list.empty()) return;
  auto it = std::find(list.begin(), list.end(), FActiveControl);
  size_t i;
  if (it == list.end())
    i = forward ? 0 : list.size() - 1;
  else
    i = (static_cast<size_t>(it - list.begin()) + (forward ? 1 : list.size() - 1)) % list.size();
  SetFocusedControl(list[i]);
}
