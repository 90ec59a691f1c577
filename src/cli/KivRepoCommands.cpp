#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivConsoleProgress.h"
#include "cli/KivJsonText.h"
#include "cli/KivJsonWriter.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Moment;
using kiv::cli::Text;

struct Options : KivCliOptions {
    bool source = false;
    bool merge = false;
    bool dll = false;
};

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

// Writes the JSON of one object after another as it walks them; the first failing object stops
// the listing.
class Lister {
public:
    Lister(bool withSource, KivJsonWriter& out, KivCliContext& context)
        : m_withSource(withSource), m_out(out), m_context(context) {}

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
        m_context.Report(object);
        return false;
    }

    void Names(std::string_view key, const std::vector<std::string>& items) {
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
        Names("libraries", app.LibraryNameList());
        Names("udc", app.UDCNameList());
        Names("ch", app.CHNameList());
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
        const uint32_t created = entity.CreateUnixTime();
        m_out.String("created", Stamp(entity.Success(), created, m_created));
        const uint32_t built = entity.LastBuildUnixTime();
        m_out.String("lastBuild", Stamp(entity.Success(), built, m_built));
        if (m_withSource)
            m_out.String("source", Text(source));
        m_out.EndObject();
        return Check(entity);
    }

    struct Shown {
        bool known = false;
        uint32_t seconds = 0;
        std::string text;
    };

    // What Moment gives for the date and time the model makes of a moment it read (empty when
    // the read failed). The entities of one import share their moments: the last one's text is
    // kept, so a run of equal moments is formatted once.
    static const std::string& Stamp(bool success, uint32_t seconds, Shown& shown) {
        static const std::string none;
        if (!success)
            return none;
        if (!shown.known || shown.seconds != seconds)
            shown = {true, seconds,
                     Moment(kiv::repo::MomentDate(true, seconds), kiv::repo::MomentTime(true, seconds))};
        return shown.text;
    }

    bool m_withSource;
    KivJsonWriter& m_out;
    KivCliContext& m_context;
    Shown m_created;
    Shown m_built;
};

int List(const Options& o, KivCliContext& context) {
    if (!context.Open())
        return 1;
    KivVORepository& repository = context.Repository();
    const std::string current = repository.CurrentProjectName();
    if (Failed(repository))
        return context.Report(repository);

    std::vector<std::shared_ptr<KivVOProject>> projects;
    if (o.project.empty()) {
        projects = repository.ProjectList();
        if (Failed(repository))
            return context.Report(repository);
    } else {
        auto project = context.Project(o.project);
        if (!project)
            return 1;
        projects.push_back(project);
    }

    // The document is written as the repository is walked; a failure ends it where it stands.
    KivJsonWriter writer(context.Out());
    Lister lister(o.source, writer, context);
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
        return context.Report(repository);
    writer.EndArray();
    writer.EndObject();
    writer.Finish();
    return 0;
}

int CreateProject(const Options& o, KivCliContext& context) {
    if (!context.Open())
        return 1;
    if (!context.Repository().ProjectCreate(o.name, o.dir))
        return context.Report(context.Repository());
    json doc;
    doc["project"] = Text(o.name);
    KivCliContext::PutPath(doc, "folder", o.dir);
    return context.Print(doc);
}

int SelectProject(const Options& o, KivCliContext& context) {
    auto project = context.OpenProject(o.name);
    KivVORepository& repository = context.Repository();
    if (!project)
        return 1;
    // The end of the run would bring back the project that was current at its start.
    repository.DefaultProjectName(project->Name());
    json doc;
    doc["current"] = Text(project->Name());
    return context.Print(doc);
}

int ImportAef(const Options& o, KivCliContext& context) {
    auto project = context.OpenProject(o.project);
    if (!project)
        return 1;
    KivConsoleProgress progress("Importing " + o.file, true);
    const bool imported = project->ImportApplication(o.application, o.file, o.merge ? 0 : 1, 0);
    progress.End();
    if (!imported)
        return context.Report(*project);
    json doc;
    doc["project"] = Text(project->Name());
    doc["application"] = Text(o.application);
    KivCliContext::PutPath(doc, "file", o.file);
    doc["merged"] = o.merge;
    return context.Print(doc);
}

int ExportAef(const Options& o, KivCliContext& context) {
    auto application = context.OpenApplication(o.project, o.application);
    if (!application)
        return 1;
    // As every export here, into its folder made when it is missing (a failure to make it shows
    // as the export's own "path not found").
    KivDirMake(KivPathUp(o.file));
    KivConsoleProgress progress("Exporting " + o.application, true);
    const bool exported = o.dll ? application->ExportToAEF_DLL(o.file) : application->ExportToAEF(o.file);
    progress.End();
    if (!exported)
        return context.Report(*application);
    json doc;
    doc["project"] = Text(application->Owner()->Name());
    doc["application"] = Text(application->Name());
    KivCliContext::PutPath(doc, "file", o.file);
    doc["dll"] = o.dll;
    return context.Print(doc);
}

} // namespace

// kivrepo's commands over the repository: list, create-project, select-project, import-aef and
// export-aef. Each opens the repository for its run and closes it at the end, leaving the
// project that was current before it current again (select-project excepted).
void KivAddRepoCommands(CLI::App& app, KivCliContext& context) {
    using Ctx = KivCliContext;
    auto& o = context.Keep<Options>();
    auto* list = context.Add(app, "list", "Print the repository as one JSON document", List, o);
    o.AddProject(list, "only this project");
    list->add_flag("--source", o.source, "include each entity's source");

    auto* createProject =
        context.Add(app, "create-project", "Create a project whose data lives in DIR", CreateProject, o);
    Ctx::Text(createProject->add_option("NAME", o.name, "the project's name")->required());
    Ctx::Path(createProject->add_option("DIR", o.dir, "its folder (DOS or host form)")->required());

    auto* selectProject =
        context.Add(app, "select-project", "Make a project the current one", SelectProject, o);
    Ctx::Text(selectProject->add_option("NAME", o.name, "the project's name")->required());

    auto* importAef =
        context.Add(app, "import-aef", "Read an AEF file into a project as an application", ImportAef, o);
    Ctx::Path(importAef->add_option("FILE", o.file, "the AEF file (DOS or host form)")->required());
    o.AddApplication(importAef, "APPNAME", "the application's name");
    importAef->add_flag("--merge", o.merge, "merge into an application of that name instead of replacing it");

    auto* exportAef = context.Add(app, "export-aef", "Write an application as an AEF file", ExportAef, o);
    o.AddApplication(exportAef, "APPNAME", "the application's name");
    Ctx::Path(exportAef->add_option("FILE", o.file, "the AEF file to write (DOS or host form)")->required());
    exportAef->add_flag("--dll", o.dll, "write the DLL form that other applications import");
}
