// The C header describes the same records as the C++ headers, and compiles
// as C++ too.
#include "qorb_plugin.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "sdk/Qorb.Plugin.EventBus.h"

#define SAME_FIELD(C, Cpp, f) static_assert(offsetof(C, f) == offsetof(Cpp, f))
static_assert(sizeof(QorbGUID) == sizeof(GUID));
static_assert(sizeof(QorbGetInterface) == sizeof(TGetInterface));
static_assert(sizeof(QorbEventHandler) == sizeof(TQorbEventHandler));
static_assert(sizeof(QorbStrRec) == sizeof(StrRec));
static_assert(sizeof(QorbArrayRec) == sizeof(DynArrayRec));
static_assert(sizeof(QorbModuleInfo) == sizeof(TQorbModuleInfo));
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Name);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Version);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Company);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Copyright);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Description);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, Comments);
SAME_FIELD(QorbModuleInfo, TQorbModuleInfo, FilePath);
static_assert(sizeof(QorbPluginServiceInfo) == sizeof(TQorbPluginServiceInfo));
SAME_FIELD(QorbPluginServiceInfo, TQorbPluginServiceInfo, Plugins);

// Method tables: three IInterface slots, then the operations in order.
static_assert(offsetof(QorbMainFunctionsVtbl, AddMenuItem) == 3 * sizeof(void*));
static_assert(offsetof(QorbMainFunctionsVtbl, LogError) == 9 * sizeof(void*));
static_assert(offsetof(QorbPluginServiceVtbl, GetPluginInfos) == 3 * sizeof(void*));
static_assert(offsetof(QorbEventBusVtbl, Publish) == 5 * sizeof(void*));

namespace {
QORB_STRING_CONST(kConstant, u"usable from C++");
static_assert(sizeof(kConstant_storage.text) == sizeof(u"usable from C++"));
}  // namespace

bool SameIids() {
  return qorb_guid_equal(&IID_IQorbMainFunctions, reinterpret_cast<const QorbGUID*>(&IQorbMainFunctions::IID)) &&
         qorb_guid_equal(&IID_IQorbPluginService, reinterpret_cast<const QorbGUID*>(&IQorbPluginService::IID)) &&
         qorb_guid_equal(&IID_IQorbEventBus, reinterpret_cast<const QorbGUID*>(&IQorbEventBus::IID)) &&
         qorb_guid_equal(&IID_IQorbEvent, reinterpret_cast<const QorbGUID*>(&IQorbEvent::IID)) &&
         qorb_guid_equal(&IID_IInterface, reinterpret_cast<const QorbGUID*>(&IInterface::IID)) &&
         qorb_string_length(kConstant) == 15;
}
