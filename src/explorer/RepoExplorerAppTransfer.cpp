#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/ImportAppList.h"
#include "explorer/dialogs/ImportProgress.h"
#include "explorer/transfer/KivAppExport.h"
#include "explorer/transfer/KivAppImport.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "platform/KivWholeFile.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIDESettings.h"
#include "support/KivMessage.h"
#include "support/KivPrompt.h"
#include "support/KivRegistry.h"

#include <QCheckBox>
#include <QTreeWidget>

#include <filesystem>
#include <memory>
#include <set>
#include <vector>

namespace {

// The progress dialog, made when the run first reports: a folder that cannot be made ends the
// export before any progress is shown.
class LazyProgress final : public KivProgress {
public:
    explicit LazyProgress(QWidget* owner) : m_owner(owner) {}

    void SetCaption(const std::string& caption) override { Dialog().SetCaption(caption); }
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override {
        Dialog().SetRange(bar, minimum, maximum);
    }
    void SetPosition(int bar, uint32_t position) override { Dialog().SetPosition(bar, position); }
    void SetText(int bar, const std::string& text) override { Dialog().SetText(bar, text); }
    void SetLabel(int bar, const std::string& label) override { Dialog().SetLabel(bar, label); }
    void SetWaitText(const std::string& text) override { Dialog().SetWaitText(text); }
    bool CancelRequested() override { return Dialog().CancelRequested(); }

private:
    ImportProgress& Dialog() {
        if (!m_dialog)
            m_dialog = std::make_unique<ImportProgress>(m_owner);
        return *m_dialog;
    }

    QWidget* m_owner;
    std::unique_ptr<ImportProgress> m_dialog;
};

} // namespace

void RepoExplorer::ExportApp() {
    auto app = Application();
    if (!app || !app->IsValid())
        return;
    if (app->IsSystemLibrary()) {
        KivMessageAlert("You can't export a System Library !", "Error");
        return;
    }
    const std::string name = app->Name();
    ::ExportAsPrg folder(this);
    folder.setWindowTitle(folder.windowTitle() + QStringLiteral(" for ") + KivFromAnsi(name));
    folder.oDCDLLChk()->setVisible(true);
    if (folder.exec() != 1)
        return;
    KivAppExportOptions options;
    options.folder = folder.FolderPath();
    options.includeDlls = folder.oDCDLLChk()->isChecked();
    options.abortOnError = folder.oDCAbortChk()->isChecked();

    KivTransferResult result;
    {
        LazyProgress progress(this);
        result = KivExportApp(*app, options, progress);
    }
    KivShowNotices(result.notices);
    // Every run that got as far as writing its log offers it, cancelled or not.
    if (result.logPath.empty())
        return;
    if (KivMessageYesNo("Do you wish to view the log file ?", "Export Application and Implicants"))
        EditEntity({}, 0, 0, 0, kiv::platform::KivReadWholeFile(result.logPath), "Export Application : " + name);
}

void RepoExplorer::ImportApp() {
    const std::string start = KivAefPathSetting();
    const auto file = KivPrompt().OpenFile("Open", "Kiv Application Information (*.KAI)", start);
    if (!file || file->empty())
        return;
    auto project = m_repository->CurrentProject();
    if (!project)
        return;
    ImportAppList summary(this);
    summary.Fill(KivPlanAppImport(*file, *project));
    if (summary.exec() != 1)
        return;
    const std::string choice = summary.ImportGrp();
    const KivExistingChoice existing = choice == "K"   ? KivExistingChoice::Keep
                                       : choice == "M" ? KivExistingChoice::Merge
                                                       : KivExistingChoice::Delete;
    ImportProgress progress(this);
    KivMessageQuestion question;
    KivShowNotices(KivRunAppImport(summary.Plan(), existing, *project, progress, question).notices);
    // Reloaded after a cancel too: libraries imported before it stay.
    ReloadProjectNode(m_repository->CurrentProjectName());
}

void RepoExplorer::ReloadProjectNode(const std::string& project) {
    QTreeWidgetItem* node = FindNode(project);
    auto found = m_nodes.find(node);
    if (!node || found == m_nodes.end())
        return;
    // The records and keys of everything below the node go with it, so that no lookup can
    // reach a deleted node.
    std::set<const QTreeWidgetItem*> gone;
    std::vector<const QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        const QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            gone.insert(item->child(i));
            pending.push_back(item->child(i));
        }
    }
    for (const QTreeWidgetItem* item : gone)
        m_nodes.erase(item);
    for (auto key = m_keys.begin(); key != m_keys.end();)
        key = gone.count(key->second) ? m_keys.erase(key) : std::next(key);
    qDeleteAll(node->takeChildren());
    found->second.object.reset();
    found->second.loaded = false;
    ExpandItem(node);
    node->setExpanded(true);
    ClearList();
    UpdateList(node);
}
