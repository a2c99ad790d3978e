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
  TWizardState GetState() override { return {wsEnabled, wsChecked}; }
  void Execute() override { log_.push_back("execute"); }

 private:
  std::vector<std::string>& log_;
};

std::vector<ComPtr<IOTAWizard>> kept;
void Keep(void*, IOTAWizard* w) { kept.emplace_back(w); }

}  // namespace

// The IDE calls a wizard through its method table only.
TEST(Wizard, AnswersItsInterfacesAndSlotsAsTheIdeCallsThem) {
  std::vector<std::string> log;
  {
    ComPtr<IOTAWizard> wizard = Make<TTestWizard>(log);
    EXPECT_EQ(static_cast<void*>(wizard.As<IOTANotifier>().get()), static_cast<void*>(wizard.get()));
    EXPECT_TRUE(wizard.As<IInterface>());
    EXPECT_FALSE(wizard.As<INTAServices>());

    void* p = wizard.get();
    for (int slot = 3; slot <= 6; ++slot) RawSlot<void (*)(void*)>(p, slot)(p);  // the notifier's no-ops
    UnicodeString s;
    RawSlot<void (*)(void*, char16_t**)>(p, 7)(p, s.put());
    EXPECT_EQ(s, u"Test.Wizard");
    RawSlot<void (*)(void*, char16_t**)>(p, 8)(p, s.put());
    EXPECT_EQ(s, u"Test Wizard");
    // The state set comes back as one byte: enabled is bit 0, checked bit 1.
    EXPECT_EQ(RawSlot<uint8_t (*)(void*)>(p, 9)(p), 3);
    RawSlot<void (*)(void*)>(p, 10)(p);
    EXPECT_EQ(log, std::vector<std::string>{"execute"});
  }
  EXPECT_EQ(log, (std::vector<std::string>{"execute", "destroyed"}));
}

TEST(Wizard, RegistrationReachesTheInstalledRegistrarOnly) {
  std::vector<std::string> log;
  ComPtr<TTestWizard> wizard = Make<TTestWizard>(log);
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));  // no IDE: nothing keeps it
  TWizardRegistrar registrar;
  registrar.Code = &Keep;
  SetWizardRegistrar(registrar);
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));
  RegisterPackageWizard(nullptr);
  SetWizardRegistrar({});
  RegisterPackageWizard(ComPtr<IOTAWizard>(wizard));

  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(static_cast<void*>(kept[0].get()), static_cast<void*>(static_cast<IOTAWizard*>(wizard.get())));
  EXPECT_EQ(wizard->RefCount(), 2);
  kept.clear();
}
