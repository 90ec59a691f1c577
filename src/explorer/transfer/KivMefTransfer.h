#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class KivProgress;
class KivVOApplication;
class KivVOProject;

// What happened to one file of a module import or export. Paths are DOS form.
struct KivMefFileOutcome {
    std::string file;
    std::string module;
    uint32_t entities = 0;
    // Empty when the file was imported or written; otherwise why not.
    std::string error;
};

// The report of a module import or export as lines of text (CR LF): the title, the application,
// then per file its module and entity count, or "-->Error" and why.
std::string KivMefLog(const std::string& title, const std::string& applicationName,
                      const std::vector<KivMefFileOutcome>& files);

// Brings a source-control folder (one MEF file per module) into an application: each MEF
// becomes a module, replacing a module of the same name.
class KivMefImport {
public:
    // The MEF files the paths (DOS form) stand for, in their order: a file stands for itself, a
    // folder for every *.MEF in it (extension in any letter case), in name order. The first path
    // that is neither goes into `missing`, and nothing is given.
    static std::vector<std::string> FilesOf(const std::vector<std::string>& paths, std::string& missing);

    // Imports the files into the project's application of that name, which is made (as an
    // executable) when the project has none. A file that is damaged or no valid MEF changes
    // nothing for its module; its reason is kept and the others go on. Bar 0 follows the files.
    // Failed when the application cannot be made or any file failed; Cancelled leaves the
    // modules imported so far.
    KivTransferResult Run(KivVOProject& project, const std::string& applicationName,
                          const std::vector<std::string>& files, KivProgress& progress);

    const std::vector<KivMefFileOutcome>& Files() const { return m_files; }
    // The application the modules went into; null when it could not be found or made.
    const std::shared_ptr<KivVOApplication>& Application() const { return m_application; }

private:
    std::vector<KivMefFileOutcome> m_files;
    std::shared_ptr<KivVOApplication> m_application;
};

// Writes an application as a source-control folder: one MEF per module in
// <base folder>\<application name>, named after the module as every transfer names its files,
// and with `withPrg` the module's PRG source beside it as the PRG export writes it. A MEF holds
// every record the module was imported with, in its order.
class KivMefExport {
public:
    static std::string OutputFolder(const std::string& baseFolder, const std::string& applicationName);

    // Bar 0 follows the modules, bar 1 the entities of a PRG being made. Failed when the folder
    // cannot be made or a file cannot be written; the run goes on with the next module.
    KivTransferResult Run(KivVOApplication& application, const std::string& baseFolder, bool withPrg,
                          KivProgress& progress);

    // One entry per file written or tried, MEF then PRG per module.
    const std::vector<KivMefFileOutcome>& Files() const { return m_files; }
    // MEF files of the folder that no module wrote in this run (a module deleted or renamed since
    // an earlier export), in name order. They are left in place: an import of the folder would
    // bring them back, so they are named.
    const std::vector<std::string>& Stale() const { return m_stale; }

private:
    std::vector<KivMefFileOutcome> m_files;
    std::vector<std::string> m_stale;
};
