#include "rtl/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeinfo>

#include "rtl/OwnMutex.h"

namespace {
std::string Demangle(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> d(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                &std::free);
  std::string s = (status == 0 && d) ? d.get() : mangled;
  // Drop template arguments and namespaces: classes are known by short names.
  if (auto lt = s.find('<'); lt != std::string::npos) s.erase(lt);
  if (auto colon = s.rfind("::"); colon != std::string::npos) s.erase(0, colon + 2);
  return s;
}
}  // namespace

const char16_t* ClassNameOf(const std::type_info& type) {
  // Keyed by the mangled name copied into the map, so types of unloaded
  // modules leave no dangling key behind.
  // One of ours: plug-ins ask too, and a fault under it is never theirs.
  static TMutex lock;
  static std::map<std::string, std::u16string> names;
  const std::lock_guard guard(lock);
  auto [it, inserted] = names.try_emplace(type.name());
  if (inserted) it->second = Utf8ToUtf16(Demangle(type.name()));
  return it->second.c_str();
}

UnicodeString DemangledTypeName(const std::type_info& type) { return UnicodeString(ClassNameOf(type)); }

const char16_t* TObject::ClassNamePtr() const { return ClassNameOf(typeid(*this)); }

TObject::~TObject() = default;
