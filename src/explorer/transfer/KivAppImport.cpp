#include "explorer/transfer/KivAppImport.h"

#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "support/KivIniFile.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Only the file name and extension of a recorded AEF name count: the file is looked for beside
// the .KAI, wherever it was written.
std::string BesideKai(const std::string& folder, const std::string& recorded) {
    return KivConcatDir(folder, KivExtractFileInfo(recorded));
}

// A regular file: an empty AEF value names the folder itself, which cannot be imported.
bool FileExists(const std::string& dosPath) {
    const auto host = kiv::dospath::Resolve(dosPath);
    std::error_code ec;
    return host && std::filesystem::is_regular_file(*host, ec);
}

} // namespace

bool KivAppImportPlan::Rename(const std::string& name) {
    if (name.empty() || name == appName)
        return false;
    // The repository finds applications ignoring case: a name that differs only in case would
    // replace the existing application on import.
    if (std::any_of(existing.begin(), existing.end(),
                    [&](const std::string& other) { return KivEqualsIgnoringCase(other, name); }))
        return false;
    appName = name;
    renamed = true;
    return true;
}

KivAppImportPlan KivPlanAppImport(const std::string& kaiPath, KivVOProject& project) {
    KivAppImportPlan plan;
    KivIniFile ini(kaiPath);
    plan.kaiPath = ini.FullPath();
    plan.folder = KivExtractFilePath(plan.kaiPath);
    plan.fileAppName = ini.GetString("APP", "Name", "");
    plan.appName = plan.fileAppName;
    plan.appAef = BesideKai(plan.folder, ini.GetString("APP", "AEF", ""));
    if (project.ApplicationFind(plan.appName)) {
        plan.appExists = true;
        plan.existing = project.ApplicationNameList();
    }
    for (const std::string& section : ini.GetSections()) {
        if (KivEqualsIgnoringCase(section, "APP"))
            continue;
        KivAppImportLibrary library;
        library.section = section;
        library.name = ini.GetString(section, "Name", "");
        library.aef = BesideKai(plan.folder, ini.GetString(section, "AEF", ""));
        if (!FileExists(library.aef)) {
            library.state = KivAppImportLibrary::Missing;
            if (plan.allPresent)
                plan.firstMissing = static_cast<int>(plan.libraries.size());
            plan.allPresent = false;
        } else if (project.ApplicationFind(library.name)) {
            library.state = KivAppImportLibrary::Existing;
            plan.anyExists = true;
        } else {
            library.state = KivAppImportLibrary::New;
        }
        plan.libraries.push_back(std::move(library));
    }
    return plan;
}

KivTransferResult KivRunAppImport(const KivAppImportPlan& plan, KivExistingChoice choice,
                                  KivVOProject& project, KivProgress& progress, KivQuestion& question) {
    KivTransferResult result;
    if (!plan.CanImport()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Application already exist.";
        return result;
    }
    progress.SetCaption("Importing " + plan.appName);
    progress.SetLabel(0, "Library :");
    progress.SetRange(0, 1, static_cast<uint32_t>(plan.libraries.size() + 1));

    bool cancelled = false;
    bool aborted = false;
    for (size_t i = 0; i < plan.libraries.size(); ++i) {
        const KivAppImportLibrary& library = plan.libraries[i];
        progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        progress.SetText(0, library.name);
        if (progress.CancelRequested()) {
            cancelled = true;
            break;
        }
        uint32_t replace = 1;
        if (library.state == KivAppImportLibrary::Missing)
            continue;
        if (library.state == KivAppImportLibrary::Existing) {
            if (choice == KivExistingChoice::Keep)
                continue;
            replace = choice == KivExistingChoice::Merge ? 0 : 1;
        }
        if (project.ImportApplication(library.name, library.aef, replace, 0))
            continue;
        ++result.errors;
        if (question.YesNo("Library Import Error.Abort Operation ?", library.name)) {
            aborted = true;
            break;
        }
    }

    if (cancelled) {
        result.outcome = KivTransferOutcome::Cancelled;
        return result;
    }
    if (aborted) {
        result.outcome = KivTransferOutcome::Aborted;
        result.message = "Library Import Error.";
        return result;
    }
    if (!project.ImportApplication(plan.appName, plan.appAef, 1, 0)) {
        ++result.errors;
        result.message = "Application Import Error.";
        result.notices.push_back(KivNotice::Alert(result.message, plan.appName));
    }
    if (result.errors > 0) {
        result.outcome = KivTransferOutcome::Failed;
        if (result.message.empty())
            result.message = "Library Import Error.";
    }
    return result;
}
