#include "repository/KivDemoRepository.h"

#include "engine/KivCurrentEngine.h"
#include "engine/KivEngine.h"
#include "engine/KivEngineStatus.h"
#include "engine/KivEngineUtil.h"
#include "engine/KivPrgEntities.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOEntity.h"
#include "repository/KivVOModule.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivIniDocument.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kManifest = "demo.ini";

enum class Kind { Executable, Library, Dll, SystemLibrary };

struct DemoProject {
    std::string name;
    std::string dir;
    std::string description;
    std::string keywords;
};

struct DemoApp {
    std::string section;
    std::string project;
    std::string name;
    Kind kind = Kind::Executable;
    std::string exeName;
    std::string exportName;
    std::string group;
    std::string description;
    bool debug = false;
    std::vector<std::string> libraries;
};

struct DemoModule {
    std::string project;
    std::string application;
    std::string name;
    std::string file; // DOS form, absolute
    bool external = false;
    bool visible = true;
    std::vector<std::string> hidden;
};

struct Manifest {
    std::vector<DemoProject> projects;
    std::vector<DemoApp> apps;
    std::vector<DemoModule> modules;
};

// A failure while reading the folder; the text says where.
struct Problem {
    std::string text;
};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && KivEqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string FileError(uint32_t status) {
    return status == kiv::engine::kBadFile ? kiv::engine::StatusText(status) : kiv::oserror::Text(status);
}

// The whole file named in DOS form, or the reason it cannot be read.
std::optional<Problem> ReadDosFile(const std::string& dosFile, std::string& bytes) {
    auto host = kiv::dospath::Resolve(dosFile);
    if (!host)
        return Problem{"Cannot read " + dosFile + ": " + kiv::oserror::Text(kiv::oserror::kPathNotFound)};
    if (uint32_t status = kiv::engine::ReadWholeFile(*host, bytes))
        return Problem{"Cannot read " + dosFile + ": " + FileError(status)};
    return std::nullopt;
}

class ManifestReader {
public:
    ManifestReader(std::string folder, std::string manifestPath, const KivIniDocument& doc)
        : m_folder(std::move(folder)), m_path(std::move(manifestPath)), m_doc(doc) {}

    std::optional<Problem> Read(Manifest& manifest) {
        for (const std::string& section : m_doc.Sections()) {
            std::optional<Problem> problem;
            if (StartsWithIgnoringCase(section, "Project"))
                problem = ReadProject(section, manifest);
            else if (StartsWithIgnoringCase(section, "APP"))
                problem = ReadApp(section, manifest);
            else if (StartsWithIgnoringCase(section, "Module"))
                problem = ReadModule(section, manifest);
            else
                problem = Fail(section, "is no section of a demo manifest");
            if (problem)
                return problem;
        }
        if (manifest.projects.empty() || manifest.apps.empty())
            return Problem{m_path + ": names no project or no application"};
        return CheckLibraries(manifest);
    }

private:
    Problem Fail(const std::string& section, const std::string& what) const {
        return Problem{m_path + ", [" + section + "]: " + what};
    }

    std::string Value(const std::string& section, std::string_view key) const {
        auto value = m_doc.Value(section, key);
        return value ? KivAllTrim(*value) : std::string();
    }

    std::optional<Problem> Required(const std::string& section, std::string_view key,
                                    std::string& out) const {
        out = Value(section, key);
        if (out.empty())
            return Fail(section, std::string(key) + " is missing");
        return std::nullopt;
    }

    std::optional<Problem> Logical(const std::string& section, std::string_view key, bool& out) const {
        const std::string text = KivUpper(Value(section, key));
        if (text == ".T.")
            out = true;
        else if (text == ".F.")
            out = false;
        else if (!text.empty())
            return Fail(section, std::string(key) + " must be .T. or .F.");
        return std::nullopt;
    }

    std::vector<std::string> List(const std::string& section, std::string_view key) const {
        std::vector<std::string> items;
        for (const std::string& item : KivString2Array(Value(section, key), ","))
            if (std::string trimmed = KivAllTrim(item); !trimmed.empty())
                items.push_back(std::move(trimmed));
        return items;
    }

    static const DemoProject* FindProject(const Manifest& manifest, std::string_view name) {
        for (const DemoProject& project : manifest.projects)
            if (KivEqualsIgnoringCase(project.name, name))
                return &project;
        return nullptr;
    }

    static const DemoApp* FindApp(const Manifest& manifest, std::string_view project, std::string_view name) {
        for (const DemoApp& app : manifest.apps)
            if (KivEqualsIgnoringCase(app.project, project) && KivEqualsIgnoringCase(app.name, name))
                return &app;
        return nullptr;
    }

