#pragma once

#include "support/KivIniFile.h"

// The system-wide WIN.INI in the Windows directory. Reading never writes back: a missing entry
// gives the default and stays missing.
class KivWinIniFile : public KivIniFile {
public:
    KivWinIniFile() { Init(); }

    // Points the object at <Windows directory>\WIN.INI.
    void Init();

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = " ") override;
    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue = 0) override;
};
