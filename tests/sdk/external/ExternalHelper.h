#pragma once
// A library of the author's own, in the plug-in's folder. A C name, so that
// a plug-in that loads it by hand finds the function by that name.
extern "C" int ExternalHelperAnswer();
