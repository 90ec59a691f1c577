#include "explorer/transfer/KivProjectImport.h"

#include "platform/KivDosPath.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIniFile.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

bool IsFile(const std::string& dosPath) {
    auto host = kiv::dospath::Resolve(dosPath);
    std::error_code ec;
    return host && std::filesystem::is_regular_file(*host, ec);
}

// The file name of an "AEF" value written on any machine: "/" separates folders as "\" does,
// and a name that would climb out of the folder is no file name at all.
std::string AefFileName(std::string value) {
    std::replace(value.begin(), value.end(), '/', '\\');
    std::string file = KivExtractFileInfo(value);
    if (file == "." || file == "..")
        return {};
    return file;
}

bool HoldsAnything(const std::string& dosPath) {
    auto host = kiv::dospath::Resolve(dosPath);
    std::error_code ec;
    if (!host)
        return false;
    std::filesystem::directory_iterator it(*host, ec);
    return !ec && it != std::filesystem::directory_iterator();
}

} // namespace

bool KivProjectImportPlan::Read(const std::string& kpiFile) {
    *this = KivProjectImportPlan();
    // The INI reader would look for a name without a drive in the Windows folder, and the AEF
    // files would be looked for relative to the working folder: take the full path first.
    kpiPath = kiv::dospath::FromTyped(kpiFile);
    if (!IsFile(kpiPath))
        return false;
    folder = KivExtractFilePath(kpiPath);
    KivIniFile ini(kpiPath);
    name = ini.GetString("Prj", "Name", "");
    path = ini.GetString("Prj", "Path", "");
    for (const std::string& section : ini.GetSections()) {
        if (KivEqualsIgnoringCase(section, "Prj"))
            continue;
        Entry entry;
        entry.section = section;
        entry.name = ini.GetString(section, "Name", "");
        const std::string file = AefFileName(ini.GetString(section, "AEF", ""));
        entry.aefPath = file.empty() ? std::string() : KivConcatDir(folder, file);
        entry.present = !file.empty() && IsFile(entry.aefPath);
        entries.push_back(std::move(entry));
    }
    return true;
}

bool KivProjectImportPlan::AllPresent() const {
    return std::all_of(entries.begin(), entries.end(), [](const Entry& e) { return e.present; });
}

KivProjectTargetCheck KivCheckProjectTarget(const std::string& name, const std::string& path,
                                            const std::vector<std::string>& existing, bool createPath,
                                            KivQuestion& question) {
    if (KivAllTrim(name).empty() || KivAllTrim(path).empty())
        return KivProjectTargetCheck::Incomplete;
    if (std::any_of(existing.begin(), existing.end(),
                    [&](const std::string& e) { return KivEqualsIgnoringCase(e, name); }))
        return KivProjectTargetCheck::NameExists;
    if (KivIsDir(path)) {
        if (HoldsAnything(path) && question.YesNo("The path is not Empty !\r\nAbort Operation ?", "Warning"))
            return KivProjectTargetCheck::PathNotEmpty;
        return KivProjectTargetCheck::Ok;
    }
    if (!createPath)
        return KivProjectTargetCheck::PathMissing;
    if (!KivDirMake(path) || !KivIsDir(path))
        return KivProjectTargetCheck::PathCreationError;
    return KivProjectTargetCheck::Ok;
}

std::vector<KivNotice> KivProjectTargetNotices(KivProjectTargetCheck check) {
    switch (check) {
    case KivProjectTargetCheck::NameExists:
        return {KivNotice::Alert("The Project already exist.", "Error")};
    case KivProjectTargetCheck::PathCreationError:
        return {KivNotice::Alert("Path Creation Error !!", "Error")};
    default:
        return {};
    }
}

KivProjectImport::KivProjectImport(KivVORepository& repository, KivProgress& progress)
    : m_repository(repository), m_progress(progress) {}

KivTransferResult KivProjectImport::Run(const KivProjectImportPlan& plan, const std::string& name,
                                        const std::string& path) {
    KivTransferResult result;
    m_imported = 0;
    m_failedApplication.clear();
    m_errorText.clear();
    m_project = m_repository.ProjectCreate(name, path);
    if (!m_project) {
        result.outcome = KivTransferOutcome::Failed;
        m_errorText = m_repository.ErrorString();
        result.message = "Cannot create the project " + name;
        return result;
    }
    m_project->Selected(true);

    m_progress.SetCaption("Creating Project " + name);
    m_progress.SetLabel(0, "Application :");
    m_progress.SetRange(0, 1, static_cast<uint32_t>(plan.entries.size()));
    for (size_t i = 0; i < plan.entries.size(); ++i) {
        const KivProjectImportPlan::Entry& entry = plan.entries[i];
        m_progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        m_progress.SetText(0, entry.name);
        if (m_progress.CancelRequested()) {
            result.outcome = KivTransferOutcome::Cancelled;
            return result;
        }
        if (!m_project->ImportApplication(entry.name, entry.aefPath, 0, 0)) {
            m_failedApplication = entry.name;
            m_errorText = m_project->ErrorString();
            result.outcome = KivTransferOutcome::Failed;
            result.message = "An error occured when Importing.";
            result.errors = 1;
            return result;
        }
        ++m_imported;
    }
    return result;
}
