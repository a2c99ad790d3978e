#pragma once
// The helper library's answer, reached as the platform's loader allows: on
// Linux the plug-in links it ($ORIGIN finds it beside the plug-in), on
// Windows the plug-in loads it from its own folder itself.
int HelperAnswer();
