#pragma once
// Writing one of the pictures qorb-ide was asked for. A picture that cannot
// be written (a folder in the way, no room, a paint that raised) is the
// IDE's error and is reported as one; what comes after it still happens.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TIDE;

// Write makes File. False after its failure was reported.
bool WritePicture(TIDE& Ide, const std::filesystem::path& File, const std::function<void()>& Write);

// Where the picture of one named thing goes: Kind, "-", Name with letters
// and digits kept and the rest "-", ".png" ("options-Qorb-Logging.png").
// Empty when no pictures are asked for.
std::filesystem::path NamedPicturePath(TIDE& Ide, std::string_view Kind, const std::string& Name);
