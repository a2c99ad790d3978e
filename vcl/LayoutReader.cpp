#include "vcl/LayoutReader.h"

#include <string>
#include <vector>

#include "vcl/Collections.h"
#include "vcl/Controls.h"
#include "vcl/LayoutParser.h"
#include "vcl/PublishedProperties.h"
#include "vcl/StringList.h"
#include "winapi/Resources.h"

namespace {

using TKind = TLayoutValue::TKind;

std::u16string Widen(std::string_view s) { return Utf8ToUtf16(s); }

// Makes the parsed objects in the root and sets their properties, in the
// order they are written.
class TLayoutApplier {
 public:
  explicit TLayoutApplier(TComponent& ARoot) : FRoot(ARoot) {}

  void Apply(const TLayoutObject& AObject) {
    if (!AObject.Name.empty() && FRoot.Name().IsEmpty())
      Guard(AObject.Line, Widen(AObject.Name), [&] { FRoot.SetName(Widen(AObject.Name)); });
    ApplyMembers(AObject, FRoot);
  }

 private:
  void ApplyMembers(const TLayoutObject& AObject, TComponent& ATarget) {
    const std::u16string name = Widen(AObject.Name);
    size_t next = 0;
    for (const TLayoutObject& child : AObject.Children) {
      for (; next < child.PropertiesBefore; ++next) ApplyProperty(ATarget, AObject.Properties[next], name);
      ApplyMembers(child, CreateChild(child, ATarget));
    }
    for (; next < AObject.Properties.size(); ++next) ApplyProperty(ATarget, AObject.Properties[next], name);
  }

  TComponent& CreateChild(const TLayoutObject& AObject, TComponent& AParent) {
    const std::u16string className = Widen(AObject.ClassName);
    const TPublishedClass* cls = FindPublishedClass(className);
    if (!cls || !cls->Create) RaiseLayoutError(AObject.Line, u"Class " + className + u" not found");
    TComponent* child = nullptr;
    const std::u16string name = Widen(AObject.Name);
    Guard(AObject.Line, name, [&] {
      child = cls->Create(&FRoot);
      if (!name.empty()) child->SetName(name);
      auto* control = dynamic_cast<TControl*>(child);
      auto* parent = dynamic_cast<TWinControl*>(&AParent);
      if (control && parent) control->SetParent(parent);
    });
    return *child;
  }

  // Runs AStep; an error of the component library becomes a read error
  // that names the object and the line.
  template <class F>
  static void Guard(int ALine, std::u16string_view AObjectName, F&& AStep) {
    try {
      AStep();
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      RaiseLayoutError(ALine, UnicodeString(u"Error reading ") + AObjectName + u": " + e.Message());
    }
  }

  void ApplyProperty(TObject& ATarget, const TLayoutProperty& AProperty, const std::u16string& AObjectName) {
    const int line = AProperty.Line;
    std::vector<std::u16string> path;
    for (size_t from = 0;;) {
      const size_t dot = AProperty.Path.find('.', from);
      path.push_back(Widen(std::string_view(AProperty.Path).substr(from, dot - from)));
      if (dot == std::string::npos) break;
      from = dot + 1;
    }
    std::u16string fullName = AObjectName;
    for (const std::u16string& p : path) fullName += (fullName.empty() ? u"" : u".") + p;

    // Walk to the object that holds the last part of the path.
    TObject* holder = &ATarget;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo* info = GetPropInfo(*holder, path[i]);
      if (!info || info->Kind != tkClass) RaiseLayoutError(line, u"Property " + fullName + u" does not exist");
      holder = GetObjectProp(*holder, *info);
      if (!holder) RaiseLayoutError(line, u"Property " + fullName + u" has no object");
    }

