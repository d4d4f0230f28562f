#include "controls/skin/sLabel.h"

#include "controls/skin/sSkinManager.h"

namespace {
// Shared by all labels (one GUI thread): a label paint is in progress, and a
// label is handling a font change.
bool gLabelPainting = false;
bool gLabelFontChanging = false;

struct FlagGuard {
  explicit FlagGuard(bool& f) : flag(f) { flag = true; }
  ~FlagGuard() { flag = false; }
  bool& flag;
};

TColor MixColors(TColor a, TColor b, int percentA) {
  a = ColorToRGB(a);
  b = ColorToRGB(b);
  auto mix = [percentA](int x, int y) { return (x * percentA + y * (100 - percentA)) / 100; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}
}  // namespace

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
  SetTransparent(true);
}

TsSkinManager* TsCustomLabel::SkinManager() const {
  return FSkinManager ? FSkinManager : TsSkinManager::DefaultManager();
}

void TsCustomLabel::SetSkinManager(TsSkinManager* v) {
  if (v == FSkinManager) return;
  FSkinManager = v;
  if (v) v->FreeNotification(this);
  Invalidate();
}

void TsCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomLabel::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FSkinManager) FSkinManager = nullptr;
}

void TsCustomLabel::SetSkinSection(const std::string& v) {
  if (v == FSkinSection) return;
  FSkinSection = v;
  Invalidate();
}

TColor TsCustomLabel::GetTextColor() {
  return Font()->Color();
}

void TsCustomLabel::Paint() {
  FSectionIndex = -1;
  if (!Destroying() && !gLabelPainting) {
    FlagGuard painting(gLabelPainting);
    TsSkinManager* sm = SkinManager();
    if (!FSkinSection.empty() && sm && sm->Active()) {
      FSectionIndex = sm->GetSkinIndex(FSkinSection);
      if (FSectionIndex >= 0) {
        const TColor fc = sm->Section(FSectionIndex).FontColor;
        if (fc != clNone && fc != Font()->Color()) Font()->SetColor(fc);
      }
    }
    // A section background under the label is the skinning engine's to paint.
    TCustomLabel::Paint();
  } else {
    TCustomLabel::Paint();
  }
  FSectionIndex = -1;
}

void TsCustomLabel::DoDrawText(TRect& Rect, uint32_t Flags) {
  TsSkinManager* sm = SkinManager();
  if (!sm || !sm->SkinLoaded()) {
    TCustomLabel::DoDrawText(Rect, Flags);
    return;
  }
  const std::string text = TextToDraw(Flags);
  TCanvas* c = DrawCanvas();
  c->Font()->Assign(*GetTextFont());
  c->Font()->SetColor(GetTextColor());
  c->Brush()->SetStyle(bsClear);
  c->DrawText(text, Rect, Flags);
}

void TsCustomLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (OnMouseEnter && Message.LParam == reinterpret_cast<intptr_t>(this)) OnMouseEnter(this);
      TCustomLabel::WndProc(Message);
      return;
    case CM_MOUSELEAVE:
      TCustomLabel::WndProc(Message);
      if (OnMouseLeave && Message.LParam == reinterpret_cast<intptr_t>(this)) OnMouseLeave(this);
      return;
    case CM_FONTCHANGED:
      if (!Destroying() && !Loading() && !gLabelFontChanging) {
        if (gLabelPainting) return;
        FlagGuard changing(gLabelFontChanging);
        AdjustBounds();
        Invalidate();
        return;
      }
      TCustomLabel::WndProc(Message);
      return;
    case SM_SKINCOMMAND: {
      const uint16_t cmd = SkinCommandOf(Message.WParam);
      if ((cmd == ac_RemoveSkin || cmd == ac_Refresh) && (ComponentState() & csDesigning))
        Invalidate();
      return;
    }
    default:
      TCustomLabel::WndProc(Message);
  }
}

TsLabel::TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}

void TsLabel::SetUseSkinColor(bool v) {
  if (v == FUseSkinColor) return;
  FUseSkinColor = v;
  Invalidate();
}

TColor TsLabel::GetTextColor() {
  TsSkinManager* sm = SkinManager();
  if (!FUseSkinColor || !sm || !sm->SkinLoaded()) return Font()->Color();
  const int32_t i = sm->GetSkinIndex(SkinSection().empty() ? "TRANSPARENT" : SkinSection());
  if (i < 0) return Font()->Color();
  TColor c = sm->Section(i).FontColor;
  if (c == clNone) c = Font()->Color();
  if (!Enabled() && Parent()) c = MixColors(c, Parent()->Color(), 50);
  return c;
}
