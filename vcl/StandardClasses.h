#pragma once
// The component library's own classes with their published properties:
// always registered, and the ones a layout may create by name.
#include <span>

#include "vcl/PublishedProperties.h"

std::span<const TPublishedClass* const> StandardPublishedClasses();

// Names of the library's colours (clBlack ... clWindow), for colour
// properties.
extern const TIdentMap ColorIdents;
