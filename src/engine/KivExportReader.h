#pragma once

#include "engine/KivExportImage.h"

#include <cstdint>
#include <string_view>

// Reads AEF and MEF files into the engine's images. The whole file is checked before anything is
// taken from it: a bad header, a record running past the end or a missing end record refuses it.
class KivExportReader {
public:
    // An AEF: header tag 0x0001 of 32 bytes with an accepted version word, the application's
    // records, its modules from each 0x0020 record on, and the end record. Module names must be
    // present and unique (without regard to case). Returns kOk or kBadFile.
    static uint32_t ReadApplication(std::string_view bytes, KivApplicationImage& app);

    // A MEF: header tag 0x0001 of 27 bytes, the records of one named module, the end record.
    // Returns kOk or kBadFile.
    static uint32_t ReadModule(std::string_view bytes, KivModuleImage& module);

    // True when the bytes start with the head of a MEF header record.
    static bool IsModuleFile(std::string_view bytes);
};
