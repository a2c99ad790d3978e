#include "vcl/StandardClasses.h"

#include "vcl/Collections.h"
#include "vcl/Controls.h"
#include "vcl/Font.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Menus.h"
#include "vcl/Panel.h"

namespace {

constexpr TIdentMapEntry kColors[] = {
    {clBlack, u"clBlack"},       {clMaroon, u"clMaroon"},
    {clGreen, u"clGreen"},       {clOlive, u"clOlive"},
    {clNavy, u"clNavy"},         {clPurple, u"clPurple"},
    {clTeal, u"clTeal"},         {clGray, u"clGray"},
    {clSilver, u"clSilver"},     {clRed, u"clRed"},
    {clLime, u"clLime"},         {clYellow, u"clYellow"},
    {clBlue, u"clBlue"},         {clFuchsia, u"clFuchsia"},
    {clAqua, u"clAqua"},         {clWhite, u"clWhite"},
    {clMenu, u"clMenu"},         {clWindow, u"clWindow"},
    {clWindowFrame, u"clWindowFrame"}, {clMenuText, u"clMenuText"},
    {clWindowText, u"clWindowText"},   {clHighlight, u"clHighlight"},
    {clHighlightText, u"clHighlightText"}, {clBtnFace, u"clBtnFace"},
    {clBtnShadow, u"clBtnShadow"},     {clGrayText, u"clGrayText"},
    {clBtnText, u"clBtnText"},         {clBtnHighlight, u"clBtnHighlight"},
    {clInfoText, u"clInfoText"},       {clInfoBk, u"clInfoBk"},
    {clDefault, u"clDefault"},
};
constexpr TIdentMapEntry kFontStyles[] = {
    {fsBold, u"fsBold"}, {fsItalic, u"fsItalic"}, {fsUnderline, u"fsUnderline"}, {fsStrikeOut, u"fsStrikeOut"}};
constexpr TIdentMapEntry kAligns[] = {{alNone, u"alNone"},   {alTop, u"alTop"},     {alBottom, u"alBottom"},
                                      {alLeft, u"alLeft"},   {alRight, u"alRight"}, {alClient, u"alClient"}};
constexpr TIdentMapEntry kAnchors[] = {
    {akLeft, u"akLeft"}, {akTop, u"akTop"}, {akRight, u"akRight"}, {akBottom, u"akBottom"}};
constexpr TIdentMapEntry kAlignments[] = {
    {taLeftJustify, u"taLeftJustify"}, {taRightJustify, u"taRightJustify"}, {taCenter, u"taCenter"}};
constexpr TIdentMapEntry kTextLayouts[] = {{tlTop, u"tlTop"}, {tlCenter, u"tlCenter"}, {tlBottom, u"tlBottom"}};
constexpr TIdentMapEntry kBevelCuts[] = {
    {bvNone, u"bvNone"}, {bvLowered, u"bvLowered"}, {bvRaised, u"bvRaised"}, {bvSpace, u"bvSpace"}};
constexpr TIdentMapEntry kListBoxStyles[] = {{lbStandard, u"lbStandard"},
                                             {lbOwnerDrawFixed, u"lbOwnerDrawFixed"},
                                             {lbOwnerDrawVariable, u"lbOwnerDrawVariable"},
                                             {lbVirtual, u"lbVirtual"},
                                             {lbVirtualOwnerDraw, u"lbVirtualOwnerDraw"}};

constexpr TPropInfo kComponentProps[] = {StringProp<&TComponent::Name, &TComponent::SetName>(u"Name")};

constexpr TPropInfo kMenuItemProps[] = {
    StringProp<&TMenuItem::Caption, &TMenuItem::SetCaption>(u"Caption"),
    BoolProp<&TMenuItem::Enabled, &TMenuItem::SetEnabled>(u"Enabled"),
    BoolProp<&TMenuItem::Visible, &TMenuItem::SetVisible>(u"Visible"),
};

constexpr TPropInfo kFontProps[] = {
    StringProp<&TFont::Name, &TFont::SetName>(u"Name"),
    OrdinalProp<&TFont::Height, &TFont::SetHeight>(u"Height"),
    OrdinalProp<&TFont::Size, &TFont::SetSize>(u"Size"),
    OrdinalProp<&TFont::Color, &TFont::SetColor>(u"Color", tkInteger, kColors),
    SetProp<&TFont::Style, &TFont::SetStyle, kFontStyles>(u"Style"),
};

constexpr TPropInfo kMarginsProps[] = {
    OrdinalProp<&TMargins::Left, &TMargins::SetLeft>(u"Left"),
    OrdinalProp<&TMargins::Top, &TMargins::SetTop>(u"Top"),
    OrdinalProp<&TMargins::Right, &TMargins::SetRight>(u"Right"),
    OrdinalProp<&TMargins::Bottom, &TMargins::SetBottom>(u"Bottom"),
};

constexpr TPropInfo kControlProps[] = {
    OrdinalProp<&TControl::Left, &TControl::SetLeft>(u"Left"),
    OrdinalProp<&TControl::Top, &TControl::SetTop>(u"Top"),
    OrdinalProp<&TControl::Width, &TControl::SetWidth>(u"Width"),
    OrdinalProp<&TControl::Height, &TControl::SetHeight>(u"Height"),
    OrdinalProp<&TControl::Align, &TControl::SetAlign>(u"Align", tkEnumeration, kAligns),
    SetProp<&TControl::Anchors, &TControl::SetAnchors, kAnchors>(u"Anchors"),
    ObjectProp<&TControl::Margins>(u"Margins"),
    BoolProp<&TControl::AlignWithMargins, &TControl::SetAlignWithMargins>(u"AlignWithMargins"),
    BoolProp<&TControl::Visible, &TControl::SetVisible>(u"Visible"),
    StringProp<&TControl::Hint, &TControl::SetHint>(u"Hint"),
    OrdinalProp<&TControl::Color, &TControl::SetColor>(u"Color", tkInteger, kColors),
    BoolProp<&TControl::ParentColor, &TControl::SetParentColor>(u"ParentColor"),
    ObjectProp<&TControl::Font>(u"Font"),
    BoolProp<&TControl::ParentFont, &TControl::SetParentFont>(u"ParentFont"),
};

constexpr TPropInfo kWinControlProps[] = {
    BoolProp<&TWinControl::ParentBackground, &TWinControl::SetParentBackground>(u"ParentBackground"),
};

// Captions are published by the classes that show them, not by TControl.
constexpr TPropInfo kCaptionProps[] = {StringProp<&TControl::Caption, &TControl::SetCaption>(u"Caption")};

constexpr TPropInfo kLabelProps[] = {
    StringProp<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
    BoolProp<&TLabel::AutoSize, &TLabel::SetAutoSize>(u"AutoSize"),
    OrdinalProp<&TLabel::Alignment, &TLabel::SetAlignment>(u"Alignment", tkEnumeration, kAlignments),
    OrdinalProp<&TLabel::Layout, &TLabel::SetLayout>(u"Layout", tkEnumeration, kTextLayouts),
    BoolProp<&TLabel::Transparent, &TLabel::SetTransparent>(u"Transparent"),
};

constexpr TPropInfo kPanelProps[] = {
    StringProp<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
    OrdinalProp<&TPanel::BevelOuter, &TPanel::SetBevelOuter>(u"BevelOuter", tkEnumeration, kBevelCuts),
    OrdinalProp<&TPanel::BevelInner, &TPanel::SetBevelInner>(u"BevelInner", tkEnumeration, kBevelCuts),
    OrdinalProp<&TPanel::BevelWidth, &TPanel::SetBevelWidth>(u"BevelWidth"),
    OrdinalProp<&TPanel::BorderWidth, &TPanel::SetBorderWidth>(u"BorderWidth"),
    BoolProp<&TPanel::ShowCaption, &TPanel::SetShowCaption>(u"ShowCaption"),
    OrdinalProp<&TPanel::Alignment, &TPanel::SetAlignment>(u"Alignment", tkEnumeration, kAlignments),
};

constexpr TStrings* (TListBox::*kListBoxItems)() noexcept = &TListBox::Items;
constexpr TPropInfo kListBoxProps[] = {
    ObjectProp<kListBoxItems>(u"Items"),
    OrdinalProp<&TListBox::ItemIndex, &TListBox::SetItemIndex>(u"ItemIndex"),
    OrdinalProp<&TListBox::ItemHeight, &TListBox::SetItemHeight>(u"ItemHeight"),
    OrdinalProp<&TListBox::Style, &TListBox::SetStyle>(u"Style", tkEnumeration, kListBoxStyles),
};

constexpr TPublishedClass kPersistent{u"TPersistent", u"", &IsInstanceOf<TPersistent>, {}, nullptr};
constexpr TPublishedClass kComponent{u"TComponent", u"TPersistent", &IsInstanceOf<TComponent>, kComponentProps, nullptr};
constexpr TPublishedClass kMenuItem{u"TMenuItem", u"TComponent", &IsInstanceOf<TMenuItem>, kMenuItemProps,
                                    &CreateComponent<TMenuItem>};
constexpr TPublishedClass kFont{u"TFont", u"TPersistent", &IsInstanceOf<TFont>, kFontProps, nullptr};
constexpr TPublishedClass kMargins{u"TMargins", u"TPersistent", &IsInstanceOf<TMargins>, kMarginsProps, nullptr};
constexpr TPublishedClass kStrings{u"TStrings", u"TPersistent", &IsInstanceOf<TStrings>, {}, nullptr};
constexpr TPublishedClass kCollection{u"TCollection", u"TPersistent", &IsInstanceOf<TCollection>, {}, nullptr};
constexpr TPublishedClass kCollectionItem{u"TCollectionItem", u"TPersistent", &IsInstanceOf<TCollectionItem>, {}, nullptr};
constexpr TPublishedClass kControl{u"TControl", u"TComponent", &IsInstanceOf<TControl>, kControlProps, nullptr};
constexpr TPublishedClass kWinControl{u"TWinControl", u"TControl", &IsInstanceOf<TWinControl>, kWinControlProps, nullptr};
constexpr TPublishedClass kCustomFrame{u"TCustomFrame", u"TWinControl", &IsInstanceOf<TCustomFrame>, {}, nullptr};
constexpr TPublishedClass kFrame{u"TFrame", u"TCustomFrame", &IsInstanceOf<TFrame>, {}, &CreateComponent<TFrame>};
constexpr TPublishedClass kCustomForm{u"TCustomForm", u"TWinControl", &IsInstanceOf<TCustomForm>, kCaptionProps, nullptr};
constexpr TPublishedClass kForm{u"TForm", u"TCustomForm", &IsInstanceOf<TForm>, {}, &CreateComponent<TForm>};
constexpr TPublishedClass kLabel{u"TLabel", u"TControl", &IsInstanceOf<TLabel>, kLabelProps,
                                 &CreateComponent<TLabel>};
constexpr TPublishedClass kPanel{u"TPanel", u"TWinControl", &IsInstanceOf<TPanel>, kPanelProps,
                                 &CreateComponent<TPanel>};
constexpr TPublishedClass kListBox{u"TListBox", u"TWinControl", &IsInstanceOf<TListBox>, kListBoxProps,
                                   &CreateComponent<TListBox>};

constexpr const TPublishedClass* kStandardClasses[] = {
    &kPersistent, &kComponent,   &kMenuItem,       &kFont,  &kMargins,  &kStrings,      &kCollection,
    &kCollectionItem, &kControl, &kWinControl,     &kCustomFrame, &kFrame, &kCustomForm, &kForm,
    &kLabel,      &kPanel,       &kListBox,
};

}  // namespace

const TIdentMap ColorIdents = kColors;

std::span<const TPublishedClass* const> StandardPublishedClasses() { return kStandardClasses; }
