#pragma once
// Sets the IDE's global service variables for one test and clears them at
// its end, whatever happened.
#include "toolsapi/Globals.h"

class TIdeGlobals {
 public:
  TIdeGlobals() = default;
  ~TIdeGlobals() {
    BorlandIDEServices = nullptr;
    SplashScreenServices = nullptr;
    WelcomePagePluginService = nullptr;
  }
  TIdeGlobals(const TIdeGlobals&) = delete;
  TIdeGlobals& operator=(const TIdeGlobals&) = delete;

  template <class T>
  void Services(const ComPtr<T>& S) {
    BorlandIDEServices = S.template As<IBorlandIDEServices>();
  }
  template <class T>
  void Splash(const ComPtr<T>& S) {
    SplashScreenServices = S.template As<IOTASplashScreenServices>();
  }
  template <class T>
  void WelcomePage(const ComPtr<T>& S) {
    WelcomePagePluginService = S.template As<INTAWelcomePagePluginService>();
  }
};
