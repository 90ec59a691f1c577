#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <string>
#include <vector>

class KivProgress;
class KivVOApplication;

// Writes one application as plain source: one PRG file per module with the source of its code
// entities, the external-application file (.KEA) that lists the application's settings and
// modules, and a log, all in <base folder>\<application name>.
class KivPrgExport {
public:
    // False, without a word, for no application or an invalid one; false with the error box in
    // `refusal` for a system library, which cannot be exported.
    static bool CanExport(const KivVOApplication* application, std::vector<KivNotice>& refusal);

    // The folder Run writes to.
    static std::string OutputFolder(const std::string& baseFolder, const std::string& applicationName);

    // Bar 0 follows the modules, bar 1 the entities of the module being read. A cancel leaves
    // what was written so far: the PRG files of the finished modules, and the .KEA and log up to
    // the module being read. Failed when the folder cannot be made or a file cannot be written
    // (the log says which, when it can still be written).
    KivTransferResult Run(KivVOApplication& application, const std::string& baseFolder,
                          KivProgress& progress);
};
