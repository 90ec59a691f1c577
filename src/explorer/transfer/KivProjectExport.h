#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <memory>
#include <string>
#include <vector>

class KivProgress;
class KivVOApplication;
class KivVOProject;
class KivVORepository;

// The name an application's AEF file is known by: its recorded export file name, or its name
// followed by ".AEF" when none is recorded. The log shows it as "Exp Name".
std::string KivAefName(const KivVOApplication& application);

// The file name (no folder) an AEF name is written under: its last component made safe with
// KivSafeFileName. A recorded name that ends in a folder gives the application's name + ".AEF".
std::string KivAefFileName(const KivVOApplication& application);

// Exports every application of one project as an AEF file into base\project, with the project's
// log (project.log) and information file (project.KPI). The person's answers (folder, "Abort On
// Error") come in as arguments; progress and Cancel go through the progress interface.
class KivProjectExport {
public:
    KivProjectExport(std::shared_ptr<KivVOProject> project, KivProgress& progress);

    // base must be an existing folder (DOS form). The outcome is Cancelled or Aborted when the
    // loop was stopped, Failed when the folder could not be made, an application could not be
    // exported, or the log or the information file could not be written in full.
    KivTransferResult Run(const std::string& baseFolder, bool abortOnError);

    // True when the loop went through every application and the information file is on disk:
    // the folder can be imported again. "Export All" stops at a project for which it is false.
    bool WentThrough() const { return m_wentThrough; }
    const std::string& ProjectFolder() const { return m_folder; }
    const std::string& KpiPath() const { return m_kpiPath; }
    // Applications exported and skipped as system libraries in this run.
    int Exported() const { return m_exported; }
    int Skipped() const { return m_skipped; }

private:
    // The target path of an application in the project folder, unique in this run.
    std::string Target(const KivVOApplication& application);

    std::shared_ptr<KivVOProject> m_project;
    KivProgress& m_progress;
    std::string m_folder;
    std::string m_kpiPath;
    bool m_wentThrough = false;
    int m_exported = 0;
    int m_skipped = 0;
    // Upper-case file names given out so far, and the target of each application by ID.
    std::vector<std::string> m_usedNames;
    std::vector<std::pair<uint16_t, std::string>> m_targets;
};

// Exports every project of the repository, in catalogue order, each into its own folder below
// baseFolder, which is made when missing. Each project is made the selected one before its
// export; the run stops at the first project that does not go through, with the message
// "Operation Aborted.". `perProject` (optional) receives each project's result in order.
KivTransferResult KivExportAllProjects(KivVORepository& repository, const std::string& baseFolder,
                                       bool abortOnError, KivProgress& progress,
                                       std::vector<KivTransferResult>* perProject = nullptr);
