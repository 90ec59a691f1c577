#include "explorer/RepoExplorer.h"

#include "explorer/KivPrgTransferFlows.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/transfer/KivPrgExport.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVORepository.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>

void RepoExplorer::ExportAsPrg() {
    auto application = Application();
    std::vector<KivNotice> refusal;
    if (!KivPrgExport::CanExport(application.get(), refusal)) {
        KivShowNotices(refusal);
        return;
    }
    std::string folder;
    {
        ::ExportAsPrg dialog(this);
        dialog.oDCAbortChk()->hide();
        if (dialog.exec() != 1)
            return;
        folder = dialog.FolderPath();
    }
    KivExportAsPrgRun(*application, folder, this);
}

void RepoExplorer::ImportAsPrg() {
    if (KivImportAsPrgFlow(*m_repository, this))
        ReloadProjectNode(m_repository->CurrentProjectName());
}

void RepoExplorer::SaveReg() {
    KivSaveRegFlow(this);
}

void RepoExplorer::ExportPath() {
    std::string folder;
    {
        ::ExportAsPrg dialog(this);
        dialog.setWindowTitle(dialog.windowTitle() + QStringLiteral(" for all applications."));
        dialog.oCCExportPB()->setText(QStringLiteral("&Ok"));
        dialog.oDCAbortChk()->hide();
        if (dialog.exec() != 1)
            return;
        folder = dialog.FolderPath();
    }
    KivExportPathRun(*m_repository, folder);
}

void RepoExplorer::DeletePrj() {
    if (KivDeletePrjFlow(*m_repository))
        BuildExplorer();
}
