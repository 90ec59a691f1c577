#include "cli/KivRepoCommands.h"

#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "cli/KivUtf8.h"
#include "engine/KivEngineStatus.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Moment;
using kiv::cli::Text;
using kiv::cli::Texts;

// The type text the explorer shows for an application.
std::string ApplicationType(const KivVOApplication& app) {
    if (app.IsApplication())
        return "Executable";
    if (app.IsSystemLibrary())
        return "System Library";
    if (app.IsDLL())
        return "DLL";
    if (app.IsLibrary())
        return "Library";
    return "Unknown";
}

// True when a call of the object failed; the object keeps the first failure's text.
bool Failed(const KivIDEBaseObject& object) {
    return !object.Success() || !object.ErrorString().empty();
}

int Report(const KivIDEBaseObject& object, std::ostream& err) {
    err << object.ErrorString();
    if (object.ErrorCode() != 0)
        err << ": " << kiv::engine::StatusText(object.ErrorCode());
    err << '\n';
    return 1;
}

int StartFailure(const KivRepositorySession& session, std::ostream& err) {
    err << "Failed to Initialize Repository !!\nAlready Open ?\n";
    if (session.Repository())
        Report(*session.Repository(), err);
    return 1;
}

// The catalogue's own spelling of a project name given in any case; empty when there is none.
std::string CatalogueName(KivVORepository& repository, const std::string& name) {
    for (const std::string& entry : repository.ProjectNameList())
        if (KivEqualsIgnoringCase(entry, name))
            return entry;
    return {};
}

// The project named on the command line, or the current one when no name was given; null after
// the error has been reported.
std::shared_ptr<KivVOProject> ChosenProject(KivVORepository& repository, const std::string& name,
                                            std::ostream& err) {
    if (name.empty()) {
        auto project = repository.CurrentProject();
        if (Failed(repository)) {
            Report(repository, err);
            return nullptr;
        }
        return project;
    }
    const std::string found = CatalogueName(repository, name);
    if (Failed(repository)) {
        Report(repository, err);
        return nullptr;
    }
    if (found.empty()) {
        err << "Project not found: " << name << '\n';
        return nullptr;
    }
    return std::make_shared<KivVOProject>(found);
}

// Builds the JSON of one object after another; the first failing object stops the listing.
class Lister {
public:
    Lister(bool withSource, std::ostream& err) : m_withSource(withSource), m_err(err) {}

    bool Project(KivVOProject& project, const std::string& current, json& out) {
        out["name"] = Text(project.Name());
        out["dir"] = Text(project.Dir());
        out["current"] = KivEqualsIgnoringCase(project.Name(), current);
        json apps = json::array();
        for (const auto& app : project.ApplicationList()) {
            json item;
            if (!Application(*app, item))
                return false;
            apps.push_back(std::move(item));
        }
        out["applications"] = std::move(apps);
        return Check(project);
    }

private:
    bool Check(const KivIDEBaseObject& object) {
        if (!Failed(object))
            return true;
        Report(object, m_err);
        return false;
    }

    bool Application(KivVOApplication& app, json& out) {
        if (!Check(app))
            return false;
        out["name"] = Text(app.Name());
        out["id"] = app.ID();
        out["type"] = ApplicationType(app);
        out["exeName"] = Text(app.ExeName());
        out["exportName"] = Text(app.FullPath());
        out["group"] = Text(app.GroupName());
        out["description"] = Text(app.Description());
        out["debug"] = app.Debug();
        out["libraries"] = Texts(app.LibraryNameList());
        out["udc"] = Texts(app.UDCNameList());
        out["ch"] = Texts(app.CHNameList());
        out["created"] = Moment(app.CreateDate(), app.CreateTime());
        out["lastBuild"] = Moment(app.LastBuildDate(), app.LastBuildTime());
        json modules = json::array();
        for (const auto& item : app.ModuleList()) {
            json entry;
            if (!Module(static_cast<KivVOModule&>(*item), entry))
                return false;
            modules.push_back(std::move(entry));
        }
        out["modules"] = std::move(modules);
        return Check(app);
    }

    bool Module(KivVOModule& module, json& out) {
        if (!Check(module))
            return false;
        out["name"] = Text(module.Name());
        out["id"] = module.ID();
        out["external"] = Text(module.ExternalFile());
        out["visible"] = module.IsVisible();
        out["exportName"] = Text(module.ExportName());
        out["created"] = Moment(module.CreateDate(), module.CreateTime());
        out["lastBuild"] = Moment(module.LastBuildDate(), module.LastBuildTime());
        json entities = json::array();
        for (const auto& item : module.EntityList()) {
            json entry;
            if (!Entity(static_cast<KivVOEntity&>(*item), entry))
                return false;
            entities.push_back(std::move(entry));
        }
        out["entities"] = std::move(entities);
        return Check(module);
    }

    bool Entity(KivVOEntity& entity, json& out) {
        out["name"] = Text(entity.Name());
        out["id"] = entity.ID();
        out["numType"] = entity.NumType();
        out["blockType"] = entity.BlockType().Name();
        out["type"] = entity.Type().Name();
        out["visibility"] = entity.Visibility().Name();
        out["visible"] = entity.IsVisible();
        out["info"] = Text(entity.Info());
        out["prototype"] = Text(entity.Prototype());
        out["voPrototype"] = Text(entity.VOPrototype());
        const std::string source = entity.Source();
        out["sourceLength"] = source.size();
        out["created"] = Moment(entity.CreateDate(), entity.CreateTime());
        out["lastBuild"] = Moment(entity.LastBuildDate(), entity.LastBuildTime());
        if (m_withSource)
            out["source"] = Text(source);
        return Check(entity);
    }

