#include "explorer/transfer/KivIdeFolders.h"

#include "platform/KivDosPath.h"
#include "support/KivIDESettings.h"
#include "support/KivRegistry.h"

#include <filesystem>
#include <system_error>

std::string KivCurrentDosDir() {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::string("C:\\") : kiv::dospath::FromHost(cwd);
}

std::string KivAefPathSetting() {
    return KivIDESettings().GetString("Directories", "AEFPath", KivCurrentDosDir());
}

std::string KivRootSetting() {
    return KivIDESettings().GetString("Directories", "Root", KivCurrentDosDir());
}
