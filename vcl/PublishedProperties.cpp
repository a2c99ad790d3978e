#include "vcl/PublishedProperties.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "rtl/OwnMutex.h"
#include "vcl/StandardClasses.h"

namespace {

class TClassRegistry {
 public:
  explicit TClassRegistry(std::span<const TPublishedClass* const> AClasses) : FClasses(AClasses.begin(), AClasses.end()) {}

  void Add(const TPublishedClass& AClass) {
    std::lock_guard lock(FLock);
    FClasses.push_back(&AClass);
  }
  void Remove(const TPublishedClass& AClass) {
    std::lock_guard lock(FLock);
    // The latest registration of this very entry goes.
    auto it = std::find(FClasses.rbegin(), FClasses.rend(), &AClass);
    if (it != FClasses.rend()) FClasses.erase(std::next(it).base());
  }

  const TPublishedClass* Find(std::u16string_view AClassName) const {
    std::lock_guard lock(FLock);
    return FindLocked(AClassName);
  }

  const TPublishedClass* ClassOf(const TObject& AInstance) const {
    std::lock_guard lock(FLock);
    const TPublishedClass* best = nullptr;
    size_t bestDepth = 0;
    for (auto it = FClasses.rbegin(); it != FClasses.rend(); ++it) {
      const TPublishedClass* c = *it;
      if (!c->IsInstance || !c->IsInstance(AInstance)) continue;
      const size_t depth = DepthLocked(*c);
      if (!best || depth > bestDepth) {
        best = c;
        bestDepth = depth;
      }
    }
    return best;
  }

  const TPropInfo* Property(const TObject& AInstance, std::u16string_view APropName) const {
    const TPublishedClass* c = ClassOf(AInstance);
    std::lock_guard lock(FLock);
    for (size_t guard = 0; c && guard <= FClasses.size(); ++guard) {
      for (const TPropInfo& p : c->Properties)
        if (SameText(p.Name, APropName)) return &p;
      c = c->ParentName.empty() ? nullptr : FindLocked(c->ParentName);
    }
    return nullptr;
  }

 private:
  const TPublishedClass* FindLocked(std::u16string_view AClassName) const {
    for (auto it = FClasses.rbegin(); it != FClasses.rend(); ++it)
      if (SameText((*it)->ClassName, AClassName)) return *it;
    return nullptr;
  }
  // Ancestors up to the root; a parent chain that loops stops there.
  size_t DepthLocked(const TPublishedClass& AClass) const {
    size_t depth = 0;
    const TPublishedClass* c = &AClass;
    while (depth <= FClasses.size() && !c->ParentName.empty() && (c = FindLocked(c->ParentName))) ++depth;
    return depth;
  }

  mutable TMutex FLock;
  std::vector<const TPublishedClass*> FClasses;
};

// Built on first use, with the component library's own classes in it.
TClassRegistry& Registry() {
  static TClassRegistry registry(StandardPublishedClasses());
  return registry;
}

[[noreturn]] void WrongKind(const TPropInfo& AProp, const char16_t* AWhat) {
  throw EPropertyError(UnicodeString(u"Property ") + AProp.Name + u" " + AWhat);
}

const TPropInfo& Require(TObject& AInstance, std::u16string_view APropName) {
  const TPropInfo* p = GetPropInfo(AInstance, APropName);
  if (!p) throw EPropertyError(UnicodeString(u"Property ") + APropName + u" does not exist");
  return *p;
}

}  // namespace

TPublishedClassRegistration::TPublishedClassRegistration(const TPublishedClass& AClass) : FClass(AClass) {
  Registry().Add(FClass);
}

TPublishedClassRegistration::~TPublishedClassRegistration() { Registry().Remove(FClass); }

const TPublishedClass* FindPublishedClass(std::u16string_view AClassName) { return Registry().Find(AClassName); }

const TPublishedClass* PublishedClassOf(const TObject& AInstance) { return Registry().ClassOf(AInstance); }

const TPropInfo* GetPropInfo(TObject& AInstance, std::u16string_view APropName) {
  return Registry().Property(AInstance, APropName);
}

UnicodeString GetStrProp(TObject& AInstance, const TPropInfo& AProp) {
  if (!IsStringKind(AProp.Kind) || !AProp.GetStr) WrongKind(AProp, u"is not a string");
  return AProp.GetStr(AInstance);
}

void SetStrProp(TObject& AInstance, const TPropInfo& AProp, const UnicodeString& AValue) {
  if (!IsStringKind(AProp.Kind)) WrongKind(AProp, u"is not a string");
  if (!AProp.SetStr) WrongKind(AProp, u"is read-only");
  AProp.SetStr(AInstance, AValue);
}

int64_t GetOrdProp(TObject& AInstance, const TPropInfo& AProp) {
  if (!IsOrdinalKind(AProp.Kind) || !AProp.GetOrd) WrongKind(AProp, u"is not ordinal");
  return AProp.GetOrd(AInstance);
}

void SetOrdProp(TObject& AInstance, const TPropInfo& AProp, int64_t AValue) {
  if (!IsOrdinalKind(AProp.Kind)) WrongKind(AProp, u"is not ordinal");
  if (!AProp.SetOrd) WrongKind(AProp, u"is read-only");
  // An enumeration holds only its named values; a set only its elements.
  if (AProp.Kind == tkEnumeration && !AProp.Idents.empty() &&
      std::none_of(AProp.Idents.begin(), AProp.Idents.end(), [&](const TIdentMapEntry& e) { return e.Value == AValue; }))
    WrongKind(AProp, u"has no such value");
  if (AProp.Kind == tkSet) {
    int64_t allowed = 0;
    for (const TIdentMapEntry& e : AProp.Idents) allowed |= int64_t{1} << e.Value;
    if (AValue & ~allowed) WrongKind(AProp, u"has no such element");
  }
  AProp.SetOrd(AInstance, AValue);
}

TObject* GetObjectProp(TObject& AInstance, const TPropInfo& AProp) {
  if (AProp.Kind != tkClass || !AProp.GetObj) WrongKind(AProp, u"is not an object");
  return AProp.GetObj(AInstance);
}

UnicodeString GetStrProp(TObject& AInstance, std::u16string_view APropName) {
  return GetStrProp(AInstance, Require(AInstance, APropName));
}

void SetStrProp(TObject& AInstance, std::u16string_view APropName, const UnicodeString& AValue) {
  SetStrProp(AInstance, Require(AInstance, APropName), AValue);
}

int64_t GetOrdProp(TObject& AInstance, std::u16string_view APropName) {
  return GetOrdProp(AInstance, Require(AInstance, APropName));
}

void SetOrdProp(TObject& AInstance, std::u16string_view APropName, int64_t AValue) {
  SetOrdProp(AInstance, Require(AInstance, APropName), AValue);
}

TObject* GetObjectProp(TObject& AInstance, std::u16string_view APropName) {
  return GetObjectProp(AInstance, Require(AInstance, APropName));
}