    std::optional<Problem> ReadProject(const std::string& section, Manifest& manifest) const {
        DemoProject project;
        if (auto problem = Required(section, "Name", project.name))
            return problem;
        if (auto problem = Required(section, "Dir", project.dir))
            return problem;
        if (FindProject(manifest, project.name))
            return Fail(section, "the project " + project.name + " is named twice");
        project.description = Value(section, "Description");
        project.keywords = Value(section, "Keywords");
        manifest.projects.push_back(std::move(project));
        return std::nullopt;
    }

    std::optional<Problem> ReadApp(const std::string& section, Manifest& manifest) const {
        DemoApp app;
        app.section = section;
        std::string kind;
        if (auto problem = Required(section, "Project", app.project))
            return problem;
        if (auto problem = Required(section, "Name", app.name))
            return problem;
        if (auto problem = Required(section, "Kind", kind))
            return problem;
        if (!FindProject(manifest, app.project))
            return Fail(section, "the project " + app.project + " has no section before it");
        if (FindApp(manifest, app.project, app.name))
            return Fail(section, "the application " + app.name + " is named twice");
        if (KivEqualsIgnoringCase(kind, "Executable"))
            app.kind = Kind::Executable;
        else if (KivEqualsIgnoringCase(kind, "Library"))
            app.kind = Kind::Library;
        else if (KivEqualsIgnoringCase(kind, "DLL"))
            app.kind = Kind::Dll;
        else if (KivEqualsIgnoringCase(kind, "System Library"))
            app.kind = Kind::SystemLibrary;
        else
            return Fail(section, "Kind must be Executable, Library, DLL or System Library");
        app.exeName = Value(section, "ExeName");
        app.exportName = Value(section, "ExportName");
        app.group = Value(section, "Group");
        app.description = Value(section, "Description");
        if (auto problem = Logical(section, "Debug", app.debug))
            return problem;
        app.libraries = List(section, "Libraries");
        manifest.apps.push_back(std::move(app));
        return std::nullopt;
    }

    std::optional<Problem> ReadModule(const std::string& section, Manifest& manifest) const {
        DemoModule module;
        std::string file;
        if (auto problem = Required(section, "Project", module.project))
            return problem;
        if (auto problem = Required(section, "Application", module.application))
            return problem;
        if (auto problem = Required(section, "Name", module.name))
            return problem;
        if (auto problem = Required(section, "File", file))
            return problem;
        if (!FindApp(manifest, module.project, module.application))
            return Fail(section, "the application " + module.application + " of project " + module.project +
                                     " has no section before it");
        // The engine takes a module name holding a folder separator as a path.
        if (module.name.find_first_of("\\/") != std::string::npos)
            return Fail(section, "a module name holds no \\ or /");
        for (const DemoModule& other : manifest.modules)
            if (KivEqualsIgnoringCase(other.project, module.project) &&
                KivEqualsIgnoringCase(other.application, module.application) &&
                KivEqualsIgnoringCase(other.name, module.name))
                return Fail(section, "the module " + module.name + " is named twice");
        if (!KivExtractFileDrive(file).empty() || file[0] == '\\' || file[0] == '/')
            return Fail(section, "File must name a file below " + m_folder);
        if (auto problem = Logical(section, "External", module.external))
            return problem;
        if (auto problem = Logical(section, "Visible", module.visible))
            return problem;
        module.file = KivConcatDir(m_folder, file);
        std::string text;
        if (auto problem = ReadDosFile(module.file, text))
            return Fail(section, problem->text);
        const std::vector<KivEntityImage> entities = KivPrgEntities(text, 0);
        if (entities.empty())
            return Fail(section, module.file + " holds no entity");
        module.hidden = List(section, "Hidden");
        for (const std::string& hidden : module.hidden) {
            bool found = false;
            for (const KivEntityImage& entity : entities)
                found = found || KivEqualsIgnoringCase(entity.name, hidden);
            if (!found)
                return Fail(section,
                            "Hidden names " + hidden + ", which " + module.file + " does not define");
        }
        manifest.modules.push_back(std::move(module));
        return std::nullopt;
    }

    std::optional<Problem> CheckLibraries(const Manifest& manifest) const {
        for (const DemoApp& app : manifest.apps)
            for (const std::string& library : app.libraries)
                if (KivEqualsIgnoringCase(library, app.name) || !FindApp(manifest, app.project, library))
                    return Fail(app.section, "Libraries names " + library +
                                                 ", which is no other application of " + app.project);
        return std::nullopt;
    }

    std::string m_folder;
    std::string m_path;
    const KivIniDocument& m_doc;
};

