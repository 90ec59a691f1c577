#include "explorer/transfer/KivExportPath.h"

#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

KivTransferResult KivExportPath::Run(KivVOProject& project, const std::string& folder) {
    KivTransferResult result;
    m_changed = 0;
    // Blanks around a typed folder would become part of every name.
    const std::string base = KivAllTrim(folder);
    for (const auto& application : project.ApplicationList()) {
        if (application->IsSystemLibrary())
            continue;
        std::string name = application->FullPath();
        if (name.empty())
            name = KivSafeFileName(application->Name()) + ".AEF";
        application->FullPath(KivConcatDir(base, KivExtractFileInfo(name)));
        if (!application->Success()) {
            ++result.errors;
            result.message = application->Name() + ": " + application->ErrorString();
            continue;
        }
        ++m_changed;
    }
    if (!project.Success() && result.message.empty()) {
        ++result.errors;
        result.message = project.ErrorString();
    }
    if (result.errors > 0)
        result.outcome = KivTransferOutcome::Failed;
    return result;
}
