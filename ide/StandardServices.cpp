#include "ide/StandardServices.h"

#include "ide/AboutBoxService.h"
#include "ide/GeneralServices.h"
#include "ide/IDEServices.h"
#include "ide/MenuItemsService.h"
#include "ide/MessageView.h"
#include "ide/NativeServices.h"
#include "ide/OptionsDialog.h"
#include "ide/SplashScreenService.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "ide/WelcomePagePainter.h"
#include "ide/WelcomePageService.h"

void AddStandardServices(TIDEServices& Services) {
  Services.Add<TNativeServices>();
  Services.Add<TMenuItemsService>();
  Services.Add<TGeneralServices>();
  Services.Add<TMessageView>();
  Services.Add<TUIServices>();
  Services.Add<TThemingServices>();
  Services.Add<TAboutBoxService>();
  Services.Add<TSplashScreenService>();
  Services.Add<TOptionsDialog>();
  Services.Add<TWelcomePageService>();
  Services.Add<TWelcomePagePainter>();
}
