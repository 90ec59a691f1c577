#include "cli/KivRepoCommands.h"

#include "cli/KivJsonText.h"
#include "cli/KivJsonWriter.h"
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

#include <ostream>

namespace {

using kiv::cli::Moment;
using kiv::cli::Text;

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

// Writes the JSON of one object after another as it walks them; the first failing object stops
// the listing.
class Lister {
public:
    Lister(bool withSource, KivJsonWriter& out, std::ostream& err)
        : m_withSource(withSource), m_out(out), m_err(err) {}

    bool Project(KivVOProject& project, const std::string& current) {
        m_out.BeginObject();
        m_out.String("name", Text(project.Name()));
        m_out.String("dir", Text(project.Dir()));
        m_out.Bool("current", KivEqualsIgnoringCase(project.Name(), current));
        m_out.Key("applications").BeginArray();
        for (const auto& app : project.ApplicationList())
            if (!Application(*app))
                return false;
        m_out.EndArray();
        m_out.EndObject();
        return Check(project);
    }

private:
    bool Check(const KivIDEBaseObject& object) {
        if (!Failed(object))
            return true;
        Report(object, m_err);
        return false;
    }

    void Texts(std::string_view key, const std::vector<std::string>& items) {
        m_out.Key(key).BeginArray();
        for (const std::string& item : items)
            m_out.String(Text(item));
        m_out.EndArray();
    }

    bool Application(KivVOApplication& app) {
        if (!Check(app))
            return false;
        m_out.BeginObject();
        m_out.String("name", Text(app.Name()));
        m_out.Number("id", app.ID());
        m_out.String("type", ApplicationType(app));
        m_out.String("exeName", Text(app.ExeName()));
        m_out.String("exportName", Text(app.FullPath()));
        m_out.String("group", Text(app.GroupName()));
        m_out.String("description", Text(app.Description()));
        m_out.Bool("debug", app.Debug());
        Texts("libraries", app.LibraryNameList());
        Texts("udc", app.UDCNameList());
        Texts("ch", app.CHNameList());
        m_out.String("created", Moment(app.CreateDate(), app.CreateTime()));
        m_out.String("lastBuild", Moment(app.LastBuildDate(), app.LastBuildTime()));
        m_out.Key("modules").BeginArray();
        for (const auto& item : app.ModuleList())
            if (!Module(static_cast<KivVOModule&>(*item)))
                return false;
        m_out.EndArray();
        m_out.EndObject();
        return Check(app);
    }

    bool Module(KivVOModule& module) {
        if (!Check(module))
            return false;
        m_out.BeginObject();
        m_out.String("name", Text(module.Name()));
        m_out.Number("id", module.ID());
        m_out.String("external", Text(module.ExternalFile()));
        m_out.Bool("visible", module.IsVisible());
        m_out.String("exportName", Text(module.ExportName()));
        m_out.String("created", Moment(module.CreateDate(), module.CreateTime()));
        m_out.String("lastBuild", Moment(module.LastBuildDate(), module.LastBuildTime()));
        m_out.Key("entities").BeginArray();
        for (const auto& item : module.EntityList())
            if (!Entity(static_cast<KivVOEntity&>(*item)))
                return false;
        m_out.EndArray();
        m_out.EndObject();
        return Check(module);
    }

    bool Entity(KivVOEntity& entity) {
        m_out.BeginObject();
        m_out.String("name", Text(entity.Name()));
        m_out.Number("id", entity.ID());
        m_out.Number("numType", entity.NumType());
        m_out.String("blockType", entity.BlockType().Name());
        m_out.String("type", entity.Type().Name());
        m_out.String("visibility", entity.Visibility().Name());
        m_out.Bool("visible", entity.IsVisible());
        m_out.String("info", Text(entity.Info()));
        m_out.String("prototype", Text(entity.Prototype()));
        m_out.String("voPrototype", Text(entity.VOPrototype()));
        const std::string source = entity.Source();
        m_out.Number("sourceLength", source.size());
        m_out.String("created", Moment(entity.CreateDate(), entity.CreateTime()));
        m_out.String("lastBuild", Moment(entity.LastBuildDate(), entity.LastBuildTime()));
        if (m_withSource)
            m_out.String("source", Text(source));
        m_out.EndObject();
        return Check(entity);
    }

    bool m_withSource;
    KivJsonWriter& m_out;
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

    // The document is written as the repository is walked; a failure ends it where it stands.
    KivJsonWriter writer(out);
    Lister lister(m_source, writer, err);
    writer.BeginObject();
    writer.Key("projects").BeginArray();
    bool listed = true;
    for (const auto& project : projects) {
        listed = lister.Project(*project, current);
        if (!listed)
            break;
    }
    // Listing applications selects each project in turn; the current one stays as it was.
    repository.CurrentProjectName(current);
    if (!listed)
        return 1;
    if (!repository.Success())
        return Report(repository, err);
    writer.EndArray();
    writer.EndObject();
    writer.Finish();
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
    if (!project->ImportApplication(m_application, kiv::dospath::ToDos(m_file), m_merge ? 0 : 1, 0))
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
    if (!(m_dll ? application->ExportToAEF_DLL(file) : application->ExportToAEF(file)))
        return Report(*application, err);
    return 0;
}
