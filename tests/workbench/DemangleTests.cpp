// The crash reports' demangler against the C++ runtime's: what it reads it
// reads the same way, it reads the names a plug-in's frames usually carry,
// and a name cut short or a buffer too small never makes it write past the
// buffer or answer half a name.
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "workbench/SignalSafeDemangle.h"

namespace {

std::string Runtime(const char* mangled) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                         &std::free);
  return status == 0 && text ? text.get() : std::string();
}

std::string Ours(const char* mangled, size_t size = 512) {
  char out[512];
  return DemangleSignalSafe(mangled, out, size) ? std::string(out) : std::string();
}

// Names as g++ gives them to the kinds of functions a crash lands in.
const char* const kRead[] = {
    "_ZN12_GLOBAL__N_15FaultEv",
    "_ZN12_GLOBAL__N_15FaultEPKc",
    "_ZN17TLoadedPluginList16GetLoadedPluginsEv",
    "_ZN18TQorbPluginService14GetPluginInfosER22TQorbPluginServiceInfo",
    "_ZL8ScanLoopPv",
    "_Z3addii",
    "_ZNK3Foo3getEv",
    "_ZN3FooC2Ev",
    "_ZN3FooD0Ev",
    "_ZN2ns3FooIiEC1ERKS1_",
    "_ZN3Foo3barERKS_PS_",
    "_ZN3FooaSEOS_",
    "_ZN3FooclEi",
    "_ZNSt6vectorIiSaIiEE9push_backERKi",
    "_ZNKSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE4sizeEv",
    "_Z4sortISt6vectorIiSaIiEEEvRT_",
    "_Z3maxIiET_S0_S0_",
    "_ZZ4mainENKUlvE_clEv",
    "_ZZN3Foo3runEvENKUliE0_clEi",
    "_ZN3Foo3runEv.cold",
    "_ZN3Foo3runEv.constprop.0",
    "_ZN3Foo3runB5cxx11Ev",
    "_ZThn8_N3Foo3runEv",
    "_ZTV3Foo",
    "_ZN5ArrayILi4ELb1EE4fillEj",
    "_Z8OnChangeSt8functionIFvRK3FooEE",
    "_ZTIZ4MakeIiE6ResultIT_EvE5TImpl",
    "_ZNSt6vectorIiSaIiEE17_M_realloc_insertIJRKiEEEvN9__gnu_cxx17__normal_iteratorIPiS1_EEDpOT_",
    "_Z1fPVKcRA_i",  // an array reference: not read
    "_Z1fPFviE",
    "_ZN12_GLOBAL__N_15EnterERK12TForeignCallPFvPvES3_RNSt15__exception_ptr13exception_ptrE",
};

}  // namespace

TEST(Demangle, ReadsWhatTheRuntimeReadsAndTheSameWay) {
  int read = 0;
  for (const char* name : kRead) {
    const std::string ours = Ours(name);
    if (ours.empty()) continue;
    ++read;
    EXPECT_EQ(ours, Runtime(name)) << name;
  }
  EXPECT_GE(read, 29) << "the common cases are read";
  EXPECT_EQ(Ours("_ZN12_GLOBAL__N_15FaultEv"), "(anonymous namespace)::Fault()");
  EXPECT_EQ(Ours("_ZZ4mainENKUlvE_clEv"), "main::{lambda()#1}::operator()() const");
}

TEST(Demangle, AnythingElseIsLeftAsItIs) {
  // The last: a literal template argument cut after its L (found by fuzzing:
  // read past the name's end).
  for (const char* name : {"InitPlugin", "WriteThrough.constprop.0", "_Z", "_ZN3Foo3bar", "_ZNK", "_Z3fooM3FooFvvE", "",
                           "_ZZ3ntI5TsZ2%1ZIL"}) {
    char text[256];
    std::strcpy(text, name);
    DemangleInPlace(text, sizeof text);
    EXPECT_STREQ(text, name);
  }
}

TEST(Demangle, CutNamesAndSmallBuffersNeverOverrun) {
  for (const char* name : kRead) {
    const std::string whole = name;
    const std::string full = Ours(name);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
      const std::string part = whole.substr(0, cut);
      const std::string ours = Ours(part.c_str());
      // A prefix may be a name of its own; then the runtime agrees.
      if (!ours.empty()) {
        EXPECT_EQ(ours, Runtime(part.c_str())) << part;
      }
    }
    if (full.empty()) continue;
    for (size_t size = 0; size <= full.size() + 1; ++size) {
      char out[600];
      std::memset(out, 'x', sizeof out);
      const bool fits = DemangleSignalSafe(name, out, size);
      // Text read but not shown (a local name's return type) needs room too.
      if (size <= full.size()) {
        EXPECT_FALSE(fits) << name << " in " << size;
      }
      EXPECT_EQ(out[size], 'x') << "wrote past " << size << " for " << name;
      if (fits) {
        EXPECT_EQ(std::string(out), full);
      }
    }
  }
  // Deep nesting ends in a refusal, not in a stack overflow.
  std::string deep = "_Z1f";
  for (int i = 0; i < 5000; ++i) deep += "P";
  deep += "i";
  EXPECT_EQ(Ours(deep.c_str()), "");
}
