// The transfers of KivSqliteEngine: export and import of applications and modules, and the
// binding of a module to its PRG file.
#include "engine/KivSqliteEngine.h"

#include "engine/KivEngineUtil.h"
#include "engine/KivExportReader.h"
#include "engine/KivExportWriter.h"
#include "engine/KivPrgEntities.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"

#include <map>

using namespace kiv::engine;

namespace {

// The file name without folder and extension.
std::string BaseName(std::string_view path) {
    size_t slash = path.find_last_of("\\/:");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        path = path.substr(0, dot);
    return std::string(path);
}

// The entities read from a PRG keep the creation time of the entity they replace.
void KeepCreationTimes(std::vector<KivEntityImage>& entities, const std::map<std::string, uint32_t>& times) {
    for (KivEntityImage& e : entities) {
        auto it = times.find(e.name + '\0' + std::to_string(e.type));
        if (it != times.end())
            e.created = it->second;
    }
}

} // namespace

uint32_t KivSqliteEngine::AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) {
    if (uint32_t status = ProjectReady())
        return status;
    if (form > 1)
        return kBadArgument;
    auto host = HostPath(Str(file));
    if (!host)
        return kiv::oserror::kPathNotFound;
    KivApplicationImage app;
    {
        KivSqliteDb::ReadTransaction read(m_project->Db());
        if (uint32_t status = m_project->LoadApplicationImage(appId, app))
            return status;
    }
    std::string bytes;
    size_t written = app.modules.size();
    if (form == 0)
        KivExportWriter::WriteApplication(app, bytes);
    else
        written = KivExportWriter::WriteDllForm(app, bytes);
    if (uint32_t status = WriteWholeFile(*host, bytes))
        return status;
    if (modules)
        *modules = static_cast<uint32_t>(written);
    return kOk;
}

uint32_t KivSqliteEngine::AdamExportMod(const char* file, uint32_t modId, uint32_t, uint32_t* entities) {
    if (uint32_t status = ProjectReady())
        return status;
    auto host = HostPath(Str(file));
    if (!host)
        return kiv::oserror::kPathNotFound;
    KivModuleImage module;
    {
        KivSqliteDb::ReadTransaction read(m_project->Db());
        if (uint32_t status = m_project->LoadModuleImage(modId, module))
            return status;
    }
    std::string bytes;
    KivExportWriter::WriteModuleFile(module, bytes);
    if (uint32_t status = WriteWholeFile(*host, bytes))
        return status;
    if (entities)
        *entities = static_cast<uint32_t>(module.entities.size());
    return kOk;
}

uint32_t KivSqliteEngine::AdamImportApp(const char* file, const char* appName, uint32_t replace, uint32_t,
                                        uint32_t* appId, uint32_t* modules) {
    if (uint32_t status = ProjectReady())
        return status;
    auto host = HostPath(Str(file));
    if (!host)
        return kiv::oserror::kPathNotFound;
    std::string bytes;
    if (uint32_t status = ReadWholeFile(*host, bytes))
        return status;
    KivApplicationImage app;
    if (uint32_t status = KivExportReader::ReadApplication(bytes, app))
        return status;
    bytes = std::string();
    if (std::string name = Str(appName); !name.empty())
        app.name = name;
    if (app.name.empty())
        return kBadFile;
    uint16_t id = 0;
    uint32_t status = Write([&] {
        if (uint32_t s = m_project->FindApp(app.name, id))
            return s;
        if (id != 0 && replace) {
            if (uint32_t s = m_project->DeleteApp(id))
                return s;
            id = 0;
        }
        if (id == 0)
            return m_project->InsertApplication(app, id);
        // Merge: the file's modules join the application, each in the place of a module of its name.
        for (const KivModuleImage& module : app.modules) {
            uint32_t old = 0;
            int64_t seq = -1;
            if (uint32_t s = m_project->FindModule(id, module.name, old))
                return s;
            if (old != 0) {
                if (uint32_t s = m_project->ModuleSeq(old, seq))
                    return s;
                if (uint32_t s = m_project->DeleteModule(old))
                    return s;
            }
            uint32_t modId = 0;
            if (uint32_t s = m_project->InsertModule(id, seq, module, modId))
                return s;
        }
        return kOk;
    });
    if (status)
        return status;
    if (appId)
        *appId = id;
    if (modules)
        *modules = static_cast<uint32_t>(app.modules.size());
    return kOk;
}

uint32_t KivSqliteEngine::AdamImportMod(const char* file, const char* moduleName, uint16_t appId,
                                        uint32_t* entities, uint32_t replace, uint32_t bind,
                                        uint32_t* modId) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    std::string dosFile = Str(file);
    auto host = HostPath(dosFile);
    if (!host)
        return kiv::oserror::kPathNotFound;
    std::string bytes;
    if (uint32_t status = ReadWholeFile(*host, bytes))
        return status;
    KivModuleImage module;
    if (KivExportReader::IsModuleFile(bytes)) {
        if (uint32_t status = KivExportReader::ReadModule(bytes, module))
            return status;
    } else {
        uint32_t now = Now();
        module.name = BaseName(dosFile);
        module.created = module.built = now;
        module.entities = KivPrgEntities(bytes, now);
        if (bind) {
            module.externFile = dosFile;
            module.externSource = std::move(bytes);
        }
    }
    std::string name = Str(moduleName);
    if (name.find_first_of("\\/") != std::string::npos)
        name = BaseName(name);
    if (!name.empty())
        module.name = name;
    if (module.name.empty())
        return kBadArgument;
    uint32_t id = 0;
    uint32_t status = Write([&] {
        uint32_t old = 0;
        int64_t seq = -1;
        if (uint32_t s = m_project->FindModule(appId, module.name, old))
            return s;
        if (old != 0) {
            if (!replace)
                return kNameExists;
            if (uint32_t s = m_project->ModuleSeq(old, seq))
                return s;
            if (uint32_t s = m_project->DeleteModule(old))
                return s;
        }
        return m_project->InsertModule(appId, seq, module, id);
    });
    if (status)
        return status;
    if (modId)
        *modId = id;
    if (entities)
        *entities = static_cast<uint32_t>(module.entities.size());
    return kOk;
}

uint32_t KivSqliteEngine::ModSetExtern(uint32_t modId, const char* file, uint32_t* changed) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    if (!file) {
        if (module.externFile.empty()) {
            if (changed)
                *changed = 0;
            return kOk;
        }
        uint32_t status = Write([&] { return m_project->SetExtern(modId, "", "", module.built); });
        if (!status && changed)
            *changed = 1;
        return status;
    }
    std::string dosFile = kiv::dospath::ToDos(file);
    if (dosFile.empty())
        return kBadArgument;
    auto host = HostPath(dosFile);
    if (!host)
        return kiv::oserror::kPathNotFound;
    std::string text;
    if (uint32_t status = ReadWholeFile(*host, text))
        return status;
    std::string oldText;
    if (uint32_t status = m_project->ExternSource(modId, oldText))
        return status;
    uint32_t now = Now();
    std::vector<KivEntityImage> entities = KivPrgEntities(text, now);
    uint32_t status = Write([&] {
        std::map<std::string, uint32_t> times;
        if (uint32_t s = m_project->EntityCreationTimes(modId, times))
            return s;
        KeepCreationTimes(entities, times);
        if (uint32_t s = m_project->SetExtern(modId, dosFile, text, now))
            return s;
        return m_project->ReplaceEntities(modId, entities);
    });
    if (!status && changed)
        *changed = dosFile != module.externFile || text != oldText ? 1 : 0;
    return status;
}
