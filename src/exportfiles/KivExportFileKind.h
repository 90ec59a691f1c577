#pragma once

#include <string_view>

enum class KivExportFileKind { Aef, Mef, Prg };

// What a file holds, told by its first record head alone (the readers check the rest): a header
// record of the AEF's or the MEF's length; anything else is read as PRG source.
KivExportFileKind KivExportFileKindOf(std::string_view head);
