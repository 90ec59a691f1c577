#include "cli/KivPrgCommands.h"

#include "cli/KivConsoleProgress.h"
#include "cli/KivUtf8.h"
#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivDeleteProject.h"
#include "explorer/transfer/KivExportPath.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "explorer/transfer/KivKeaPlan.h"
#include "explorer/transfer/KivPrgExport.h"
#include "explorer/transfer/KivPrgImport.h"
#include "explorer/transfer/KivRegExport.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIDESettings.h"
#include "support/KivPathUtil.h"
#include "support/KivPrompt.h"
#include "support/KivRegistry.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace {

using json = nlohmann::ordered_json;

// Tells the boxes on stderr and answers every Yes/No question the same way, as the options say.
class CliPrompt final : public KivPromptBackend {
public:
    CliPrompt(std::ostream& err, bool yes) : m_err(err), m_yes(yes) {}

    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override {
        std::string line = caption + ": " + text;
        for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
            line.replace(at, 2, " ");
        const bool question = (style & KivBox::ButtonMask) == KivBox::YesNo;
        m_err << KivAnsiToUtf8(line) << (question ? (m_yes ? " Yes" : " No") : "") << '\n';
        if (question)
            return m_yes ? KivBox::IdYes : KivBox::IdNo;
        return KivDefaultAnswer(style);
    }
    std::optional<std::string> BrowseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void Beep(int, int) override {}

private:
    std::ostream& m_err;
    bool m_yes;
};

int StartFailure(std::ostream& err) {
    err << "Failed to Initialize Repository !!\nAlready Open ?\n";
    return 1;
}

// The project of that name (any letter case) made current, or the current one; null after the
// error has been told.
std::shared_ptr<KivVOProject> UseProject(KivVORepository& repository, const std::string& name,
                                         std::ostream& err) {
    if (!name.empty()) {
        std::string found;
        for (const std::string& entry : repository.ProjectNameList())
            if (KivEqualsIgnoringCase(entry, name))
                found = entry;
        if (found.empty()) {
            err << "Project not found: " << KivAnsiToUtf8(name) << '\n';
            return nullptr;
        }
        if (repository.CurrentProjectName(found).empty()) {
            err << KivAnsiToUtf8(repository.ErrorString()) << '\n';
            return nullptr;
        }
    }
    auto project = repository.CurrentProject();
    if (!project)
        err << KivAnsiToUtf8(repository.ErrorString()) << '\n';
    return project;
}

int Finish(const KivTransferResult& result, json doc, std::ostream& out, std::ostream& err) {
    doc["outcome"] = KivTransferOutcomeName(result.outcome);
    if (!result.logPath.empty())
        doc["log"] = KivAnsiToUtf8(result.logPath);
    if (result.errors)
        doc["errors"] = result.errors;
    out << doc.dump(2) << '\n';
    if (!result.message.empty() && !result.Done())
        err << KivAnsiToUtf8(result.message) << '\n';
    return result.Done() ? 0 : 1;
}

json Items(const std::vector<KivKeaItem>& items) {
    json list = json::array();
    for (const KivKeaItem& item : items) {
        json entry;
        entry["name"] = KivAnsiToUtf8(item.label);
        if (!item.file.empty())
            entry["file"] = KivAnsiToUtf8(item.file);
        entry["missing"] = item.missing;
        list.push_back(std::move(entry));
    }
    return list;
}

} // namespace

void KivPrgCommands::Add(CLI::App& app) {
    m_exportPrg = app.add_subcommand("export-prg", "Write an application as PRG files with a .KEA and a log");
    m_exportPrg->add_option("APPNAME", m_application, "the application's name")->required();
    m_exportPrg->add_option("DIR", m_dir, "the base folder; the files go to DIR/APPNAME")->required();
    m_exportPrg->add_option("--project", m_project, "the project (default: the current one)");

    m_importPrg = app.add_subcommand("import-prg", "Create an application of external modules from a .KEA");
    m_importPrg->add_option("FILE", m_file, "the .KEA file; its PRG files lie beside it")->required();
    m_importPrg->add_option("--project", m_project, "the project (default: the current one)");
    m_importPrg->add_option("--rename", m_rename, "create the application under this name");
    m_importPrg->add_flag("--abort-on-error", m_abortOnError,
                          "stop at a module that cannot be created (default: go on with the next)");

    m_saveReg = app.add_subcommand("save-reg", "Write groups of the IDE settings as a REGEDIT4 file");
    m_saveReg->add_option("FILE", m_file, "the .reg file to write")->required();
    m_saveReg
        ->add_option("--groups", m_groups, "numbers of the groups, 1-9 in the dialog's order (1,3,7), or all")
        ->required();

    m_exportPath = app.add_subcommand("export-path", "Point every application's export file into one folder");
    m_exportPath->add_option("DIR", m_dir, "the folder")->required();
    m_exportPath->add_option("--project", m_project, "the project (default: the current one)");

    m_deleteProject = app.add_subcommand("delete-project", "Delete a project; a neighbour becomes current");
    m_deleteProject->add_option("NAME", m_name, "the project's name")->required();
    m_deleteProject->add_flag("--yes", m_yes, "confirm the deletion");
}

