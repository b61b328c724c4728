#pragma once
// The Macros window as the program shows it, on a main window of its own,
// for the macro benchmarks; the caller wires and loads it.
#include "controls/ChildForm.h"
#include "platform/Form.h"
#include "platform/PageControl.h"
#include "macros/MacroForm.h"

class TMacroBenchWindow {
 public:
  TMacroBenchWindow() : main_(options()) {
    auto& pages = main_.add<TPageControl>();
    pages.setAlign(TAlign::client);
    main_.showModeless();
    form_ = &createChildForm<TmacroForm>(pages, "Macros");
  }
  TmacroForm& form() { return *form_; }

 private:
  static TFormOptions options() {
    TFormOptions options;
    options.clientWidth = 900;
    options.clientHeight = 700;
    return options;
  }

  TForm main_;
  TmacroForm* form_ = nullptr;
};
