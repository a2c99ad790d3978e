#pragma once
// Everything a package or plug-in needs of the IDE's open interfaces.
#include "toolsapi/BorlandIDEServices.h"
#include "toolsapi/Globals.h"
#include "toolsapi/NTAServices.h"
#include "toolsapi/Notifier.h"
#include "toolsapi/NotifierObject.h"
#include "toolsapi/OTAServices.h"
#include "toolsapi/Wizard.h"
#include "toolsapi/WizardState.h"
