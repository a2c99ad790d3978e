#pragma once
// A library of the author's own, found beside the plug-in that links it.
int ExternalHelperAnswer();
