// Controls: windowless (TGraphicControl) and windowed (TWinControl,
// TCustomControl). There is one native window per form; windowed controls are not
// native windows but behave as if they were: they paint above every windowless
// sibling, have their own canvas origin and clip, a non-client frame
// (BorderWidth), focus, capture, and erase-background and non-client paint
// messages.
//
// Messages reach a control through its virtual WndProc; a derived control
// overrides WndProc (or one of the virtual handlers) and passes on what it does not
// take, so "handles message X" maps to one case.
//
// Coordinates: a control's Left/Top are in its parent's client coordinates; the
// client area of a windowed control starts inside its BorderWidth frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

class TWinControl;
class TForm;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = uint8_t;
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : uint16_t {
  ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = uint16_t;
enum TBiDiMode : uint8_t {
  bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly
};

using TCursor = int16_t;
constexpr TCursor crDefault = 0, crArrow = -2, crHandPoint = -21;

enum TControlStyleFlag : uint32_t {
  csAcceptsControls = 1,
  csCaptureMouse = 2,
  csDesignInteractive = 4,
  csClickEvents = 8,
  csFramed = 16,
  csSetCaption = 32,
  csOpaque = 64,
  csDoubleClicks = 128,
  csFixedWidth = 256,
  csFixedHeight = 512,
  csNoDesignVisible = 1024,
  csReplicatable = 2048,
  csNoStdEvents = 4096,
  csDisplayDragImage = 8192,
  csReflector = 16384,
  csParentBackground = 32768,
};
using TControlStyle = uint32_t;

enum TControlStateFlag : uint32_t {
  csLButtonDown = 1,
  csClicked = 2,
  csPalette = 4,
  csReadingState = 8,
  csAlignmentNeeded = 16,
  csFocusing = 32,
  csCreating = 64,
  csPaintCopy = 128,
  csCustomPaint = 256,
  csDestroyingHandle = 512,
  csDocking = 1024,
};
using TControlState = uint32_t;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int32_t X, int32_t Y)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// A control's canvas: the form's back buffer seen through the control's origin and
// clip, valid while the control paints (and retargeted for each paint).
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(class TControl* c) : FControl(c) {}
  TControl* Control() const { return FControl; }

 private:
  TControl* FControl;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  // ---- hierarchy
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // The form this control lies on (itself for a form), or nullptr.
  TForm* ParentForm() const;

  // ---- geometry
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int32_t v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int32_t v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int32_t v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int32_t ClientWidth() const { return ClientRect().Width(); }
  int32_t ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int32_t v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int32_t v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int32_t w, int32_t h);
  // Client (0,0) of this control in form coordinates.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors v) { FAnchors = v; }

  // ---- state
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a shown form.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool v);

  TFont* Font() { return &FFont; }
  void SetFont(const TFont& f) { FFont.Assign(f); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v);
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& v) { SetText(v); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& v);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v) { FHint = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode v);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool v);
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const;

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle v) { FControlStyle = v; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState v) { FControlState = v; }
  bool MouseCapture() const;
  void SetMouseCapture(bool v);

  // ---- painting
  // Adds the control's area to its form's dirty region (painted by the loop).
  virtual void Invalidate();
  // Paints the control at once: an opaque windowless control repaints itself and
  // the windowless controls stacked above it; otherwise invalidate, then Update.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  // Paints whatever is pending in the form at once.
  virtual void Update();
  TControlCanvas* ControlCanvas() { return FCanvas.get(); }

  // ---- messages
  intptr_t Perform(uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  // Sends Msg to every control of a windowed control, stopping at a non-zero result.
  void BringToFront();
  void SendToBack();

  // ---- events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;

  virtual void Click();
  virtual void DblClick();

 protected:
  void Loaded() override;
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void Resize();
  virtual void ParentFontChanged();
  virtual void AdjustSize() {}
  // Hit-testing: may the point (client coordinates) take the mouse?
  virtual bool HitTest(int32_t X, int32_t Y);
  // Hooks that windowed controls use.
  virtual void VisibleChanging() {}
  void FontChanged(TObject* Sender);
  void RequestAlign();
  // Points FCanvas at the form's back buffer for this control's client area,
  // clipped to clip (form coordinates); false when nothing is visible.
  bool PrepareCanvas(TCanvas* canvas, const TRect& clip, bool nonClient = false);

  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  std::unique_ptr<TControlCanvas> FCanvas;

 private:
  friend class TWinControl;
  friend class TForm;
  void HandleMouseMessage(TMessage& Message);

  TWinControl* FParent = nullptr;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  bool FVisible = true;
  bool FEnabled = true;
  TFont FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = false;
  std::string FText;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
};

// A control painted on its parent's surface, in creation order among siblings.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  const char* ClassName() const override { return "TGraphicControl"; }
  TCanvas* Canvas() { return FCanvas.get(); }

 protected:
  void WndProc(TMessage& Message) override;
  virtual void Paint() {}
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  // Children in insertion order (windowless and windowed alike).
  int32_t ControlCount() const { return static_cast<int32_t>(FControls.size()); }
  TControl* Controls(int32_t i) const { return FControls[i]; }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  // Topmost visible, enabled control (recursively) at a client point, or nullptr.
  TControl* ControlAtPos(TPoint p, bool AllowDisabled = false) const;

  int32_t BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int32_t v);
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetClientSize(int32_t w, int32_t h) override;
  // The area inside which children are aligned; controls may shrink it.
  virtual void AdjustClientRect(TRect& Rect);
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();

  // "Has a window": true once the form has shown or asked for its window.
  bool HandleAllocated() const { return FHandleAllocated; }
  void HandleNeeded();
  uintptr_t Handle();

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v);
  int32_t TabOrder() const { return FTabOrder; }
  void SetTabOrder(int32_t v) { FTabOrder = v; }
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();

  void Broadcast(TMessage& Message);

  // Marks a rectangle (client coordinates) dirty; Erase asks for WM_ERASEBKGND.
  void InvalidateRect(const TRect& r, bool Erase = true);
  void Invalidate() override;
  void Repaint() override;
  // Paints the windowless children from `first` on (in z-order) at once over
  // `clip` (client coordinates), keeping windowed children on top. Presents.
  void PaintControlsFrom(TControl* first, const TRect& clip);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  void WndProc(TMessage& Message) override;
  // Creation of the "window": called once when the form creates its window.
  virtual void CreateWnd();
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void PaintWindow() {}
  virtual void DoEnter();
  virtual void DoExit();
  void ParentFontChanged() override;
  // Windows' WM_GETDLGCODE: which keys the control wants for itself.
  virtual uint32_t DialogCode() const { return 0; }

 private:
  friend class TControl;
  friend class TForm;
  void CreateHandles();
  void PaintTree(const TRect& formClip);
  void PaintChildren(const TRect& formClip, bool windowed);
  void ChildSizeChanged(int32_t oldW, int32_t oldH);

  std::vector<TControl*> FControls;
  int32_t FBorderWidth = 0;
  int32_t FAlignLevel = 0;
  bool FAlignPending = false;
  bool FHandleAllocated = false;
  bool FTabStop = false;
  int32_t FTabOrder = -1;
};

// A windowed control with its own canvas and a Paint that runs inside the
// window's paint cycle.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  const char* ClassName() const override { return "TCustomControl"; }
  TCanvas* Canvas() { return FCanvas.get(); }

 protected:
  void PaintWindow() override { Paint(); }
  virtual void Paint() {}
};

TShiftState KeysToShiftState(uintptr_t keys);