    const TLayoutValue& value = AProperty.Value;
    if (value.Kind == TKind::Collection) {
      ApplyCollection(*holder, path.back(), fullName, line, value);
      return;
    }
    auto* strings = dynamic_cast<TStrings*>(holder);
    if (value.Kind == TKind::List && strings && SameText(path.back(), u"Strings")) {
      AssignStrings(*strings, value, fullName);
      return;
    }
    const TPropInfo* info = GetPropInfo(*holder, path.back());
    if (!info) RaiseLayoutError(line, u"Property " + fullName + u" does not exist");
    Assign(*holder, *info, value, fullName);
  }

  void AssignStrings(TStrings& AStrings, const TLayoutValue& AList, const std::u16string& AName) {
    for (const TLayoutValue& item : AList.ListItems)
      if (item.Kind != TKind::String) RaiseLayoutError(item.Line, u"Strings expected for " + AName);
    Guard(AList.Line, AName, [&] {
      AStrings.Clear();
      for (const TLayoutValue& item : AList.ListItems) AStrings.Add(UnicodeString(item.Str));
    });
  }

  // The collection's items, anew.
  void ApplyCollection(TObject& AHolder, const std::u16string& APropName, const std::u16string& AName, int ALine,
                       const TLayoutValue& AValue) {
    const TPropInfo* info = GetPropInfo(AHolder, APropName);
    TObject* object = info && info->Kind == tkClass ? GetObjectProp(AHolder, *info) : nullptr;
    auto* collection = dynamic_cast<TCollection*>(object);
    if (!collection) RaiseLayoutError(ALine, u"Property " + AName + u" is no collection");
    Guard(ALine, AName, [&] { collection->Clear(); });
    for (const TLayoutItem& written : AValue.Items) {
      TCollectionItem* item = nullptr;
      Guard(written.Line, AName, [&] { item = collection->Add(); });
      for (const TLayoutProperty& property : written.Properties) ApplyProperty(*item, property, AName);
    }
  }

  static void Assign(TObject& AHolder, const TPropInfo& AProp, const TLayoutValue& AValue,
                     const std::u16string& AName) {
    const int line = AValue.Line;
    auto bad = [&]() { BadValue(line, AName); };
    auto identValue = [&](const std::string& AIdent) -> int64_t {
      for (const TIdentMapEntry& e : AProp.Idents)
        if (SameText(e.Name, Widen(AIdent))) return e.Value;
      BadValue(line, AName);
    };
    Guard(line, AName, [&] {
      if (IsStringKind(AProp.Kind)) {
        if (AValue.Kind != TKind::String) bad();
        SetStrProp(AHolder, AProp, UnicodeString(AValue.Str));
      } else if (AProp.Kind == tkSet) {
        if (AValue.Kind != TKind::Set) bad();
        int64_t bits = 0;
        for (const std::string& item : AValue.SetItems) bits |= int64_t{1} << identValue(item);
        SetOrdProp(AHolder, AProp, bits);
      } else if (IsOrdinalKind(AProp.Kind)) {
        if (AValue.Kind == TKind::Integer)
          SetOrdProp(AHolder, AProp, AValue.Number);
        else if (AValue.Kind == TKind::Ident)
          SetOrdProp(AHolder, AProp, identValue(AValue.Ident));
        else
          bad();
      } else {
        bad();
      }
    });
  }

  [[noreturn]] static void BadValue(int ALine, const std::u16string& AName) {
    RaiseLayoutError(ALine, u"Invalid value for property " + AName);
  }

  TComponent& FRoot;
};

}  // namespace

void ReadComponentLayout(std::string_view AText, TComponent& ARoot) { TLayoutApplier(ARoot).Apply(ParseLayout(AText)); }

bool ReadComponentResource(HMODULE AModule, std::u16string_view AResName, TComponent& ARoot) {
  const std::u16string name(AResName);
  HRSRC res = FindResourceW(AModule, name.c_str(), RT_RCDATA);
  if (!res) return false;
  HGLOBAL data = LoadResource(AModule, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return false;
  ReadComponentLayout(std::string_view(static_cast<const char*>(bytes), SizeofResource(AModule, res)), ARoot);
  return true;
}
