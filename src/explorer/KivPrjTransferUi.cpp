#include "explorer/KivPrjTransferUi.h"

#include "explorer/dialogs/ImportPrj.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/dialogs/SourceDlg.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "explorer/transfer/KivProjectExport.h"
#include "explorer/transfer/KivProjectImport.h"
#include "platform/KivWholeFile.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivMessage.h"
#include "support/KivPrompt.h"

bool KivRunExportPrj(QWidget* owner, KivVORepository& repository, const std::string& baseFolder,
                     bool abortOnError, bool interactive) {
    auto project = repository.CurrentProject();
    if (!project)
        return false;
    KivTransferResult result;
    bool wentThrough = false;
    {
        ImportProgress progress(owner);
        KivProjectExport run(project, progress);
        result = run.Run(baseFolder, abortOnError);
        wentThrough = run.WentThrough();
    }
    if (wentThrough && interactive &&
        KivMessageYesNo("Do you wish to view the log file ?", "Export Project")) {
        SourceDlg viewer(owner);
        viewer.Caption("Export Project : " + project->Name());
        viewer.Text(kiv::platform::KivReadWholeFile(result.logPath));
        viewer.exec();
    }
    return wentThrough;
}

void KivRunExportAllPrj(QWidget* owner, KivVORepository& repository, const std::string& baseFolder,
                        bool abortOnError) {
    KivTransferResult result;
    {
        ImportProgress progress(owner);
        result = KivExportAllProjects(repository, baseFolder, abortOnError, progress);
    }
    if (!result.message.empty())
        KivMessageAlert(result.message, "Error");
}

bool KivRunImportPrj(QWidget* owner, KivVORepository& repository) {
    auto file = KivPrompt().OpenFile("Open", "Kiv Project Information (*.KPI)", KivAefPathSetting());
    if (!file)
        return false;
    KivProjectImportPlan plan;
    if (!plan.Read(*file))
        return false;
    std::string name, path;
    {
        ImportPrj dialog(owner);
        dialog.aExisting = repository.ProjectNameList();
        dialog.Fill(plan);
        if (dialog.exec() != 1)
            return false;
        name = dialog.PrjName();
        path = dialog.PrjPath();
    }
    ImportProgress progress(owner);
    KivProjectImport run(repository, progress);
    KivTransferResult result = run.Run(plan, name, path);
    if (!run.Project())
        return false;
    if (result.outcome == KivTransferOutcome::Failed) {
        KivMessageAlert(result.message, "Error");
        return false;
    }
    return true;
}
