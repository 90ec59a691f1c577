#include "platform/KivPlatformHome.h"

#include <cstdlib>
#include <system_error>

namespace kiv::platform {

std::filesystem::path Home() {
    if (const char* home = std::getenv("KIV_HOME"); home && *home)
        return std::filesystem::path(home);
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "kiv";
    if (const char* user = std::getenv("HOME"); user && *user)
        return std::filesystem::path(user) / ".local" / "share" / "kiv";
    // No home at all (a stripped service environment): the working directory is all we have.
    return std::filesystem::current_path() / ".kiv";
}

std::filesystem::path EnsureHome() {
    std::filesystem::path home = Home();
    std::error_code ec;
    std::filesystem::create_directories(home, ec);
    if (!std::filesystem::is_directory(home, ec))
        return {};
    return home;
}

std::filesystem::path DriveC() { return Home() / "drive_c"; }

std::filesystem::path WindowsDir() { return DriveC() / "WINDOWS"; }

} // namespace kiv::platform
