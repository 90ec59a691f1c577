#include "cli/KivAppTransferCommands.h"

#include "cli/KivConsoleProgress.h"
#include "cli/KivConsolePrompt.h"
#include "cli/KivUtf8.h"
#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivAppExport.h"
#include "explorer/transfer/KivAppImport.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivFileSpec.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

namespace {

int Report(const KivIDEBaseObject& object, std::ostream& err) {
    err << KivAnsiToUtf8(object.ErrorString());
    if (object.ErrorCode() != 0)
        err << ": " << kiv::engine::StatusText(object.ErrorCode());
    err << '\n';
    return 1;
}

// The project named on the command line made current for the run, or the current one; null
// after the error has been reported.
std::shared_ptr<KivVOProject> Project(KivVORepository& repository, const std::string& name,
                                      std::ostream& err) {
    if (!name.empty()) {
        std::string found;
        for (const std::string& entry : repository.ProjectNameList())
            if (KivEqualsIgnoringCase(entry, name))
                found = entry;
        if (!repository.Success()) {
            Report(repository, err);
            return nullptr;
        }
        if (found.empty()) {
            err << "Project not found: " << name << '\n';
            return nullptr;
        }
        repository.CurrentProjectName(found);
    }
    auto project = repository.CurrentProject();
    if (!repository.Success() || !project) {
        Report(repository, err);
        return nullptr;
    }
    return project;
}

// The end of a run that did not finish: why, and how it ended.
int Unfinished(const KivTransferResult& result, std::ostream& err) {
    if (!result.message.empty())
        err << KivAnsiToUtf8(result.message) << '\n';
    err << KivTransferOutcomeName(result.outcome);
    if (result.errors > 0)
        err << " (" << result.errors << (result.errors == 1 ? " error" : " errors") << ")";
    err << '\n';
    return 1;
}

std::string HostForm(const std::string& dosPath) {
    auto host = kiv::dospath::Resolve(dosPath);
    return host ? host->string() : dosPath;
}

} // namespace

void KivAppTransferCommands::Add(CLI::App& app) {
    m_exportApp = app.add_subcommand(
        "export-app",
        "Write an application and every library it uses as AEF files with a .KAI and a log into DIR\\APP");
    m_exportApp->add_option("APP", m_application, "the application's name")->required();
    m_exportApp->add_option("DIR", m_dir, "the base folder (DOS or host form)")->required();
    m_exportApp->add_option("--project", m_project, "the project (default: the current one)");
    m_exportApp->add_flag("--include-dlls", m_includeDlls, "write the DLL form of each AEF");
    m_exportApp->add_flag("--abort-on-error", m_abortOnError, "stop at the first AEF that cannot be written");

    m_importApp = app.add_subcommand(
        "import-app", "Import the libraries a .KAI lists, then its application, into a project");
    m_importApp->add_option("FILE", m_file, "the .KAI file (DOS or host form)")->required();
    m_importApp->add_option("--project", m_project, "the project (default: the current one)");
    m_importApp->add_option("--rename", m_rename, "import the application under this name");
    m_importApp->add_option("--existing", m_existing, "libraries the project holds already (default: delete)")
        ->check(CLI::IsMember({"delete", "keep", "merge"}));
}

bool KivAppTransferCommands::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_exportApp && *m_exportApp)
        code = ExportApp(out, err);
    else if (m_importApp && *m_importApp)
        code = ImportApp(out, err);
    else
        return false;
    return true;
}

int KivAppTransferCommands::ExportApp(std::ostream& out, std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success()) {
        err << "Failed to Initialize Repository !!\nAlready Open ?\n";
        return 1;
    }
    auto project = Project(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    auto application = project->ApplicationFind(m_application);
    if (!application) {
        if (!project->Success())
            return Report(*project, err);
        err << "Application not found: " << m_application << '\n';
        return 1;
    }
    // Refused before anything is made, as the window refuses it before asking for the folder.
    if (application->IsSystemLibrary()) {
        err << "You can't export a System Library !\n";
        return 1;
    }
    KivPromptScope prompt(std::make_shared<KivConsolePrompt>(err));
    KivAppExportOptions options;
    options.folder = kiv::dospath::ToDos(m_dir);
    options.includeDlls = m_includeDlls;
    options.abortOnError = m_abortOnError;
    KivConsoleProgress progress;
    const KivTransferResult result = KivExportApp(*application, options, progress);
    progress.End();
    if (!result.logPath.empty())
        out << KivAnsiToUtf8(HostForm(result.logPath)) << '\n';
    return result.Done() ? 0 : Unfinished(result, err);
}

int KivAppTransferCommands::ImportApp(std::ostream& out, std::ostream& err) const {
    const std::string kai = kiv::dospath::ToDos(m_file);
    // Reading a missing file would write the entries it looked for into a new one.
    if (!KivFileSpec(kai).Find()) {
        err << "File not found: " << m_file << '\n';
        return 1;
    }
    KivRepositorySession session;
    if (!session.Success()) {
        err << "Failed to Initialize Repository !!\nAlready Open ?\n";
        return 1;
    }
    auto project = Project(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    KivAppImportPlan plan = KivPlanAppImport(kai, *project);
    if (!m_rename.empty()) {
        plan.existing = project->ApplicationNameList();
        if (!plan.Rename(m_rename) && !(m_rename == plan.appName && !plan.appExists)) {
            err << "Application already exist.\n";
            return 1;
        }
    }
    if (!plan.CanImport()) {
        err << "Application already exist.\n";
        return 1;
    }
    for (const KivAppImportLibrary& library : plan.libraries)
        if (library.state == KivAppImportLibrary::Missing)
            err << KivAnsiToUtf8(library.name)
                << ": AEF file missing, skipped: " << KivAnsiToUtf8(HostForm(library.aef)) << '\n';

    KivPromptScope prompt(std::make_shared<KivConsolePrompt>(err));
    const auto choice = m_existing == "keep"    ? KivExistingChoice::Keep
                        : m_existing == "merge" ? KivExistingChoice::Merge
                                                : KivExistingChoice::Delete;
    KivConsoleProgress progress;
    const KivTransferResult result = KivRunAppImport(plan, choice, *project, progress);
    progress.End();
    if (!result.Done())
        return Unfinished(result, err);
    out << KivAnsiToUtf8(plan.appName) << '\n';
    return 0;
}
