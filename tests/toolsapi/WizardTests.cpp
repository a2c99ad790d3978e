#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ToolsAPI.h"

namespace {

class TTestWizard : public TNotifierObjectOf<IOTAWizard> {
 public:
  explicit TTestWizard(std::vector<std::string>& log) : log_(log) {}
  ~TTestWizard() override { log_.push_back("destroyed"); }
  void GetIDString(UnicodeString& Result) override { Result = u"Test.Wizard"; }
  void GetName(UnicodeString& Result) override { Result = u"Test Wizard"; }
  TWizardState GetState() override { return {wsEnabled}; }
  void Execute() override { log_.push_back("execute"); }

 private:
  std::vector<std::string>& log_;
};

struct IUnrelated : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{5E0C7A10-0000-4000-8000-000000000001}");
};

std::vector<ComPtr<IOTAWizard>>* kept = nullptr;
void Keep(void*, IOTAWizard* w) { kept->push_back(ComPtr<IOTAWizard>(w)); }

}  // namespace

TEST(NotifierObject, WizardAnswersItsInterfacesThroughRawSlots) {
  std::vector<std::string> log;
  {
    ComPtr<IOTAWizard> wizard = Make<TTestWizard>(log);
    ComPtr<IOTANotifier> notifier = wizard.As<IOTANotifier>();
    ASSERT_TRUE(notifier);
    EXPECT_EQ(static_cast<void*>(notifier.get()), static_cast<void*>(wizard.get()));
    EXPECT_EQ(wizard.As<IInterface>().get(), static_cast<IInterface*>(wizard.get()));
    EXPECT_FALSE(wizard.As<IUnrelated>());
    EXPECT_FALSE(wizard.As<INTAServices>());

    void* p = wizard.get();
    for (int slot = 3; slot <= 6; ++slot) RawSlot<void (*)(void*)>(p, slot)(p);  // inherited no-ops
    UnicodeString s;
    RawSlot<void (*)(void*, char16_t**)>(p, 7)(p, s.put());
    EXPECT_EQ(s, u"Test.Wizard");
    RawSlot<void (*)(void*, char16_t**)>(p, 8)(p, s.put());
    EXPECT_EQ(s, u"Test Wizard");
    // The state set is one byte in a register; enabled alone is 1.
    EXPECT_EQ(RawSlot<uint8_t (*)(void*)>(p, 9)(p), 1);
    RawSlot<void (*)(void*)>(p, 10)(p);
    EXPECT_EQ(log, std::vector<std::string>{"execute"});
  }
  EXPECT_EQ(log, (std::vector<std::string>{"execute", "destroyed"}));
}

TEST(NotifierObject, WizardStateSet) {
  constexpr TWizardState both{wsEnabled, wsChecked};
  static_assert(both.Bits == 3 && both.Contains(wsChecked));
  EXPECT_FALSE(TWizardState{}.Contains(wsEnabled));
  EXPECT_EQ(TWizardState{wsChecked}.Bits, 2);
}

TEST(RegisterPackageWizard, ReachesTheInstalledRegistrarOnly) {
  std::vector<std::string> log;
  std::vector<ComPtr<IOTAWizard>> store;
  kept = &store;
  ComPtr<TTestWizard> wizard = Make<TTestWizard>(log);

  // No IDE: nothing is kept.
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));
  EXPECT_EQ(wizard->RefCount(), 1);

  TWizardRegistrar registrar;
  registrar.Code = &Keep;
  SetWizardRegistrar(registrar);
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));
  RegisterPackageWizard(nullptr);  // ignored
  SetWizardRegistrar({});
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));

  ASSERT_EQ(store.size(), 1u);
  EXPECT_EQ(static_cast<void*>(store[0].get()), static_cast<void*>(static_cast<IOTAWizard*>(wizard.get())));
  EXPECT_EQ(wizard->RefCount(), 2);
  store.clear();
  kept = nullptr;
}
