// Forms: the top-level control behind one native window. A form composes every
// frame in its 32-bit back buffer, keeps the dirty region that the message loop
// paints, routes raw input (hit-testing, capture, enter/leave, focus, key preview,
// dialog keys and characters) and closes by asking the application to quit when
// it is the main form.
#pragma once

#include <memory>
#include <vector>

#include "framework/Control.h"
#include "platform/Window.h"

enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : uint8_t { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TModalResult = int32_t;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl, private platform::WindowListener {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition v) { FPosition = v; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }

  void SetVisible(bool v) override;
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery, then OnClose; the main form then asks the application to
  // quit (the loop ends when the quit request is taken). The window stays until then.
  void Close();

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* c) { SetFocusedControl(c); }
  // Moves the focus (nullptr: the form itself) and announces the newly focused
  // control to every control of the form (CM_FOCUSCHANGED).
  void SetFocusedControl(TWinControl* c);
  // Announces the current focused control again.
  void AnnounceFocus();

  TControl* CaptureControl() const { return FCaptureControl; }
  void SetCaptureControl(TControl* c);
  TControl* MouseControl() const { return FMouseControl; }

  // ---- painting
  TBitmap* BackBuffer() const { return FBackBuffer.get(); }
  void AddDirty(const TRect& formRect, bool erase);
  bool HasDirty() const { return !FDirty.IsEmpty(); }
  TRect DirtyRect() const { return FDirty; }
  // Paints the dirty region now and presents it.
  void PaintPending();
  // Paints everything now (used on show and by tests).
  void PaintAll();
  void Present(const TRect& formRect);
  bool PaintErase() const { return FPaintErase; }
  int32_t PaintCount() const { return FPaintCount; }

  // ---- input, as the native window reports it (form client coordinates)
  void HandleInput(const platform::InputEvent& e);
  TPoint ScreenPosition() const;
  platform::NativeWindow* NativeWindow() const { return FWindow.get(); }

  // Runs the stored-layout protocol: Loaded for every component, then OnCreate.
  void FinishCreation();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Internal bookkeeping called by controls.
  void ControlRemoved(TControl* c);

 protected:
  void WndProc(TMessage& Message) override;
  void CreateWnd() override;
  virtual void DoCreate();
  virtual bool CloseQuery();

 private:
  void OnWindowEvent(const platform::InputEvent& e) override;
  void EnsureBackBuffer();
  void RouteMouse(uint32_t msg, int32_t x, int32_t y, uint32_t keys);
  void UpdateMouseControl(TControl* c);
  void RouteKey(uint32_t msg, uint16_t key, TShiftState shift);
  void RouteChar(char ch, bool alt);
  void SelectNext(bool forward);

  std::unique_ptr<platform::NativeWindow> FWindow;
  std::unique_ptr<TBitmap> FBackBuffer;
  std::vector<uint32_t> FStaging;
  TRect FDirty;
  bool FDirtyErase = false;
  bool FPaintErase = true;
  bool FPainting = false;
  int32_t FPaintCount = 0;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  bool FKeyPreview = false;
  TModalResult FModalResult = 0;
  TWinControl* FActiveControl = nullptr;
  TControl* FCaptureControl = nullptr;
  TControl* FMouseControl = nullptr;
  TControl* FLastDownControl = nullptr;
  uint32_t FButtons = 0;
};
