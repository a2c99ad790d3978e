#pragma once
// The folder of the running program: the IDE's root, where its package and
// Plugins/ are looked for. The current folder when it cannot be told.
#include <filesystem>

std::filesystem::path ExecutableDirectory();
