#pragma once

#include <cstdint>
#include <string>

// The product version an export file's header word names: bit 7 set, and with it cleared 0x0100
// or 0x0200. Empty for any other word, which the readers refuse.
inline std::string KivExportVersion(uint16_t word) {
    if ((word & 0x0080) == 0)
        return {};
    switch (word & ~0x0080) {
    case 0x0100:
        return "CA-Visual Objects 1.0";
    case 0x0200:
        return "CA-Visual Objects 2.0";
    default:
        return {};
    }
}
