#pragma once
// The suite's entries on the IDE's splash screen and in its About box: the
// title, the host package's version and a small logo made from the PNG
// "QORBSUITELOGO" in the package's resources.
#include "plugins/Qorb.Main.VersionInfo.h"
#include "rtl/UnicodeString.h"
#include "vcl/Colors.h"

class TBitmap;

// Package load: one splash entry (when the IDE shows a splash screen and the
// logo can be made) and one About-box entry (with or without logo).
void RegisterBranding();
// Package unload: removes the About-box entry and deletes its logo. Without
// an entry it touches nothing; calling it again is harmless.
void UnregisterBranding();

// The box rule: every pixel of Dest (24 bits) is the alpha-weighted mean
// colour of the block of Source pixels (32 bits, straight alpha) it covers,
// or Background where that block is on average less than half opaque.
// Raises EInvalidGraphicOperation for other pixel formats.
void ReduceLogo(const TBitmap& Source, TBitmap& Dest, TColor Background);

// The About-box description: the suite's line, then the company and the
// copyright when they are not empty, then the maker's web address; lines
// end in CR LF.
UnicodeString BrandingDescription(const TQorbVersionInfo& Info);
