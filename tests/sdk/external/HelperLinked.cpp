#include "ExternalHelper.h"
#include "HelperLink.h"

int HelperAnswer() { return ExternalHelperAnswer(); }
