#pragma once

#include <filesystem>

// The platform home holds what the IDE's platform would keep for us: the repository, the
// registry store and WIN.INI. KIV_HOME moves it; otherwise it lives in the user's data folder.
namespace kiv::platform {

// The folder itself (not created).
std::filesystem::path Home();

// The same, created with its parents when missing; an empty path when it cannot be created.
std::filesystem::path EnsureHome();

// The folder that stands for drive C:, inside the home.
std::filesystem::path DriveC();

// The folder that stands for the Windows directory (C:\WINDOWS), where WIN.INI lives.
std::filesystem::path WindowsDir();

} // namespace kiv::platform
