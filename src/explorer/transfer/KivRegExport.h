#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <array>
#include <string>
#include <vector>

class KivRegistry;

// Writes chosen groups of the IDE settings into one REGEDIT4 file. The nine groups are those of
// the registry export dialog, in its order; the ninth is every "-DeskTop" key of the settings.
class KivRegExport {
public:
    static constexpr size_t kGroups = 9;
    using Choice = std::array<bool, kGroups>;

    // The check box text of a group (0-based).
    static const char* GroupText(size_t group);
    // The subkey a group exports; empty for the ninth, which exports the "-DeskTop" keys.
    static const char* GroupKey(size_t group);
    // The settings' "-DeskTop" keys in their enumeration order (the suffix in any letter case,
    // as the registry compares names).
    static std::vector<std::string> DeskTopKeys(KivRegistry& settings);

    // Writes the header, then the chosen groups in table order, each with its subkeys. A group
    // whose key is missing is left out without a word. Failed when the file cannot be written.
    KivTransferResult Run(KivRegistry& settings, const Choice& choice, const std::string& fileName);
};
