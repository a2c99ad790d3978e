#include <gtest/gtest.h>

#include "rtl/ComPtr.h"
#include "rtl/Exception.h"
#include "rtl/InterfaceCast.h"
#include "rtl/InterfacedObject.h"
#include "rtl/Method.h"

namespace {

struct IAnimal : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{11111111-0000-0000-0000-000000000001}");
  virtual int32_t Legs() = 0;
};
struct IDog : IAnimal {
  using Base = IAnimal;
  static constexpr GUID IID = MakeGuid("{11111111-0000-0000-0000-000000000002}");
  virtual int32_t Barks() = 0;
};
struct IOther : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{11111111-0000-0000-0000-000000000004}");
};
struct IOwned : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{11111111-0000-0000-0000-000000000003}");
};

class TDog : public TInterfacedObjectOf<IDog, IOwned> {
 public:
  explicit TDog(bool& alive) : alive_(alive) { alive_ = true; }
  ~TDog() override { alive_ = false; }
  int32_t Legs() override { return 4; }
  int32_t Barks() override { return ++barks_; }
  int32_t Add(int32_t a, int32_t b) { return a + b + barks_; }

 private:
  bool& alive_;
  int32_t barks_ = 0;
};

}  // namespace

TEST(InterfacedObject, QueryInterfaceAnswersTheListAndItsAncestors) {
  bool alive = false;
  {
    ComPtr<TDog> dog = Make<TDog>(alive);
    EXPECT_EQ(dog->RefCount(), 1);
    ComPtr<IAnimal> animal = dog.As<IAnimal>();
    ASSERT_TRUE(animal);
    EXPECT_EQ(animal->Legs(), 4);
    // Slot order: the first own operation follows the three of IInterface.
    using Fn = int32_t (*)(IAnimal*);
    EXPECT_EQ(reinterpret_cast<Fn*>(*reinterpret_cast<void***>(animal.get()))[3](animal.get()), 4);
    EXPECT_TRUE(dog.As<IOwned>());
    // IInterface is always the same pointer: the first interface's.
    EXPECT_EQ(static_cast<void*>(dog.As<IInterface>().get()),
              static_cast<void*>(static_cast<IDog*>(dog.get())));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dog->QueryInterface(MakeGuid("{11111111-0000-0000-0000-0000000000FF}"), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(dog->RefCount(), 2);  // dog and animal; the temporaries are gone
  }
  EXPECT_FALSE(alive);  // dies with its last reference
}

TEST(InterfacedObject, CastsAndOutParameters) {
  bool alive = false;
  ComPtr<IDog> dog = Make<TDog>(alive);
  ComPtr<IOwned> owned;
  EXPECT_TRUE(Supports(dog, owned));
  ComPtr<IInterface> slot = dog.As<IInterface>();
  const int32_t before = static_cast<TDog*>(dog.get())->RefCount();
  *slot.put() = nullptr;  // put releases what the variable held
  EXPECT_EQ(static_cast<TDog*>(dog.get())->RefCount(), before - 1);

  EXPECT_THROW(InterfaceCast<IOther>(dog), EIntfCastError);
  EXPECT_EQ(InterfaceCast<IAnimal>(dog)->Legs(), 4);
}

TEST(Method, BoundCallbackPassesTheObjectWordFirst) {
  bool alive = false;
  ComPtr<TDog> dog = Make<TDog>(alive);
  dog->Barks();
  auto m = BindMethod<&TDog::Add>(dog.get());
  static_assert(sizeof(m) == 2 * sizeof(void*));
  EXPECT_EQ(m.Data, static_cast<void*>(dog.get()));
  EXPECT_EQ(m(2, 3), 6);
  EXPECT_EQ(m.Code(m.Data, 1, 1), 3);
}

TEST(TObject, ClassNameThroughSlotZeroOfTheMethodTable) {
  bool alive = false;
  ComPtr<TDog> dog = Make<TDog>(alive);
  EXPECT_EQ(dog->ClassName(), u"TDog");
  using NameFn = const char16_t* (*)(const void*);
  EXPECT_EQ(UnicodeString((*reinterpret_cast<NameFn* const*>(dog.get()))[0](dog.get())), u"TDog");
}
