#include "explorer/transfer/KivProjectExport.h"

#include "explorer/transfer/KivImplicants.h"
#include "explorer/transfer/KivLineWriter.h"
#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// "APP" and 7 give "APP007": at least three digits.
std::string Numbered(const char* prefix, size_t number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    return prefix + digits;
}

bool HasId(const std::vector<std::shared_ptr<KivVOApplication>>& list, uint16_t id) {
    return std::any_of(list.begin(), list.end(), [id](const auto& app) { return app->ID() == id; });
}

// A partly written information file would import fewer applications than were exported
// without a word; better none at all. Devices and links to them are left alone.
void RemovePartialFile(const std::string& dosPath) {
    auto host = kiv::dospath::ToHost(dosPath);
    std::error_code ec;
    if (host && std::filesystem::is_symlink(*host, ec))
        return;
    if (host && std::filesystem::is_regular_file(*host, ec))
        std::filesystem::remove(*host, ec);
}

} // namespace

std::string KivAefName(const KivVOApplication& application) {
    std::string name = application.FullPath();
    return name.empty() ? application.Name() + ".AEF" : name;
}

std::string KivAefFileName(const KivVOApplication& application) {
    std::string recorded = application.FullPath();
    std::replace(recorded.begin(), recorded.end(), '/', '\\');
    const std::string file = KivExtractFileInfo(recorded);
    // The application's own name goes through the mapping whole: a "\" in it must not pick a
    // part of it as the file name.
    if (file.empty())
        return KivSafeFileName(application.Name()) + ".AEF";
    return KivSafeFileName(file);
}

KivProjectExport::KivProjectExport(std::shared_ptr<KivVOProject> project, KivProgress& progress)
    : m_project(std::move(project)), m_progress(progress) {}

std::string KivProjectExport::Target(const KivVOApplication& application) {
    for (const auto& [id, target] : m_targets)
        if (id == application.ID())
            return target;
    // Two applications with the same recorded file name would overwrite each other's AEF; the
    // second one gets a number before its extension. Names are compared as Windows does.
    const std::string file = KivAefFileName(application);
    const std::string ext = KivExtractFileExt(file);
    const std::string stem = file.substr(0, file.size() - ext.size());
    std::string chosen = file;
    for (int n = 2; std::find(m_usedNames.begin(), m_usedNames.end(), KivUpper(chosen)) != m_usedNames.end();
         ++n)
        chosen = stem + "_" + std::to_string(n) + ext;
    m_usedNames.push_back(KivUpper(chosen));
    std::string target = KivConcatDir(m_folder, chosen);
    m_targets.emplace_back(application.ID(), target);
    return target;
}

