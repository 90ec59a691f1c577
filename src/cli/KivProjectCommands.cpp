#include "cli/KivProjectCommands.h"

#include "cli/KivConsoleProgress.h"
#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivProjectExport.h"
#include "explorer/transfer/KivProjectImport.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivPathUtil.h"
#include "support/KivPrompt.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

namespace {

// Message boxes become lines on standard error ("Error: The Project already exist."); every
// question gets the answer of its default button, as a person pressing Enter would give.
class ConsolePrompt final : public KivPromptBackend {
public:
    explicit ConsolePrompt(std::ostream& err) : m_err(err) {}

    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override {
        std::string line = text;
        for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
            line.replace(at, 2, " ");
        m_err << caption << ": " << line << '\n';
        return KivDefaultAnswer(style);
    }
    std::optional<std::string> BrowseFolder(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    void Beep(int, int) override {}

private:
    std::ostream& m_err;
};

// A path from the command line in DOS form; a relative one is taken from the working folder.
std::string DosPath(const std::string& typed) {
    const std::string dos = kiv::dospath::ToDos(typed);
    return KivExtractFileDrive(dos).empty() ? kiv::dospath::FromHost(typed) : dos;
}

int StartFailure(std::ostream& err) {
    err << "Failed to Initialize Repository !!\nAlready Open ?\n";
    return 1;
}

std::string EngineText(const KivIDEBaseObject& object) {
    std::string text = object.ErrorString();
    if (object.ErrorCode() != 0)
        text += ": " + kiv::engine::StatusText(object.ErrorCode());
    return text;
}

// Prints how a run ended when it did not end well; the exit code.
int Outcome(const KivTransferResult& result, std::ostream& err) {
    if (result.Done())
        return 0;
    err << KivTransferOutcomeName(result.outcome);
    if (!result.message.empty())
        err << ": " << result.message;
    else if (result.errors > 0)
        err << ": " << result.errors << (result.errors == 1 ? " error" : " errors") << ", see the log";
    err << '\n';
    return 1;
}

} // namespace

void KivProjectCommands::Add(CLI::App& app) {
    m_exportProject = app.add_subcommand(
        "export-project", "Export a project as AEF files with its .KPI and log into DIR\\PROJECT");
    m_exportProject->add_option("DIR", m_dir, "the base folder, which must exist (DOS or host form)")
        ->required();
    m_exportProject->add_option("--project", m_project, "the project (default: the current one)");
    m_exportProject->add_flag("--abort-on-error", m_abortOnError, "stop at the first application that fails");

    m_exportAll =
        app.add_subcommand("export-all", "Export every project, each into its own folder below DIR");
    m_exportAll->add_option("DIR", m_dir, "the base folder, made when missing (DOS or host form)")
        ->required();
    m_exportAll->add_flag("--abort-on-error", m_abortOnError, "stop at the first application that fails");

    m_importProject =
        app.add_subcommand("import-project", "Create a project from a .KPI file and its AEF files");
    m_importProject->add_option("FILE", m_file, "the .KPI file (DOS or host form)")->required();
    m_importProject->add_option("--name", m_name, "the new project's name (default: the one in the file)");
    m_importProject->add_option("--path", m_path, "its folder (default: the one in the file)");
    m_importProject->add_flag("--create-path", m_createPath, "make the folder when it is missing");
}

bool KivProjectCommands::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_exportProject && *m_exportProject)
        code = ExportProject(out, err);
    else if (m_exportAll && *m_exportAll)
        code = ExportAll(out, err);
    else if (m_importProject && *m_importProject)
        code = ImportProject(out, err);
    else
        return false;
    return true;
}

int KivProjectCommands::ExportProject(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<ConsolePrompt>(err));
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    KivVORepository& repository = *session.Repository();
    std::shared_ptr<KivVOProject> project;
    if (m_project.empty()) {
        project = repository.CurrentProject();
    } else {
        // The catalogue's own spelling: a project object whose name differs in case would select
        // its project anew at each call and so break the engine's walks.
        for (const std::string& name : repository.ProjectNameList())
            if (KivEqualsIgnoringCase(name, m_project))
                project = std::make_shared<KivVOProject>(name);
        if (!project) {
            err << "Project not found: " << m_project << '\n';
            return 1;
        }
        project->Selected(true);
    }
    if (!project || !repository.Success()) {
        err << EngineText(repository) << '\n';
        return 1;
    }
    KivConsoleProgress progress;
    KivTransferResult result = KivProjectExport(project, progress).Run(DosPath(m_dir), m_abortOnError);
    progress.End();
    if (!result.logPath.empty())
        out << result.logPath << '\n';
    return Outcome(result, err);
}

int KivProjectCommands::ExportAll(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<ConsolePrompt>(err));
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    KivConsoleProgress progress;
    std::vector<KivTransferResult> each;
    KivTransferResult result =
        KivExportAllProjects(*session.Repository(), DosPath(m_dir), m_abortOnError, progress, &each);
    progress.End();
    for (const KivTransferResult& one : each)
        if (!one.logPath.empty())
            out << one.logPath << '\n';
    if (!each.empty() && !each.back().Done() && !each.back().message.empty())
        err << each.back().message << '\n';
    return Outcome(result, err);
}

int KivProjectCommands::ImportProject(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<ConsolePrompt>(err));
    const std::string file = DosPath(m_file);
    KivProjectImportPlan plan;
    if (!plan.Read(file)) {
        err << "Cannot find the file " << file << '\n';
        return 1;
    }
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    KivVORepository& repository = *session.Repository();
    const std::string name = m_name.empty() ? plan.name : m_name;
    const std::string path = m_path.empty() ? plan.path : DosPath(m_path);
    switch (KivCheckProjectTarget(name, path, repository.ProjectNameList(), m_createPath)) {
    case KivProjectTargetCheck::Ok:
        break;
    case KivProjectTargetCheck::Incomplete:
        err << "The project needs a name and a path (--name, --path).\n";
        return 1;
    case KivProjectTargetCheck::PathMissing:
        err << "The path does not exist: " << path << " (--create-path makes it)\n";
        return 1;
    default:
        return 1; // the message box said why
    }
    for (const KivProjectImportPlan::Entry& entry : plan.entries)
        if (!entry.present)
            err << "Missing: " << entry.name << " ("
                << (entry.aefPath.empty() ? entry.section : entry.aefPath) << ")\n";
    KivConsoleProgress progress;
    KivProjectImport import(repository, progress);
    KivTransferResult result = import.Run(plan, name, path);
    progress.End();
    if (!import.Project()) {
        err << EngineText(repository) << '\n';
        return 1;
    }
    if (!result.Done()) {
        err << result.message << '\n';
        err << import.FailedApplication() << ": " << EngineText(*import.Project()) << '\n';
        return 1;
    }
    out << "Project " << name << ": " << import.Imported() << " applications imported\n";
    return 0;
}