std::string Failure(const KivIDEBaseObject& object) {
    std::string text = object.ErrorString();
    if (object.ErrorCode() != 0)
        text += ": " + kiv::engine::StatusText(object.ErrorCode());
    return text;
}

std::string Failure(const char* operation, uint32_t status) {
    return std::string("Error ") + operation + ": " + kiv::engine::StatusText(status);
}

// Makes the manifest's objects and remembers each, so that a failure can take them away again.
class Builder {
public:
    Builder(KivVORepository& repository, KivEngine& settings, std::string previousProject)
        : m_repo(repository), m_settings(settings), m_previous(std::move(previousProject)) {}

    std::optional<Problem> Build(const Manifest& manifest) {
        for (const DemoProject& project : manifest.projects)
            if (auto problem = MakeProject(project))
                return problem;
        for (const DemoApp& app : manifest.apps)
            if (auto problem = MakeApp(app))
                return problem;
        for (const DemoModule& module : manifest.modules)
            if (auto problem = MakeModule(module))
                return problem;
        for (const DemoApp& app : manifest.apps)
            if (auto problem = SetLibraries(app))
                return problem;
        return std::nullopt;
    }

    void Undo() {
        for (auto it = m_apps.rbegin(); it != m_apps.rend(); ++it) {
            auto project = std::make_shared<KivVOProject>(it->first);
            project->ApplicationDelete(std::make_shared<KivVOApplication>(project, it->second));
        }
        // A project cannot be deleted while it is the current one.
        m_repo.CurrentProjectName(m_previous);
        for (auto it = m_projects.rbegin(); it != m_projects.rend(); ++it)
            m_repo.ProjectNameDelete(*it);
    }

private:
    std::optional<Problem> MakeProject(const DemoProject& wanted) {
        std::shared_ptr<KivVOProject> project = m_repo.ProjectFind(wanted.name);
        if (!m_repo.Success())
            return Problem{Failure(m_repo)};
        if (!project) {
            project = m_repo.ProjectCreate(wanted.name, wanted.dir);
            if (!project)
                return Problem{"Cannot create the project " + wanted.name + ": " + Failure(m_repo)};
            // A folder that kept a project's data brings that project back with its applications:
            // they are someone's work, so the project is only taken out of the catalogue again.
            if (!project->ApplicationNameList().empty()) {
                m_repo.CurrentProjectName(m_previous);
                m_repo.ProjectRemove(project);
                return Problem{"The folder " + wanted.dir + " holds the data of a project with applications"};
            }
            m_projects.push_back(wanted.name);
        }
        if (uint32_t status = m_settings.PrjSetDescription(wanted.name.c_str(), wanted.description.c_str()))
            return Problem{Failure("PrjSetDescription", status)};
        project->Keywords(wanted.keywords);
        if (!project->Success())
            return Problem{Failure(*project)};
        return std::nullopt;
    }

    std::optional<Problem> MakeApp(const DemoApp& wanted) {
        auto project = std::make_shared<KivVOProject>(wanted.project);
        std::shared_ptr<KivVOApplication> app = project->ApplicationCreate(wanted.name);
        if (!app)
            return Problem{"Cannot create the application " + wanted.name + ": " + Failure(*project)};
        m_apps.emplace_back(wanted.project, app->ID());
        app->ExeName(wanted.exeName);
        if (app->Success())
            app->FullPath(wanted.exportName);
        if (app->Success())
            app->GroupName(wanted.group);
        if (app->Success())
            app->Description(wanted.description);
        if (app->Success())
            app->Debug(wanted.debug);
        if (!app->Success())
            return Problem{wanted.name + ": " + Failure(*app)};
        const bool library = wanted.kind == Kind::Library || wanted.kind == Kind::SystemLibrary;
        if (uint32_t status =
                m_settings.AppSetLib(app->ID(), library ? 1 : 0, wanted.kind == Kind::Dll ? 1 : 0))
            return Problem{wanted.name + ": " + Failure("AppSetLib", status)};
        if (uint32_t status = m_settings.AppSetSysLib(app->ID(), wanted.kind == Kind::SystemLibrary ? 1 : 0))
            return Problem{wanted.name + ": " + Failure("AppSetSysLib", status)};
        return std::nullopt;
    }

