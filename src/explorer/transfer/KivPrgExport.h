#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class KivEntityAbstract;
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

    // The PRG text Run writes for a module's entities: the source of each code entity and CR LF,
    // in list order. Bar 1 follows the entities; false when a cancel stopped it. `saved` counts
    // the entities written.
    static bool ModuleSource(const std::vector<std::shared_ptr<KivEntityAbstract>>& entities,
                             KivProgress& progress, std::string& source, size_t& saved);

    // Two module names may map onto one file name (letter case, or characters the host cannot
    // store made safe): the later one gets "_2", "_3", ... instead of overwriting the earlier's
    // file. `used` holds the bases given so far in the run.
    static std::string UniqueFileBase(const std::string& safeName, std::set<std::string>& used);
};
