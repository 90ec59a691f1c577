#include "explorer/KivPrgTransferFlows.h"

#include "explorer/dialogs/ExportProgress.h"
#include "explorer/dialogs/ExportRegistry.h"
#include "explorer/dialogs/ImportList.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/dialogs/SourceDlg.h"
#include "explorer/transfer/KivDeleteProject.h"
#include "explorer/transfer/KivExportPath.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "explorer/transfer/KivKeaPlan.h"
#include "explorer/transfer/KivPrgExport.h"
#include "explorer/transfer/KivPrgImport.h"
#include "explorer/transfer/KivRegExport.h"
#include "platform/KivWholeFile.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIDESettings.h"
#include "support/KivMessage.h"
#include "support/KivPathUtil.h"
#include "support/KivPrompt.h"
#include "support/KivRegistry.h"

void KivExportAsPrgRun(KivVOApplication& application, const std::string& baseFolder, QWidget* owner) {
    KivTransferResult result;
    {
        ExportProgress progress(owner);
        result = KivPrgExport().Run(application, baseFolder, progress);
    }
    // Without a log there is nothing to offer; say why rather than end without a word.
    if (result.logPath.empty()) {
        KivMessageAlert(result.message, "Export as Prg");
        return;
    }
    if (result.outcome == KivTransferOutcome::Failed)
        KivMessageAlert(result.message, "Export as Prg");
    if (!KivMessageYesNo("Do you wish to view the log file ?", "Export as Prg"))
        return;
    SourceDlg viewer(owner);
    viewer.Caption("Export as Prg : " + application.Name());
    viewer.Text(kiv::platform::KivReadWholeFile(result.logPath));
    viewer.exec();
}

bool KivImportAsPrgFlow(KivVORepository& repository, QWidget* owner) {
    const std::string start = KivAefPathSetting();
    const std::string binFolder = KivConcatDir(KivRootSetting(), "Bin");
    auto file = KivPrompt().OpenFile("Open", "Kiv External Application (*.KEA)", start);
    if (!file)
        return false;
    auto project = repository.CurrentProject();
    if (!project)
        return false;
    KivKeaPlan plan = KivKeaPlan::Read(*file, *project, binFolder);
    {
        ImportList summary(plan, owner);
        if (summary.exec() != 1)
            return false;
    }
    KivPrgImport import;
    KivTransferResult result;
    {
        ImportProgress progress(owner);
        KivMessageQuestion question;
        result = import.Run(plan, *project, progress, question);
    }
    KivShowNotices(result.notices);
    return import.Application() != nullptr;
}

void KivSaveRegFlow(QWidget* owner) {
    KivRegExport::Choice choice;
    {
        ExportRegistry dialog(owner);
        if (dialog.exec() == 0)
            return;
        choice = dialog.Choice();
    }
    const std::string folder = KivAefPathSetting();
    auto file = KivPrompt().SaveFile("Save As", "Registry File (*.REG)", KivConcatDir(folder, "*.reg"));
    if (!file)
        return;
    KivTransferResult result = KivRegExport().Run(KivIDESettings(), choice, *file);
    // A file that could not be written must not pass for a saved one.
    if (!result.Done())
        KivMessageAlert(result.message, "Error");
}

void KivExportPathRun(KivVORepository& repository, const std::string& folder) {
    auto project = repository.CurrentProject();
    if (!project)
        return;
    KivTransferResult result = KivExportPath().Run(*project, folder);
    if (!result.Done()) {
        KivMessageAlert(result.message, "Export FileName");
        return;
    }
    KivMessageInfo("The new path has been set for all applications.", "Export FileName");
}

bool KivDeletePrjFlow(KivVORepository& repository) {
    KivDeleteProject tool;
    KivMessageQuestion question;
    KivTransferResult result = tool.Run(repository, question);
    KivShowNotices(result.notices);
    if (result.outcome == KivTransferOutcome::Failed && !tool.Neighbour().empty())
        KivMessageAlert(result.message, "Delete Project");
    return result.Done();
}
