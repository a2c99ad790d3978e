#pragma once
// Translating designed texts: the published Caption, TextHint, Hint, Items
// and Columns of a frame or form and of the components it owns, looked up
// with Loc under keys made of the root's class name and the component's
// name ("TQorbWelcomePageFrame.lblTitle", "...lblTitle.Hint",
// "...lbPlugins.Item2", "...lvList.Column0").
#include <string_view>

class TComponent;
class TObject;
class TStrings;

// Full pass: the root's Caption (when it has a name), then Caption,
// TextHint, Hint, Items and Columns of every named component the root owns
// directly. A null root does nothing.
void LocalizeComponent(TComponent* ARoot);

// Second pass for lists only: the Items of every named component the root
// owns, for lists skipped while the root had no form to sit on.
void LocalizeComponentItems(TComponent* ARoot);

// The published string property APropName of AInstance, if it has one and
// it is not empty, becomes Loc(AKey, its value) when that differs.
void LocalizeStrProp(TObject& AInstance, std::u16string_view APropName, std::u16string_view AKey);

// The entries of AComponent's published string list Items, when
// IsSafeToLocalizeItems allows.
void LocalizeItems(TComponent& AComponent, std::u16string_view AKeyBase);

// Each non-empty entry j becomes Loc(AKeyBase + ".Item" + j, entry); when
// something changed, AOwner's published ItemIndex is put back as it was.
void LocalizeStrings(TComponent& AOwner, TStrings& AStrings, std::u16string_view AKeyBase);

// The Caption of each item k of AComponent's published collection Columns,
// under AKeyBase + ".Column" + k.
void LocalizeColumns(TComponent& AComponent, std::u16string_view AKeyBase);

// A list may be touched when its component is no windowed control, its
// window exists, or a form is among its parents (itself included).
bool IsSafeToLocalizeItems(TComponent& AComponent);
