#pragma once
// Writing one of the pictures qorb-ide was asked for. A picture that cannot
// be written (a folder in the way, no room, a paint that raised) is the
// IDE's error and is reported as one; what comes after it still happens.
#include <filesystem>
#include <functional>

class TIDE;

// Write makes File. False after its failure was reported.
bool WritePicture(TIDE& Ide, const std::filesystem::path& File, const std::function<void()>& Write);
