#include "support/KivWinIniFile.h"

#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"
#include "support/KivPathUtil.h"

void KivWinIniFile::Init() {
    std::string path = KivConcatDir(kiv::dospath::FromHost(kiv::platform::WindowsDir()), "WIN.INI");
    _SetPath(path, path);
    // The Windows directory always exists on the platform; here it is made when first needed.
    _File().MakeFolderOnWrite(true);
}

std::string KivWinIniFile::GetString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) {
    return _ReadString(section, key, defaultValue, false);
}

int32_t KivWinIniFile::GetInt(std::string_view section, std::string_view key, int32_t defaultValue) {
    return _ReadInt(section, key, defaultValue, false);
}
