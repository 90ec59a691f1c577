#include "cli/KivRepoCommands.h"

#include "cli/KivCliContext.h"
#include "cli/KivJsonText.h"
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

// Builds the JSON of one object after another; the first failing object stops the listing.
class Lister {
public:
    Lister(bool withSource, KivCliContext& context) : m_withSource(withSource), m_context(context) {}

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
        m_context.Report(object);
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
    KivCliContext& m_context;
};

} // namespace

void KivRepoCommands::Add(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto* list = context.Add(app, "list", "Print the repository as one JSON document",
                             [this](KivCliContext& c) { return List(c); });
    Ctx::Text(list->add_option("--project", m_project, "only this project"));
    list->add_flag("--source", m_source, "include each entity's source");

    auto* createProject = context.Add(app, "create-project", "Create a project whose data lives in DIR",
                                      [this](KivCliContext& c) { return CreateProject(c); });
    Ctx::Text(createProject->add_option("NAME", m_name, "the project's name")->required());
    Ctx::Path(createProject->add_option("DIR", m_dir, "its folder (DOS or host form)")->required());

    auto* selectProject = context.Add(app, "select-project", "Make a project the current one",
                                      [this](KivCliContext& c) { return SelectProject(c); });
    Ctx::Text(selectProject->add_option("NAME", m_name, "the project's name")->required());

    auto* importAef = context.Add(app, "import-aef", "Read an AEF file into a project as an application",
                                  [this](KivCliContext& c) { return ImportAef(c); });
    Ctx::Path(importAef->add_option("FILE", m_file, "the AEF file (DOS or host form)")->required());
    Ctx::Text(importAef->add_option("APPNAME", m_application, "the application's name")->required());
    Ctx::Text(importAef->add_option("--project", m_project, "the project (default: the current one)"));
    importAef->add_flag("--merge", m_merge, "merge into an application of that name instead of replacing it");

    auto* exportAef = context.Add(app, "export-aef", "Write an application as an AEF file",
                                  [this](KivCliContext& c) { return ExportAef(c); });
    Ctx::Text(exportAef->add_option("APPNAME", m_application, "the application's name")->required());
    Ctx::Path(exportAef->add_option("FILE", m_file, "the AEF file to write (DOS or host form)")->required());
    Ctx::Text(exportAef->add_option("--project", m_project, "the project (default: the current one)"));
    exportAef->add_flag("--dll", m_dll, "write the DLL form that other applications import");
}

int KivRepoCommands::List(KivCliContext& context) const {
    if (!context.Open())
        return 1;
    KivVORepository& repository = context.Repository();
    const std::string current = repository.CurrentProjectName();
    if (Failed(repository))
        return context.Report(repository);

    std::vector<std::shared_ptr<KivVOProject>> projects;
    if (m_project.empty()) {
        projects = repository.ProjectList();
        if (Failed(repository))
            return context.Report(repository);
    } else {
        auto project = context.Project(m_project);
        if (!project)
            return 1;
        projects.push_back(project);
    }

    Lister lister(m_source, context);
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
        return context.Report(repository);
    json doc;
    doc["projects"] = std::move(list);
    return context.Print(doc);
}

int KivRepoCommands::CreateProject(KivCliContext& context) const {
    if (!context.Open())
        return 1;
    if (!context.Repository().ProjectCreate(m_name, m_dir))
        return context.Report(context.Repository());
    json doc;
    doc["project"] = Text(m_name);
    KivCliContext::PutPath(doc, "folder", m_dir);
    return context.Print(doc);
}

int KivRepoCommands::SelectProject(KivCliContext& context) const {
    auto project = context.OpenProject(m_name);
    KivVORepository& repository = context.Repository();
    if (!project)
        return 1;
    // The end of the run would bring back the project that was current at its start.
    repository.DefaultProjectName(project->Name());
    json doc;
    doc["current"] = Text(project->Name());
    return context.Print(doc);
}

int KivRepoCommands::ImportAef(KivCliContext& context) const {
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    if (!project->ImportApplication(m_application, m_file, m_merge ? 0 : 1, 0))
        return context.Report(*project);
    json doc;
    doc["project"] = Text(project->Name());
    doc["application"] = Text(m_application);
    KivCliContext::PutPath(doc, "file", m_file);
    doc["merged"] = m_merge;
    return context.Print(doc);
}

int KivRepoCommands::ExportAef(KivCliContext& context) const {
    auto project = context.OpenProject(m_project);
    if (!project)
        return 1;
    auto application = context.Application(*project, m_application);
    if (!application)
        return 1;
    if (!(m_dll ? application->ExportToAEF_DLL(m_file) : application->ExportToAEF(m_file)))
        return context.Report(*application);
    json doc;
    doc["project"] = Text(project->Name());
    doc["application"] = Text(application->Name());
    KivCliContext::PutPath(doc, "file", m_file);
    doc["dll"] = m_dll;
    return context.Print(doc);
}
