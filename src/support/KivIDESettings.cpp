#include "support/KivIDESettings.h"

#include "support/KivRegistry.h"

#include <memory>

namespace {

std::unique_ptr<KivRegistry>& Settings() {
    static std::unique_ptr<KivRegistry> settings;
    return settings;
}

} // namespace

void KivOpenIDESettings() {
    Settings() = std::make_unique<KivRegistry>(KIV_IDE_SETTINGS_KEY, kiv::reg::kCurrentUser);
}

void KivCloseIDESettings() {
    Settings().reset();
}

KivRegistry& KivIDESettings() {
    if (!Settings())
        KivOpenIDESettings();
    return *Settings();
}
