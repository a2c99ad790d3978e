#pragma once
// The icon a new plug-in project starts with: a 32x32 PNG.
#include <string_view>

std::string_view PluginIconPng();
