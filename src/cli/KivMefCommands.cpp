#include "cli/KivMefCommands.h"

#include "cli/KivJsonText.h"
#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivMefTransfer.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Text;

int Report(const KivIDEBaseObject& object, std::ostream& err) {
    err << Text(object.ErrorString());
    if (object.ErrorCode() != 0)
        err << ": " << kiv::engine::StatusText(object.ErrorCode());
    err << '\n';
    return 1;
}

// The project named on the command line made current for the run, or the current one; null
// after the error has been reported.
std::shared_ptr<KivVOProject> Project(KivVORepository& repository, const std::string& name, std::ostream& err) {
    if (!name.empty()) {
        std::string found;
        for (const std::string& entry : repository.ProjectNameList())
            if (KivEqualsIgnoringCase(entry, name))
                found = entry;
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

json Files(const std::vector<KivMefFileOutcome>& files) {
    json list = json::array();
    for (const KivMefFileOutcome& file : files) {
        json entry;
        entry["file"] = Text(file.file);
        entry["module"] = Text(file.module);
        if (file.error.empty())
            entry["entities"] = file.entities;
        else
            entry["error"] = Text(file.error);
        list.push_back(std::move(entry));
    }
    return list;
}

int Finish(const KivTransferResult& result, json doc, std::ostream& out, std::ostream& err) {
    doc["outcome"] = KivTransferOutcomeName(result.outcome);
    out << doc.dump(2) << '\n';
    if (!result.message.empty() && !result.Done())
        err << Text(result.message) << '\n';
    return result.Done() ? 0 : 1;
}

} // namespace

void KivMefCommands::Add(CLI::App& app) {
    m_importMef = app.add_subcommand("import-mef", "Bring MEF files, or every MEF of a folder, in as modules");
    m_importMef->add_option("APP", m_application, "the application (made as an executable when missing)")
        ->required();
    m_importMef->add_option("PATH", m_paths, "MEF files or folders (every *.MEF in name order)")->required();
    m_importMef->add_option("--project", m_project, "the project (default: the current one)");

    m_exportMef = app.add_subcommand("export-mef", "Write one MEF file per module into DIR/APP");
    m_exportMef->add_option("APP", m_application, "the application")->required();
    m_exportMef->add_option("DIR", m_dir, "the base folder; the files go to DIR/APP")->required();
    m_exportMef->add_option("--project", m_project, "the project (default: the current one)");
    m_exportMef->add_flag("--prg", m_prg, "write each module's source as MODULE.prg beside its MEF");
}

bool KivMefCommands::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_importMef && *m_importMef)
        code = ImportMef(out, err);
    else if (m_exportMef && *m_exportMef)
        code = ExportMef(out, err);
    else
        return false;
    return true;
}

int KivMefCommands::ImportMef(std::ostream& out, std::ostream& err) const {
    std::string error;
    const std::vector<std::string> files = KivMefImport::FilesOf(m_paths, error);
    if (!error.empty()) {
        err << error << '\n';
        return 2;
    }
    KivRepositorySession session;
    if (!session.Success()) {
        err << "Failed to Initialize Repository !!\nAlready Open ?\n";
        return 1;
    }
    auto project = Project(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    KivSilentProgress progress;
    KivMefImport import;
    KivTransferResult result = import.Run(*project, m_application, files, progress);
    json doc;
    doc["application"] = Text(import.Application() ? import.Application()->Name() : m_application);
    doc["files"] = Files(import.Files());
    return Finish(result, std::move(doc), out, err);
}

int KivMefCommands::ExportMef(std::ostream& out, std::ostream& err) const {
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
        err << "Application not found: " << m_application << '\n';
        return 1;
    }
    const std::string base = kiv::dospath::ToDos(m_dir);
    KivSilentProgress progress;
    KivMefExport exporter;
    KivTransferResult result = exporter.Run(*application, base, m_prg, progress);
    json doc;
    doc["folder"] = Text(KivMefExport::OutputFolder(base, application->Name()));
    doc["files"] = Files(exporter.Files());
    doc["stale"] = kiv::cli::Texts(exporter.Stale());
    return Finish(result, std::move(doc), out, err);
}
