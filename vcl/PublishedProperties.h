#pragma once
// Published properties: each component class declares its published
// properties once (name, kind, getter, setter) in a TPublishedClass, and
// code that knows only a property's name reads and writes it through here.
// Classes registered here can also be created by class name.
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

#include "rtl/Exception.h"
#include "rtl/UnicodeString.h"
#include "vcl/Set.h"

class TComponent;

// The kinds a property's type can be of (the string kinds are the short,
// ANSI, wide and UTF-16 strings).
enum TTypeKind : uint8_t {
  tkUnknown,
  tkInteger,
  tkEnumeration,
  tkSet,
  tkClass,
  tkInt64,
  tkString,
  tkLString,
  tkWString,
  tkUString,
};

constexpr bool IsStringKind(TTypeKind AKind) noexcept {
  return AKind == tkString || AKind == tkLString || AKind == tkWString || AKind == tkUString;
}
constexpr bool IsOrdinalKind(TTypeKind AKind) noexcept {
  return AKind == tkInteger || AKind == tkEnumeration || AKind == tkSet || AKind == tkInt64;
}

// A name for an ordinal value: an enumeration's value, a set element's
// ordinal, a named colour.
struct TIdentMapEntry {
  int64_t Value;
  std::u16string_view Name;
};
using TIdentMap = std::span<const TIdentMapEntry>;

struct TPropInfo {
  std::u16string_view Name;
  TTypeKind Kind = tkUnknown;
  UnicodeString (*GetStr)(TObject&) = nullptr;
  void (*SetStr)(TObject&, const UnicodeString&) = nullptr;
  // Sets are their elements' bits, element n as bit n.
  int64_t (*GetOrd)(TObject&) = nullptr;
  void (*SetOrd)(TObject&, int64_t) = nullptr;
  TObject* (*GetObj)(TObject&) = nullptr;
  // Names of values (enumerations, set elements, colours); may be empty.
  TIdentMap Idents;
};

struct TPublishedClass {
  std::u16string_view ClassName;
  // The registered class it derives from; empty for a root.
  std::u16string_view ParentName;
  bool (*IsInstance)(const TObject&) = nullptr;
  std::span<const TPropInfo> Properties;
  // Null for classes that are not made by name.
  TComponent* (*Create)(TComponent* AOwner) = nullptr;
};

// A property that is absent, read or written as the wrong kind, or has no
// setter.
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
};

// Adds a class for as long as the object lives (plug-ins and tests; the
// component library's own classes are always there). AClass must outlive
// it. A second class of the same name hides the first until it goes.
class TPublishedClassRegistration {
 public:
  explicit TPublishedClassRegistration(const TPublishedClass& AClass);
  ~TPublishedClassRegistration();
  TPublishedClassRegistration(const TPublishedClassRegistration&) = delete;
  TPublishedClassRegistration& operator=(const TPublishedClassRegistration&) = delete;

 private:
  const TPublishedClass& FClass;
};

// The class registered under AClassName (ignoring case), or null.
const TPublishedClass* FindPublishedClass(std::u16string_view AClassName);
// The most derived registered class AInstance belongs to, or null.
const TPublishedClass* PublishedClassOf(const TObject& AInstance);

// The published property APropName (ignoring case) of AInstance's class or
// one of its registered ancestors; null when there is none.
const TPropInfo* GetPropInfo(TObject& AInstance, std::u16string_view APropName);

// Readers and writers for a property of AInstance; the wrong kind, or a
// missing setter, raises EPropertyError.
UnicodeString GetStrProp(TObject& AInstance, const TPropInfo& AProp);
void SetStrProp(TObject& AInstance, const TPropInfo& AProp, const UnicodeString& AValue);
int64_t GetOrdProp(TObject& AInstance, const TPropInfo& AProp);
void SetOrdProp(TObject& AInstance, const TPropInfo& AProp, int64_t AValue);
TObject* GetObjectProp(TObject& AInstance, const TPropInfo& AProp);

// The same by name; an absent property raises EPropertyError.
UnicodeString GetStrProp(TObject& AInstance, std::u16string_view APropName);
void SetStrProp(TObject& AInstance, std::u16string_view APropName, const UnicodeString& AValue);
int64_t GetOrdProp(TObject& AInstance, std::u16string_view APropName);
void SetOrdProp(TObject& AInstance, std::u16string_view APropName, int64_t AValue);
TObject* GetObjectProp(TObject& AInstance, std::u16string_view APropName);

// ---- declaring properties --------------------------------------------------
// StringProp<&TLabel::Caption, &TLabel::SetCaption>(u"Caption") and its
// siblings build a TPropInfo from a class's own getter and setter.

