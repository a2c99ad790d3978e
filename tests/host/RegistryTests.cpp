#include <gtest/gtest.h>

#include <functional>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/Exception.h"
#include "rtl/InterfacedObject.h"

namespace {

struct IColor : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{33333333-0000-0000-0000-000000000001}");
  virtual int32_t Value() = 0;
};
struct IShape : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{33333333-0000-0000-0000-000000000002}");
};
constexpr GUID kUnknown = MakeGuid("{33333333-0000-0000-0000-0000000000FF}");

class TColor : public TInterfacedObjectOf<IColor, IShape> {
 public:
  explicit TColor(int32_t v) : v_(v) {}
  int32_t Value() override { return v_; }
  std::function<void()> OnQuery;

  HRESULT QueryInterface(const GUID& iid, void** obj) override {
    if (OnQuery) OnQuery();
    return TInterfacedObjectOf::QueryInterface(iid, obj);
  }

 private:
  int32_t v_;
};

class RegistryTest : public ::testing::Test {
 protected:
  TPluginInterfaceRegistry registry;
  ComPtr<IInterface> Lookup(const GUID& g) {
    ComPtr<IInterface> r;
    registry.GetMyInterface(r.put(), &g);
    return r;
  }
  int32_t ColorOf(const ComPtr<IInterface>& r) { return reinterpret_cast<IColor*>(r.get())->Value(); }
};

}  // namespace

TEST_F(RegistryTest, FirstRegisteredSupporterWinsUntilRemoved) {
  EXPECT_FALSE(Lookup(IColor::IID));
  ComPtr<TColor> red = Make<TColor>(1), blue = Make<TColor>(2);
  registry.Add(red->AsIInterface());
  registry.Add(blue->AsIInterface());
  registry.Add(nullptr);
  EXPECT_EQ(ColorOf(Lookup(IColor::IID)), 1);
  // A lookup releases what the result held, also when nothing is found.
  IInterface* result = blue->AsIInterface();
  result->AddRef();
  registry.GetMyInterface(&result, &kUnknown);
  EXPECT_EQ(result, nullptr);
  registry.Remove(red->AsIInterface());
  EXPECT_EQ(ColorOf(Lookup(IColor::IID)), 2);
  EXPECT_EQ(red->RefCount(), 1);  // the registry gave back the reference Add took
  EXPECT_EQ(blue->RefCount(), 2);
}

TEST_F(RegistryTest, RemovalIsByReferenceIdentity) {
  ComPtr<TColor> c = Make<TColor>(7);
  IColor* asColor = static_cast<IColor*>(c.get());
  IShape* asShape = static_cast<IShape*>(c.get());
  registry.Add(asColor);
  registry.Add(asColor);
  registry.Remove(asShape);  // the same object through another interface
  EXPECT_EQ(ColorOf(Lookup(IColor::IID)), 7);
  registry.Remove(asColor);  // both entries go
  EXPECT_FALSE(Lookup(IColor::IID));
  EXPECT_EQ(c->RefCount(), 1);
}

TEST_F(RegistryTest, AddDuringALookupCountsForLaterLookupsOnly) {
  ComPtr<TColor> first = Make<TColor>(1), late = Make<TColor>(9);
  bool added = false;
  first->OnQuery = [&] {
    if (added) return;
    added = true;
    registry.Add(late->AsIInterface());  // re-enters the registry from inside a lookup
  };
  registry.Add(static_cast<IShape*>(first.get()));
  ComPtr<IInterface> r;
  GUID g = IColor::IID;
  registry.GetMyInterface(r.put(), &g);
  // first answers IColor itself, the late entry was not part of the snapshot
  EXPECT_EQ(ColorOf(r), 1);
  registry.Remove(static_cast<IShape*>(first.get()));
  EXPECT_EQ(ColorOf(Lookup(IColor::IID)), 9);
}

TEST_F(RegistryTest, ARaisingQueryReachesTheCallerAndChangesNothing) {
  ComPtr<TColor> bad = Make<TColor>(1), good = Make<TColor>(2);
  bad->OnQuery = [] { throw Exception(UnicodeString(u"query failed")); };
  registry.Add(bad->AsIInterface());
  registry.Add(good->AsIInterface());
  EXPECT_THROW(Lookup(IColor::IID), Exception);
  EXPECT_EQ(bad->RefCount(), 2);
  EXPECT_EQ(good->RefCount(), 2);
  bad->OnQuery = nullptr;
}

TEST(RegistryUnit, FinalisationReleasesEveryEntry) {
  ComPtr<TColor> c = Make<TColor>(5);
  PluginInterfaceRegistryInitialization();
  PluginInterfaceRegistry->Add(c->AsIInterface());
  TGetInterface callback = PluginInterfaceRegistry->Callback();
  EXPECT_EQ(callback.Get<IColor>()->Value(), 5);
  PluginInterfaceRegistryFinalization();
  EXPECT_EQ(PluginInterfaceRegistry, nullptr);
  EXPECT_EQ(c->RefCount(), 1);
}
