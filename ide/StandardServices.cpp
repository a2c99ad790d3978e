#include "ide/StandardServices.h"

#include "ide/GeneralServices.h"
#include "ide/IDEServices.h"
#include "ide/MessageView.h"
#include "ide/NativeServices.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"

void AddStandardServices(TIDEServices& Services) {
  Services.Add<TNativeServices>();
  Services.Add<TGeneralServices>();
  Services.Add<TMessageView>();
  Services.Add<TUIServices>();
  Services.Add<TThemingServices>();
  // About box, splash screen, options dialog and welcome page join here.
}
