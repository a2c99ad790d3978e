#pragma once
// The reference-counted base of objects the IDE notifies: the notifier
// operations do nothing. List the implemented interfaces (at least one of
// them derives from IOTANotifier); QueryInterface answers them, their
// ancestors and IInterface:
//   class TMyWizard : public TNotifierObjectOf<IOTAWizard> { ... };
#include <type_traits>

#include "rtl/InterfacedObject.h"
#include "toolsapi/Notifier.h"

template <class... Intfs>
class TNotifierObjectOf : public TInterfacedObjectOf<Intfs...> {
  static_assert((std::is_base_of_v<IOTANotifier, Intfs> || ...),
                "a notifier object implements IOTANotifier or a descendant");

 public:
  void AfterSave() override {}
  void BeforeSave() override {}
  void Destroyed() override {}
  void Modified() override {}
};

using TNotifierObject = TNotifierObjectOf<IOTANotifier>;
