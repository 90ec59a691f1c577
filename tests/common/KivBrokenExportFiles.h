#pragma once

#include <ostream>
#include <string>
#include <vector>

// What a reader makes of a broken export file: Refused, it is no file of its kind (the reader is
// not valid); Damaged, it opens and shows what it could read, Success is false and ErrorString
// starts "Damaged". The engine's import takes neither: it refuses the file (kBadFile) and
// changes nothing.
enum class KivVerdict { Refused, Damaged };

// One fault, in an AEF and (where the fault can be made there) in a MEF, with the verdicts of
// KivAEFFile and KivMEFFile; the engine's import refuses every one. The damaged files are built on one
// application and one module:
//   AEF: App (APP.EXE), module First with entities A and B, module Second with C, then the fault
//        (D is the entity behind it);
//   MEF: module Mod with A and B, then the fault (C behind it).
struct KivBrokenExportFile {
    const char* what;
    std::string aef;
    std::string mef; // empty: the fault has no MEF form the engine would take for a MEF
    KivVerdict aefFile;
    KivVerdict mefFile;
    // What a damaged file still shows: the AEF's modules, the entities of its second module and
    // whether that module is whole, the MEF's entities.
    std::vector<std::string> modules;
    std::vector<std::string> second;
    bool secondWhole = false;
    std::vector<std::string> entities;
};

inline void PrintTo(const KivBrokenExportFile& file, std::ostream* os) {
    *os << file.what;
}

const std::vector<KivBrokenExportFile>& KivBrokenExportFiles();

// The source the damaged files give their entity of this name.
std::string KivBrokenExportSource(const std::string& entity);
