#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <memory>
#include <string>
#include <vector>

class KivProgress;
class KivVOProject;
class KivVORepository;

// What a project information file (.KPI) lists, read for the import dialog and the import run.
struct KivProjectImportPlan {
    struct Entry {
        std::string section; // "APP001"
        std::string name;    // the application's name
        std::string aefPath; // the AEF file in the folder of the .KPI
        bool present = false;
    };

    std::string kpiPath;
    // The folder that holds the .KPI, with its trailing backslash.
    std::string folder;
    // The proposed project name and directory ("Prj"/"Name" and "Prj"/"Path").
    std::string name;
    std::string path;
    std::vector<Entry> entries;

    // Reads the file (DOS form). Every section but "Prj" (in any case) is an application, in file
    // order; only the file name of its "AEF" value is kept, and it is looked for in the folder
    // of the .KPI, so a copied or moved export folder imports without change. False when the
    // file does not exist.
    bool Read(const std::string& kpiFile);
    bool AllPresent() const;
};

// What the Import button of the project import found (see KivCheckProjectTarget).
enum class KivProjectTargetCheck {
    Ok,               // the project can be created
    Incomplete,       // name or path empty: nothing happens
    NameExists,       // "The Project already exist."
    PathNotEmpty,     // the person chose to stop because the folder holds files
    PathMissing,      // the folder does not exist and may not be made: nothing happens
    PathCreationError // "Path Creation Error !!"
};

// The checks of the Import button, in their order: an existing project name (compared ignoring
// case, as the repository looks names up) is refused, a folder that holds files asks the
// question whether to stop, and a missing folder is made when createPath is set.
KivProjectTargetCheck KivCheckProjectTarget(const std::string& name, const std::string& path,
                                            const std::vector<std::string>& existing, bool createPath,
                                            KivQuestion& question);
// The box a check's outcome shows the person (none for most).
std::vector<KivNotice> KivProjectTargetNotices(KivProjectTargetCheck check);

// Creates the project and imports the plan's applications into it in file order.
class KivProjectImport {
public:
    KivProjectImport(KivVORepository& repository, KivProgress& progress);

    // Done when every application came in, Cancelled when Cancel stopped the loop (the
    // applications imported so far stay), Failed when the project could not be created or an
    // import failed (message "An error occured when Importing.").
    KivTransferResult Run(const KivProjectImportPlan& plan, const std::string& name, const std::string& path);

    // The project made by the run (null when it could not be made).
    const std::shared_ptr<KivVOProject>& Project() const { return m_project; }
    size_t Imported() const { return m_imported; }
    // The application whose import failed, and the repository's text for it.
    const std::string& FailedApplication() const { return m_failedApplication; }
    const std::string& ErrorText() const { return m_errorText; }

private:
    KivVORepository& m_repository;
    KivProgress& m_progress;
    std::shared_ptr<KivVOProject> m_project;
    size_t m_imported = 0;
    std::string m_failedApplication;
    std::string m_errorText;
};