    bool m_withSource;
    std::ostream& m_err;
};

} // namespace

void KivRepoCommands::Add(CLI::App& app) {
    m_list = app.add_subcommand("list", "Print the repository as one JSON document");
    m_list->add_option("--project", m_project, "only this project");
    m_list->add_flag("--source", m_source, "include each entity's source");

    m_createProject = app.add_subcommand("create-project", "Create a project whose data lives in DIR");
    m_createProject->add_option("NAME", m_name, "the project's name")->required();
    m_createProject->add_option("DIR", m_dir, "its folder (DOS or host form)")->required();

    m_selectProject = app.add_subcommand("select-project", "Make a project the current one");
    m_selectProject->add_option("NAME", m_name, "the project's name")->required();

    m_importAef = app.add_subcommand("import-aef", "Read an AEF file into a project as an application");
    m_importAef->add_option("FILE", m_file, "the AEF file (DOS or host form)")->required();
    m_importAef->add_option("APPNAME", m_application, "the application's name")->required();
    m_importAef->add_option("--project", m_project, "the project (default: the current one)");
    m_importAef->add_flag("--merge", m_merge,
                          "merge into an application of that name instead of replacing it");

    m_exportAef = app.add_subcommand("export-aef", "Write an application as an AEF file");
    m_exportAef->add_option("APPNAME", m_application, "the application's name")->required();
    m_exportAef->add_option("FILE", m_file, "the AEF file to write (DOS or host form)")->required();
    m_exportAef->add_option("--project", m_project, "the project (default: the current one)");
    m_exportAef->add_flag("--dll", m_dll, "write the DLL form that other applications import");
}

bool KivRepoCommands::Run(std::ostream& out, std::ostream& err, int& code) const {
    if (m_list && *m_list)
        code = List(out, err);
    else if (m_createProject && *m_createProject)
        code = CreateProject(err);
    else if (m_selectProject && *m_selectProject)
        code = SelectProject(err);
    else if (m_importAef && *m_importAef)
        code = ImportAef(err);
    else if (m_exportAef && *m_exportAef)
        code = ExportAef(err);
    else
        return false;
    return true;
}

int KivRepoCommands::List(std::ostream& out, std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(session, err);
    KivVORepository& repository = *session.Repository();
    const std::string current = repository.CurrentProjectName();
    if (Failed(repository))
        return Report(repository, err);

    std::vector<std::shared_ptr<KivVOProject>> projects;
    if (m_project.empty()) {
        projects = repository.ProjectList();
        if (Failed(repository))
            return Report(repository, err);
    } else {
        auto project = ChosenProject(repository, m_project, err);
        if (!project)
            return 1;
        projects.push_back(project);
    }

    Lister lister(m_source, err);
    json list = json::array();
    bool listed = true;
    for (const auto& project : projects) {
        json item;
        listed = lister.Project(*project, current, item);
        if (!listed)
            break;
        list.push_back(std::move(item));
    }
    // Listing applications selects each project in turn; the current one stays as it was.
    repository.CurrentProjectName(current);
    if (!listed)
        return 1;
    if (!repository.Success())
        return Report(repository, err);
    json doc;
    doc["projects"] = std::move(list);
    out << doc.dump(2) << '\n';
    return 0;
}

int KivRepoCommands::CreateProject(std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(session, err);
    KivVORepository& repository = *session.Repository();
    if (!repository.ProjectCreate(m_name, kiv::dospath::ToDos(m_dir)))
        return Report(repository, err);
    return 0;
}

int KivRepoCommands::SelectProject(std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(session, err);
    KivVORepository& repository = *session.Repository();
    auto project = ChosenProject(repository, m_name, err);
    if (!project)
        return 1;
    repository.CurrentProjectName(project->Name());
    if (!repository.Success())
        return Report(repository, err);
    // The end of the run would bring back the project that was current at its start.
    repository.DefaultProjectName(project->Name());
    return 0;
}

int KivRepoCommands::ImportAef(std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(session, err);
    auto project = ChosenProject(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    KivConsoleProgress progress("Importing " + m_file, true);
    const bool imported =
        project->ImportApplication(m_application, kiv::dospath::ToDos(m_file), m_merge ? 0 : 1, 0);
    progress.End();
    if (!imported)
        return Report(*project, err);
    return 0;
}

int KivRepoCommands::ExportAef(std::ostream& err) const {
    KivRepositorySession session;
    if (!session.Success())
        return StartFailure(session, err);
    auto project = ChosenProject(*session.Repository(), m_project, err);
    if (!project)
        return 1;
    auto application = project->ApplicationFind(m_application);
    if (!application) {
        if (Failed(*project))
            return Report(*project, err);
        err << "Application not found: " << m_application << '\n';
        return 1;
    }
    const std::string file = kiv::dospath::ToDos(m_file);
    KivConsoleProgress progress("Exporting " + m_application, true);
    const bool exported = m_dll ? application->ExportToAEF_DLL(file) : application->ExportToAEF(file);
    progress.End();
    if (!exported)
        return Report(*application, err);
    return 0;
}
