#include "ide/StandardServices.h"

#include "ide/GeneralServices.h"
#include "ide/IDEServices.h"
#include "ide/NativeServices.h"

void AddStandardServices(TIDEServices& Services) {
  Services.Add<TNativeServices>();
  Services.Add<TGeneralServices>();
  // Message view, UI services, theming, about box, splash screen, options
  // dialog and welcome page join here.
}