KivTransferResult KivProjectExport::Run(const std::string& baseFolder, bool abortOnError) {
    KivTransferResult result;
    m_wentThrough = false;
    m_exported = m_skipped = 0;
    m_usedNames.clear();
    m_targets.clear();

    const std::string projectName = m_project->Name();
    if (!KivIsDir(baseFolder)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "The folder does not exist: " + baseFolder;
        return result;
    }
    const std::string safeName = KivSafeFileName(projectName);
    m_folder = KivConcatDir(baseFolder, safeName);
    KivDirMake(m_folder);
    if (!KivIsDir(m_folder)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Cannot create the folder " + m_folder;
        return result;
    }
    const std::string logName = safeName + ".log";
    const std::string kpiName = safeName + ".KPI";
    m_usedNames = {KivUpper(logName), KivUpper(kpiName)};
    m_kpiPath = KivConcatDir(m_folder, kpiName);
    result.logPath = KivConcatDir(m_folder, logName);

    KivLineWriter log(result.logPath);
    log.Create();
    const auto applications = m_project->ApplicationList();
    const bool listed = m_project->Success();
    log.WriteLine("Exporting Project .");
    log.WriteLine("Project : " + projectName);
    log.WriteLine("Application Count: " + std::to_string(applications.size()) + "\r\n");

    m_progress.SetCaption("Exporting Project : " + projectName);
    m_progress.SetRange(0, 1, static_cast<uint32_t>(applications.size()));
    m_progress.SetLabel(0, "Application :");

    std::vector<std::shared_ptr<KivVOApplication>> order;
    bool cancelled = false;
    bool aborted = false;
    for (size_t i = 0; i < applications.size(); ++i) {
        KivVOApplication& app = *applications[i];
        m_progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        m_progress.SetText(0, app.Name());
        if (m_progress.CancelRequested()) {
            cancelled = true;
            break;
        }
        const std::string target = Target(app);
        log.WriteLine(Numbered("   Application", i + 1) + " : " + app.Name());
        log.WriteLine("   Exp Name : " + KivAefName(app));
        log.WriteLine("   Kiv Name : " + target);
        if (app.IsSystemLibrary()) {
            log.WriteLine("-->Skipping : System Library");
            ++m_skipped;
        } else if (app.ExportToAEF(target)) {
            ++m_exported;
        } else {
            log.WriteLine("-->Error : Cannot Export to AEF");
            ++result.errors;
            if (abortOnError) {
                aborted = true;
                break;
            }
        }
        order = KivBuildImplicantsList(app, std::move(order));
        log.WriteLine("");
    }

    const bool loopDone = !cancelled && !aborted;
    bool kpiWritten = false;
    if (loopDone) {
        for (const auto& app : applications)
            if (!app->IsSystemLibrary() && !HasId(order, app->ID()))
                order.push_back(app);
        // The information file is written before the log is closed, so that a failure to write
        // it can still be told in the log.
        KivLineWriter kpi(m_kpiPath);
        const bool created = kpi.Create();
        kpi.WriteLine("[PRJ]");
        kpi.WriteLine("Name=" + projectName);
        kpi.WriteLine("Path=" + m_project->Dir());
        kpi.WriteLine("");
        for (size_t i = 0; i < order.size(); ++i) {
            kpi.WriteLine(Numbered("[APP", i + 1) + "]");
            kpi.WriteLine("Name=" + order[i]->Name());
            kpi.WriteLine("AEF=" + Target(*order[i]));
            kpi.WriteLine("");
        }
        kpiWritten = kpi.Close() && created;
        if (!kpiWritten) {
            RemovePartialFile(m_kpiPath);
            log.WriteLine("-->Error : Cannot write " + m_kpiPath + " : " + kpi.ErrorText());
            ++result.errors;
            result.message = "Cannot write " + m_kpiPath + ": " + kpi.ErrorText();
        }
    }
    const bool logWritten = log.Close();
    if (!logWritten) {
        result.message = "Cannot write the log " + result.logPath + ": " + log.ErrorText();
        ++result.errors;
    }
    if (!listed) {
        result.message = "Cannot list the applications of " + projectName + ": " + m_project->ErrorString();
        ++result.errors;
    }

    m_wentThrough = loopDone && kpiWritten && listed;
    if (cancelled)
        result.outcome = KivTransferOutcome::Cancelled;
    else if (aborted)
        result.outcome = KivTransferOutcome::Aborted;
    else if (result.errors > 0 || !logWritten)
        result.outcome = KivTransferOutcome::Failed;
    return result;
}

KivTransferResult KivExportAllProjects(KivVORepository& repository, const std::string& baseFolder,
                                       bool abortOnError, KivProgress& progress,
                                       std::vector<KivTransferResult>* perProject) {
    KivTransferResult overall;
    KivDirMake(baseFolder);
    for (const auto& project : repository.ProjectList()) {
        project->Selected(true);
        KivProjectExport run(project, progress);
        KivTransferResult one = run.Run(baseFolder, abortOnError);
        if (perProject)
            perProject->push_back(one);
        overall.logPath = one.logPath;
        overall.errors += one.errors;
        if (!run.WentThrough()) {
            overall.outcome =
                one.outcome == KivTransferOutcome::Done ? KivTransferOutcome::Failed : one.outcome;
            overall.message = "Operation Aborted.";
            return overall;
        }
        if (!one.Done())
            overall.outcome = KivTransferOutcome::Failed;
    }
    if (!repository.Success()) {
        overall.outcome = KivTransferOutcome::Failed;
        overall.message = "Operation Aborted.";
    }
    return overall;
}