namespace published_detail {
template <class T>
struct Member;
template <class C, class R, class... A>
struct Member<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
};
template <class C, class R, class... A>
struct Member<R (C::*)(A...) const> : Member<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct Member<R (C::*)(A...) noexcept> : Member<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct Member<R (C::*)(A...) const noexcept> : Member<R (C::*)(A...)> {};

template <auto Fn>
using ClassOf = typename Member<decltype(Fn)>::Class;
template <auto Fn>
using ResultOf = std::remove_cvref_t<typename Member<decltype(Fn)>::Result>;

// The registry only hands a property to instances of its class.
template <class C>
C& As(TObject& o) {
  return dynamic_cast<C&>(o);
}

template <class E>
int64_t SetBits(TSet<E> s, TIdentMap idents) {
  int64_t bits = 0;
  for (const TIdentMapEntry& e : idents)
    if (s.Contains(static_cast<E>(e.Value))) bits |= int64_t{1} << e.Value;
  return bits;
}
template <class E>
TSet<E> SetFromBits(int64_t bits, TIdentMap idents) {
  TSet<E> s;
  for (const TIdentMapEntry& e : idents)
    if (bits & (int64_t{1} << e.Value)) s.Include(static_cast<E>(e.Value));
  return s;
}
template <class T>
struct SetElement;
template <class E>
struct SetElement<TSet<E>> {
  using type = E;
};
}  // namespace published_detail

template <auto Get, auto Set>
constexpr TPropInfo StringProp(std::u16string_view AName) {
  using C = published_detail::ClassOf<Get>;
  TPropInfo p;
  p.Name = AName;
  p.Kind = tkUString;
  p.GetStr = [](TObject& o) -> UnicodeString { return (published_detail::As<C>(o).*Get)(); };
  if constexpr (!std::is_null_pointer_v<decltype(Set)>)
    p.SetStr = [](TObject& o, const UnicodeString& v) { (published_detail::As<published_detail::ClassOf<Set>>(o).*Set)(v); };
  return p;
}

// Integers, enumerations (AKind tkEnumeration, with names) and booleans.
template <auto Get, auto Set>
constexpr TPropInfo OrdinalProp(std::u16string_view AName, TTypeKind AKind = tkInteger, TIdentMap AIdents = {}) {
  using C = published_detail::ClassOf<Get>;
  using V = published_detail::ResultOf<Get>;
  TPropInfo p;
  p.Name = AName;
  p.Kind = AKind;
  p.Idents = AIdents;
  p.GetOrd = [](TObject& o) -> int64_t { return static_cast<int64_t>((published_detail::As<C>(o).*Get)()); };
  if constexpr (!std::is_null_pointer_v<decltype(Set)>)
    p.SetOrd = [](TObject& o, int64_t v) {
      (published_detail::As<published_detail::ClassOf<Set>>(o).*Set)(static_cast<V>(v));
    };
  return p;
}

// Names of the two boolean values, as ordinal properties of kind
// tkEnumeration carry them.
inline constexpr TIdentMapEntry BooleanIdents[] = {{0, u"False"}, {1, u"True"}};

template <auto Get, auto Set>
constexpr TPropInfo BoolProp(std::u16string_view AName) {
  return OrdinalProp<Get, Set>(AName, tkEnumeration, BooleanIdents);
}

// A TSet property; AIdents names every element (the value is its ordinal).
template <auto Get, auto Set, const auto& Idents>
constexpr TPropInfo SetProp(std::u16string_view AName) {
  using C = published_detail::ClassOf<Get>;
  using S = published_detail::ResultOf<Get>;
  using E = typename published_detail::SetElement<S>::type;
  TPropInfo p;
  p.Name = AName;
  p.Kind = tkSet;
  p.Idents = Idents;
  p.GetOrd = [](TObject& o) -> int64_t {
    return published_detail::SetBits<E>((published_detail::As<C>(o).*Get)(), Idents);
  };
  if constexpr (!std::is_null_pointer_v<decltype(Set)>)
    p.SetOrd = [](TObject& o, int64_t v) {
      (published_detail::As<published_detail::ClassOf<Set>>(o).*Set)(published_detail::SetFromBits<E>(v, Idents));
    };
  return p;
}

// An object held by the instance (read only: the object's own properties
// are written).
template <auto Get>
constexpr TPropInfo ObjectProp(std::u16string_view AName) {
  using C = published_detail::ClassOf<Get>;
  TPropInfo p;
  p.Name = AName;
  p.Kind = tkClass;
  p.GetObj = [](TObject& o) -> TObject* { return (published_detail::As<C>(o).*Get)(); };
  return p;
}

// IsInstance and Create for TPublishedClass.
template <class C>
bool IsInstanceOf(const TObject& AInstance) {
  return dynamic_cast<const C*>(&AInstance) != nullptr;
}
template <class C>
TComponent* CreateComponent(TComponent* AOwner) {
  // The owner frees it.
  return new C(AOwner);
}