    std::optional<Problem> MakeModule(const DemoModule& wanted) {
        auto project = std::make_shared<KivVOProject>(wanted.project);
        std::shared_ptr<KivVOApplication> app = project->ApplicationFind(wanted.application);
        if (!app)
            return Problem{"Cannot find the application " + wanted.application + ": " + Failure(*project)};
        std::shared_ptr<KivVOModule> module =
            app->ImportModule(wanted.file, wanted.name, 0, wanted.external ? 1 : 0);
        if (!module)
            return Problem{"Cannot read " + wanted.file + " into " + wanted.application + ": " +
                           Failure(*app)};
        for (const std::string& name : wanted.hidden) {
            std::shared_ptr<KivVOEntity> entity = module->EntityFind(name, 0);
            if (!entity)
                return Problem{wanted.name + ": no entity " + name + " to hide: " + Failure(*module)};
            if (uint32_t status = m_settings.EntSetAppearance(entity->ID(), 0))
                return Problem{wanted.name + ": " + Failure("EntSetAppearance", status)};
        }
        if (!wanted.visible)
            if (uint32_t status = m_settings.ModSetAppearance(module->ID(), 0))
                return Problem{wanted.name + ": " + Failure("ModSetAppearance", status)};
        return std::nullopt;
    }

    std::optional<Problem> SetLibraries(const DemoApp& wanted) {
        if (wanted.libraries.empty())
            return std::nullopt;
        auto project = std::make_shared<KivVOProject>(wanted.project);
        std::shared_ptr<KivVOApplication> app = project->ApplicationFind(wanted.name);
        if (!app)
            return Problem{"Cannot find the application " + wanted.name + ": " + Failure(*project)};
        app->LibraryNameList(wanted.libraries);
        // The rewrite keeps no status of its own: reading the list back tells whether it took.
        const std::vector<std::string> now = app->LibraryNameList();
        bool same = app->Success() && now.size() == wanted.libraries.size();
        for (size_t i = 0; same && i < now.size(); ++i)
            same = KivEqualsIgnoringCase(now[i], wanted.libraries[i]);
        if (!same)
            return Problem{"Cannot set the libraries of " + wanted.name + ": " + Failure(*app)};
        return std::nullopt;
    }

    KivVORepository& m_repo;
    // For the settings the IDE keeps for itself, which the model has no property to write.
    KivEngine& m_settings;
    // The project that was current before the load, and is again after a failure.
    std::string m_previous;
    std::vector<std::string> m_projects;
    std::vector<std::pair<std::string, uint16_t>> m_apps;
};

} // namespace

bool KivDemoRepositoryIsEmpty() {
    auto repo = KivVORepository::Create(false);
    const std::string current = repo->CurrentProjectName();
    if (!repo->Success())
        return true;
    bool empty = true;
    for (const std::string& name : repo->ProjectNameList()) {
        // Walking a project's applications makes it current; the current one is put back below.
        KivVOProject project(name);
        if (!project.FirstApplicationName().empty()) {
            empty = false;
            break;
        }
    }
    repo->CurrentProjectName(current);
    return empty;
}

KivDemoLoad KivLoadDemoRepository(const std::string& samplesDir) {
    KivDemoLoad result;
    auto host = samplesDir.empty() ? std::nullopt : kiv::dospath::Resolve(kiv::dospath::ToDos(samplesDir));
    if (!host) {
        result.error = "The demo folder " + samplesDir + " is not on a mapped drive";
        return result;
    }
    // Modules bound to their files keep the path: it must not depend on the working folder.
    const std::string folder = kiv::dospath::FromHost(*host);
    const std::string manifestPath = KivConcatDir(folder, kManifest);
    std::string bytes;
    if (auto problem = ReadDosFile(manifestPath, bytes)) {
        result.error = problem->text;
        return result;
    }
    Manifest manifest;
    KivIniDocument doc(bytes);
    if (auto problem = ManifestReader(folder, manifestPath, doc).Read(manifest)) {
        result.error = problem->text;
        return result;
    }
    if (!KivDemoRepositoryIsEmpty()) {
        result.success = true;
        return result;
    }
    auto repo = KivVORepository::Create(false);
    const std::string previous = repo->CurrentProjectName();
    if (!repo->Success()) {
        result.error = Failure(*repo);
        return result;
    }
    Builder builder(*repo, KivGetEngine(), previous);
    if (auto problem = builder.Build(manifest)) {
        builder.Undo();
        result.error = problem->text;
        return result;
    }
    result.project = manifest.projects.front().name;
    if (repo->CurrentProjectName(result.project).empty()) {
        result.error = Failure(*repo);
        builder.Undo();
        return result;
    }
    // The catalogue's spelling, which the manifest need not match.
    result.project = repo->CurrentProjectName();
    result.success = true;
    result.loaded = true;
    return result;
}

std::string KivDemoSamplesDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = (program.parent_path() / KIV_SAMPLES_FROM_BIN).lexically_normal();
        if (fs::is_regular_file(installed / kManifest, error))
            return installed.string();
    }
    return KIV_SAMPLES_DIR;
}
