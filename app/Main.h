// The program's only window. Its controls and the download attempt are added on
// top of the window settings below.
#pragma once

#include "framework/Form.h"

class TMain_Form : public TForm {
 public:
  explicit TMain_Form(TComponent* AOwner);
  const char* ClassName() const override { return "TMain_Form"; }
};
