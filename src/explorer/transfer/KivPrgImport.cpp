#include "explorer/transfer/KivPrgImport.h"

#include "explorer/transfer/KivKeaPlan.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "support/KivProgress.h"

KivTransferResult KivPrgImport::Run(const KivKeaPlan& plan, KivVOProject& project, KivProgress& progress,
                                    KivQuestion& question) {
    KivTransferResult result;
    m_application.reset();
    if (!plan.CanImport()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = plan.AppInfo();
        return result;
    }
    // Modules listed and none of their files found: the import would leave an empty application
    // behind and pass for done.
    if (!plan.modules.empty() && plan.ModulesToCreate() == 0) {
        result.message = "No module file was found.\r\nOperation Aborted !";
        result.notices.push_back(KivNotice::Stop(result.message, plan.cAppName));
        result.outcome = KivTransferOutcome::Failed;
        return result;
    }
    m_application = project.ApplicationCreate(plan.cAppName);
    if (!m_application) {
        result.message = "Application Create Error.\r\nOperation Aborted !";
        result.notices.push_back(KivNotice::Stop(result.message, plan.cAppName));
        result.outcome = KivTransferOutcome::Failed;
        return result;
    }
    KivVOApplication& application = *m_application;
    application.LibraryNameList(plan.libraryNames);
    application.UDCNameList(plan.udcNames);
    application.CHNameList(plan.chNames);

    progress.SetRange(0, 1, static_cast<uint32_t>(plan.ModulesToCreate()));
    uint32_t position = 0;
    for (const KivKeaItem& item : plan.modules) {
        if (item.missing)
            continue;
        ++position;
        auto module = application.ModuleCreate(item.label);
        if (module) {
            module->ExternalFile(item.file);
            // A module the engine could not bind is as good as not made: it would stand empty
            // in the application with no file behind it.
            if (!module->Success()) {
                application.ModuleDelete(module);
                module.reset();
            }
        }
        if (!module) {
            ++result.errors;
            if (question.YesNo("Module Create Error.\r\nAbort Operation ?", item.label)) {
                result.outcome = KivTransferOutcome::Aborted;
                result.message = "Module Create Error: " + item.label;
                break;
            }
            continue;
        }
        progress.SetPosition(0, position);
        progress.SetText(0, item.label);
        if (progress.CancelRequested()) {
            result.outcome = KivTransferOutcome::Cancelled;
            break;
        }
    }
    if (!application.Flush() && result.outcome == KivTransferOutcome::Done) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = application.ErrorString();
    }
    if (result.outcome == KivTransferOutcome::Done && result.errors > 0) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = std::to_string(result.errors) + " module(s) could not be created.";
    }
    return result;
}
