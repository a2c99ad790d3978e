#pragma once
// Forms shown modally (TCustomForm::ShowModal) while the IDE lives: what
// each showed, kept in order for people (qorb-ide) and tests, and drawn in a
// window frame when pictures are asked for. The form is its module's and may
// be gone right after the call, so everything is taken during it.
#include <filesystem>
#include <string>
#include <vector>

#include "rtl/UnicodeString.h"
#include "vcl/Forms.h"

class TIDE;

struct TShownForm {
  UnicodeString Caption;
  UnicodeString ClassName;
  int Width = 0;
  int Height = 0;
  // What a person reads on it, one indented line each.
  std::string Text;
  // Empty when no picture was written.
  std::filesystem::path Picture;
};

class TModalFormLog {
 public:
  // Records Form and answers what a user closing it answers: mrOk.
  TModalResult Show(TIDE& Ide, TCustomForm& Form);
  const std::vector<TShownForm>& Shown() const noexcept { return shown_; }
  void Clear() noexcept { shown_.clear(); }

 private:
  std::vector<TShownForm> shown_;
};

// Heading "Forms:", then each form's caption and size and, below, its text.
std::string FormatShownForms(const std::vector<TShownForm>& Forms);
