#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "rtl/DynArray.h"
#include "rtl/InterfacedObject.h"
#include "rtl/UnicodeString.h"

namespace {
struct IThing : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{22222222-0000-0000-0000-000000000001}");
};
class TThing : public TInterfacedObjectOf<IThing> {
 public:
  explicit TThing(std::atomic<int>& deaths) : deaths_(deaths) {}
  ~TThing() override { deaths_++; }

 private:
  std::atomic<int>& deaths_;
};
}  // namespace

TEST(ThreadedRefCount, SharedReferencesAcrossThreadsDieOnce) {
  std::atomic<int> deaths{0};
  ComPtr<IThing> thing = Make<TThing>(deaths);
  UnicodeString text(u"shared");
  DynArray<UnicodeString> array{text, text};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([thing, text, array] {
      for (int i = 0; i < 20000; ++i) {
        ComPtr<IThing> a = thing;
        UnicodeString b = text;
        DynArray<UnicodeString> c = array;
        ComPtr<IInterface> d = a.As<IInterface>();
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(ustr::Header(text.Raw())->refCnt, 3);
  EXPECT_EQ(array.RefCount(), 1);
  thing.reset();
  EXPECT_EQ(deaths.load(), 1);
}
