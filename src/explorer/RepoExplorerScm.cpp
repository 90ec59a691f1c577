// Source-control folders: modules in and out as MEF files, and the comparison of the selected
// application or module with a file.
#include "explorer/RepoExplorer.h"

#include "explorer/dialogs/CompareDlg.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/ExportModules.h"
#include "explorer/dialogs/ExportProgress.h"
#include "explorer/dialogs/ImportModules.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/transfer/KivMefTransfer.h"
#include "explorer/transfer/KivModuleCompare.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "support/KivMessage.h"
#include "support/KivPrompt.h"

#include <QCheckBox>

namespace {

// Ends a run the way the other transfers end theirs: a failure is said, the log is offered.
void Finish(RepoExplorer& explorer, const KivTransferResult& result, const std::string& caption,
            const std::string& log) {
    if (result.outcome == KivTransferOutcome::Failed && !result.message.empty())
        KivMessageAlert(result.message, caption);
    if (KivMessageYesNo("Do you wish to view the log ?", caption))
        explorer.EditEntity({}, 0, 0, 0, log, caption);
}

} // namespace

void RepoExplorer::ImportMef() {
    auto application = Application();
    std::string name = application->IsValid() ? application->Name() : std::string();
    std::vector<std::string> files;
    {
        ::ImportModules dialog(name, this);
        if (dialog.exec() != 1)
            return;
        name = dialog.ApplicationName();
        files = dialog.Files();
    }
    auto project = m_repository->CurrentProject();
    if (!project)
        return;
    KivMefImport import;
    KivTransferResult result;
    {
        ImportProgress progress(this);
        result = import.Run(*project, name, files, progress);
    }
    // Modules imported before a failure or a cancel stay: the tree shows them.
    ReloadProjectNode(m_repository->CurrentProjectName());
    Finish(*this, result, "Import Modules", KivMefLog("Importing modules.", name, import.Files()));
}

void RepoExplorer::ExportMef() {
    auto application = Application();
    if (!application->IsValid())
        return;
    std::string folder;
    bool withPrg = false;
    {
        ::ExportAsPrg dialog(this);
        QCheckBox* prg = KivMakeExportModules(dialog);
        if (dialog.exec() != 1)
            return;
        folder = dialog.FolderPath();
        withPrg = prg->isChecked();
    }
    KivMefExport exporter;
    KivTransferResult result;
    {
        ExportProgress progress(this);
        result = exporter.Run(*application, folder, withPrg, progress);
    }
    std::string log =
        KivMefLog("Exporting modules into " + KivMefExport::OutputFolder(folder, application->Name()) + ".",
                  application->Name(), exporter.Files());
    for (const std::string& stale : exporter.Stale())
        log += "-->No module of the application wrote " + stale + "\r\n";
    Finish(*this, result, "Export Modules", log);
}

void RepoExplorer::CompareWithFile() {
    auto application = Application();
    if (!application->IsValid()) {
        KivMessageAlert("Select an application or a module to compare.", "Compare With File");
        return;
    }
    const auto file = KivPrompt().OpenFile("Compare With File", "Export and Source Files (*.AEF;*.MEF;*.PRG)",
                                           KivAefPathSetting());
    if (!file || file->empty())
        return;
    std::string error;
    KivCompareSide before = KivCompareSide::OfFile(*file, error);
    KivCompareSide after;
    if (error.empty()) {
        auto module = Module();
        if (module->ID() != 0)
            after = KivCompareSide::OfRepository(*module, application->Name() + "\\" + module->Name(), error);
        else
            after = KivCompareSide::OfRepository(*application, application->Name(), error);
    }
    if (!error.empty()) {
        KivMessageAlert(error, "Compare With File");
        return;
    }
    KivModuleCompare compare;
    KivTransferResult result;
    {
        ImportProgress progress(this);
        progress.setWindowTitle(QStringLiteral("Comparing"));
        result = compare.Run(before, after, progress);
    }
    if (result.outcome == KivTransferOutcome::Cancelled)
        return;
    if (compare.Same()) {
        KivMessageInfo("No differences: " + *file + " holds what " + after.label + " holds.", "Compare With File");
        return;
    }
    CompareDlg dialog(compare.Modules(), *file, after.label, this);
    dialog.exec();
}
