#pragma once

#include <optional>
#include <string>

enum class KivExportKind { Aef, Mef, Prg };

// What kind of export file `file` (a DOS path) is: its first record head tells an AEF or a MEF,
// anything else is read as PRG source; nullopt when the file cannot be opened. Only the head is
// looked at: the readers check the rest.
std::optional<KivExportKind> KivExportFileKind(const std::string& file);