bool KivPrgCommands::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_exportPrg && *m_exportPrg)
        code = ExportPrg(out, err);
    else if (m_importPrg && *m_importPrg)
        code = ImportPrg(out, err);
    else if (m_saveReg && *m_saveReg)
        code = SaveReg(out, err);
    else if (m_exportPath && *m_exportPath)
        code = ExportPath(out, err);
    else if (m_deleteProject && *m_deleteProject)
        code = DeleteProject(out, err);
    else
        return false;
    return true;
}

int KivPrgCommands::ExportPrg(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<CliPrompt>(err, false));
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    auto project = UseProject(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    auto application = project->ApplicationFind(m_application);
    if (!application) {
        err << "Application not found: " << KivAnsiToUtf8(m_application) << '\n';
        return 1;
    }
    if (!KivPrgExport::CanExport(application.get()))
        return 1;
    KivConsoleProgress progress("Exporting to PRG files");
    KivTransferResult result = KivPrgExport().Run(*application, kiv::dospath::ToDos(m_dir), progress);
    progress.End();
    json doc;
    doc["folder"] =
        KivAnsiToUtf8(KivPrgExport::OutputFolder(kiv::dospath::ToDos(m_dir), application->Name()));
    return Finish(result, std::move(doc), out, err);
}

int KivPrgCommands::ImportPrg(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<CliPrompt>(err, m_abortOnError));
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    auto project = UseProject(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    const std::string keaFile = kiv::dospath::ToDos(m_file);
    if (!kiv::dospath::Resolve(keaFile) ||
        !std::filesystem::is_regular_file(*kiv::dospath::Resolve(keaFile))) {
        err << "File not found: " << m_file << '\n';
        return 1;
    }
    KivKeaPlan plan = KivKeaPlan::Read(keaFile, *project, KivConcatDir(KivRootSetting(), "Bin"));
    if (!m_rename.empty() && m_rename != plan.cAppName) {
        // Without a dialog, a name of the project is refused here as the dialog refuses it.
        plan.aExisting = project->ApplicationNameList();
        if (!plan.Rename(m_rename)) {
            err << "Application already exist: " << KivAnsiToUtf8(m_rename) << '\n';
            return 1;
        }
    }
    if (!plan.CanImport()) {
        err << "Application already exist: " << KivAnsiToUtf8(plan.cAppName) << " (give --rename)\n";
        return 1;
    }
    KivConsoleProgress progress("Importing PRG files");
    KivPrgImport import;
    KivTransferResult result = import.Run(plan, *project, progress);
    progress.End();
    json doc;
    doc["application"] = KivAnsiToUtf8(plan.cAppName);
    doc["modules"] = Items(plan.modules);
    doc["libraries"] = Items(plan.libraries);
    doc["udc"] = Items(plan.udcs);
    doc["ch"] = Items(plan.chs);
    return Finish(result, std::move(doc), out, err);
}

int KivPrgCommands::SaveReg(std::ostream& out, std::ostream& err) const {
    KivRegExport::Choice choice{};
    if (KivEqualsIgnoringCase(KivAllTrim(m_groups), "all")) {
        choice.fill(true);
    } else {
        for (const std::string& part : KivString2Array(m_groups, ",")) {
            const std::string number = KivAllTrim(part);
            if (number.size() != 1 || number[0] < '1' || number[0] > '9') {
                err << "--groups: numbers from 1 to 9 separated by commas, or all\n";
                return 2;
            }
            choice[static_cast<size_t>(number[0] - '1')] = true;
        }
    }
    if (std::find(choice.begin(), choice.end(), true) == choice.end()) {
        err << "--groups: choose at least one group\n";
        return 2;
    }
    // The explorer reads its start folder before it asks for the file; the value this stores
    // belongs in the export as it does there.
    KivAefPathSetting();
    KivTransferResult result = KivRegExport().Run(KivIDESettings(), choice, kiv::dospath::ToDos(m_file));
    json doc;
    doc["file"] = KivAnsiToUtf8(kiv::dospath::ToDos(m_file));
    return Finish(result, std::move(doc), out, err);
}

int KivPrgCommands::ExportPath(std::ostream& out, std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    auto project = UseProject(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    KivExportPath tool;
    KivTransferResult result = tool.Run(*project, kiv::dospath::ToDos(KivAllTrim(m_dir)));
    json doc;
    doc["changed"] = tool.Changed();
    return Finish(result, std::move(doc), out, err);
}

int KivPrgCommands::DeleteProject(std::ostream& out, std::ostream& err) const {
    KivPromptScope prompt(std::make_shared<CliPrompt>(err, m_yes));
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(err);
    KivVORepository& repository = *session.Repository();
    auto project = UseProject(repository, m_name, err);
    if (!project)
        return 1;
    const std::string name = project->Name();
    KivDeleteProject tool;
    KivTransferResult result = tool.Run(repository);
    // The end of the run makes the project of its start current again; when that is the one
    // just deleted, the neighbour takes its place.
    if (result.Done() && KivEqualsIgnoringCase(repository.DefaultProjectName(), name))
        repository.DefaultProjectName(tool.Neighbour());
    if (result.outcome == KivTransferOutcome::Cancelled)
        result.message = "Not deleted: confirm with --yes";
    json doc;
    doc["deleted"] = result.Done() ? json(KivAnsiToUtf8(name)) : json();
    if (!tool.Neighbour().empty())
        doc["current"] = KivAnsiToUtf8(tool.Neighbour());
    return Finish(result, std::move(doc), out, err);
}
