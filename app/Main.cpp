#include "app/Main.h"

TMain_Form::TMain_Form(TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  SetName("Main_Form");
  // Stored layout: borderless, client 417 x 152, centred when first shown.
  SetBounds(486, 188, 417, 152);
  SetBorderStyle(bsNone);
  SetPosition(poScreenCenter);
  SetCaption("Main_Form");
  SetColor(clBtnFace);
  TFont f;
  f.SetCharset(DEFAULT_CHARSET);
  f.SetColor(clWindowText);
  f.SetHeight(-11);
  f.SetName("MS Sans Serif");
  f.SetStyle(0);
  SetFont(f);
  SetKeyPreview(true);
  FinishCreation();
}
