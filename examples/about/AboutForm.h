#pragma once
// The dialog as the user sees it, built from standard controls: the
// product, its version and maker, then one row per plug-in with its icon,
// and a button.
#include <memory>

#include "examples/about/AboutData.h"
#include "vcl/Forms.h"

std::unique_ptr<TForm> CreateAboutForm(const TAboutData& AData);
