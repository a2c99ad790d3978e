#pragma once
// The IDE's visual styles: the colours a theme paints system colour
// elements with, and the IDE's own colours by purpose.
#include <array>
#include <memory>

#include "toolsapi/StyleServices.h"
#include "toolsapi/UIServices.h"

class TIDEStyle : public TCustomStyleServices {
 public:
  TColor GetSystemColor(TColor Color) const override;
  UnicodeString Name() const override { return name_; }
  // The style's colour for an IDE purpose; window text for unknown ones.
  TColor IdeColor(TIDEColorId Id) const noexcept;

  // The IDE's styles. Light paints with the system's own colours.
  static std::unique_ptr<TIDEStyle> Light();
  static std::unique_ptr<TIDEStyle> Dark();

 static constexpr size_t kElements = 31;  // system colour elements 0..30
  static constexpr size_t kPurposes = 7;   // TIDEColorId values
  TIDEStyle(UnicodeString Name, const std::array<TColor, kElements>& Elements,
            const std::array<TColor, kPurposes>& Purposes)
      : name_(std::move(Name)), elements_(Elements), purposes_(Purposes) {}

 private:

  UnicodeString name_;
  std::array<TColor, kElements> elements_;
  std::array<TColor, kPurposes> purposes_;
};
