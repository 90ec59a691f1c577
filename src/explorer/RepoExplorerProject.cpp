// The project transfers of the explorer: "&Project" / "&Export", "Export &All" and "&Import".
#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivPrjTransferUi.h"
#include "explorer/dialogs/ExportAsPrg.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivPathUtil.h"

#include <QCheckBox>

namespace {

// The folder dialog as both project exports show it: "Include DLLs" becomes "Compress the
// resulting Folder", a choice nothing reads yet.
void ForProjects(::ExportAsPrg& dialog, const std::string& captionTail) {
    dialog.setWindowTitle(dialog.windowTitle() + KivFromAnsi(captionTail));
    dialog.oDCDLLChk()->setText(QStringLiteral("Compress the resulting Folder"));
    dialog.oDCDLLChk()->show();
}

} // namespace

bool RepoExplorer::ExportPrj(const std::optional<std::string>& folder, bool abortOnError) {
    if (folder)
        return KivRunExportPrj(this, *m_repository, *folder, abortOnError, false);
    auto project = m_repository->CurrentProject();
    if (!project)
        return false;
    // "::": inside the window, ExportAsPrg names its method of that name, not the dialog.
    ::ExportAsPrg dialog(this);
    ForProjects(dialog, " for project " + project->Name());
    if (dialog.exec() != 1)
        return false;
    return KivRunExportPrj(this, *m_repository, dialog.FolderPath(), dialog.oDCAbortChk()->isChecked(), true);
}

void RepoExplorer::ExportAllPrj() {
    ::ExportAsPrg dialog(this);
    ForProjects(dialog, " for all projects.");
    if (dialog.exec() != 1)
        return;
    KivRunExportAllPrj(this, *m_repository, dialog.FolderPath(), dialog.oDCAbortChk()->isChecked());
}

void RepoExplorer::ImportPrj() {
    if (KivRunImportPrj(this, *m_repository))
        BuildExplorer(false);
}
