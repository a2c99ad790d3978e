#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/InterfacedObject.h"

namespace {
struct IMarker : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{44444444-0000-0000-0000-000000000001}");
  virtual int32_t Id() = 0;
};
class TMarker : public TInterfacedObjectOf<IMarker> {
 public:
  explicit TMarker(int32_t id) : id_(id) {}
  int32_t Id() override { return id_; }

 private:
  int32_t id_;
};
}  // namespace

TEST(RegistryThreaded, ConcurrentLookupsAddsAndRemovesLoseNothing) {
  TPluginInterfaceRegistry registry;
  ComPtr<TMarker> anchor = Make<TMarker>(0);
  registry.Add(anchor->AsIInterface());
  std::vector<ComPtr<TMarker>> markers;
  for (int t = 0; t < 8; ++t) markers.push_back(Make<TMarker>(t + 1));

  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      IInterface* mine = markers[static_cast<size_t>(t)]->AsIInterface();
      for (int i = 0; i < 2000; ++i) {
        registry.Add(mine);
        ComPtr<IInterface> r;
        GUID g = IMarker::IID;
        registry.GetMyInterface(r.put(), &g);
        // The anchor was registered first and is never removed.
        if (!r || reinterpret_cast<IMarker*>(r.get())->Id() != 0) wrong++;
        registry.Remove(mine);
      }
      registry.Add(mine);  // each thread leaves exactly one entry behind
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
  for (auto& m : markers) EXPECT_EQ(m->RefCount(), 2);
  registry.Remove(anchor->AsIInterface());
  for (auto& m : markers) registry.Remove(m->AsIInterface());
  for (auto& m : markers) EXPECT_EQ(m->RefCount(), 1);
}
