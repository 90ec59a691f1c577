#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivPrgTransferFlows.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/transfer/KivPrgExport.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVORepository.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <unordered_set>

void RepoExplorer::ExportAsPrg() {
    auto application = Application();
    if (!KivPrgExport::CanExport(application.get()))
        return;
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
        ReloadProjectAfterPrgImport();
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
        folder = KivToAnsi(dialog.oDCFolderPath()->text());
    }
    KivExportPathRun(*m_repository, folder);
}

void RepoExplorer::DeletePrj() {
    if (KivDeletePrjFlow(*m_repository))
        BuildExplorer();
}

void RepoExplorer::ReloadProjectAfterPrgImport() {
    QTreeWidgetItem* node = FindNode(m_repository->CurrentProjectName());
    auto found = m_nodes.find(node);
    if (!node || found == m_nodes.end())
        return;
    // The children go with everything the tree kept about them.
    std::unordered_set<const QTreeWidgetItem*> gone;
    std::vector<QTreeWidgetItem*> pending(1, node);
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            gone.insert(item->child(i));
            pending.push_back(item->child(i));
        }
    }
    for (const QTreeWidgetItem* item : gone)
        m_nodes.erase(item);
    std::erase_if(m_keys, [&](const auto& entry) { return gone.count(entry.second) > 0; });
    qDeleteAll(node->takeChildren());

    found->second.loaded = false;
    found->second.object.reset();
    ExpandItem(node);
    node->setExpanded(true);
    ClearList();
    UpdateList(node);
}
