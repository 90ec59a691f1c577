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

// The entities read from a PRG keep the creation time of the entity they replace.
void KeepCreationTimes(std::vector<KivEntityImage>& entities, const std::map<std::string, uint32_t>& times) {
    for (KivEntityImage& e : entities) {
        auto it = times.find(e.name + '\0' + std::to_string(e.type));
        if (it != times.end())
            e.created = it->second;
    }
}

// Gathers an export file's bytes and hands them to the file in large writes.
class OutputBuffer {
public:
    static constexpr size_t kBlock = 1 << 20;

    explicit OutputBuffer(KivAtomicFile& file) : m_file(file) { m_bytes.reserve(kBlock + kBlock / 4); }
    std::string& Bytes() { return m_bytes; }
    uint32_t FlushWhenFull() { return m_bytes.size() >= kBlock ? Flush() : kOk; }
    uint32_t Flush() {
        if (!m_file.Write(m_bytes))
            return FileStatus(m_file);
        m_bytes.clear();
        return kOk;
    }
    uint32_t Commit() {
        if (uint32_t status = Flush())
            return status;
        return m_file.Commit() ? kOk : FileStatus(m_file);
    }

private:
    KivAtomicFile& m_file;
    std::string m_bytes;
};

// Writes a stored module's records, its entities one at a time as the store hands them out.
uint32_t WriteStoredModule(KivProjectStore& store, uint32_t modId, const KivModuleImage& module,
                           OutputBuffer& out, uint32_t* count = nullptr) {
    return KivExportWriter::WriteModule(module, out.Bytes(), [&] {
        return store.EachEntity(modId, [&](const KivEntityView& e) {
            KivExportWriter::WriteEntity(e, out.Bytes());
            if (count)
                ++*count;
            return out.FlushWhenFull();
        });
    });
}

// Stores the modules and entities of an export file as the reader walks it, inside the import's
// transaction.
class StoreSink : public KivExportSink {
public:
    explicit StoreSink(KivProjectStore& store) : m_store(store) {}

    uint32_t Application(const KivApplicationImage&) override { return kBadFile; }
    uint32_t Entity(const KivEntityView& entity) override {
        ++m_entities;
        return m_store.InsertEntity(m_module, ++m_seq, entity);
    }
    uint32_t ModuleEnd(const KivModuleImage& module) override {
        // The records after the entities may carry values the module's row has not got yet.
        return module.tail.empty() ? kOk : m_store.FinishModule(m_module, module);
    }

    uint16_t App() const { return m_app; }
    uint32_t Module() const { return m_module; }
    uint32_t Modules() const { return m_modules; }
    uint32_t Entities() const { return m_entities; }

protected:
    // The module goes into the application in the place of `old` (0: at the end).
    uint32_t Begin(const KivModuleImage& module, uint32_t old) {
        int64_t seq = -1;
        if (old != 0) {
            if (uint32_t s = m_store.ModuleSeq(old, seq))
                return s;
            if (uint32_t s = m_store.DeleteModule(old))
                return s;
        }
        m_seq = 0;
        ++m_modules;
        return m_store.InsertModuleRow(m_app, seq, module, m_module);
    }

    KivProjectStore& m_store;
    uint16_t m_app = 0;

private:
    uint32_t m_module = 0;
    int64_t m_seq = 0;
    uint32_t m_modules = 0;
    uint32_t m_entities = 0;
};

// An AEF: a new application, or the file's modules merged into the one of that name.
class ApplicationSink : public StoreSink {
public:
    ApplicationSink(KivProjectStore& store, std::string name, bool replace)
        : StoreSink(store), m_name(std::move(name)), m_replace(replace) {}

    uint32_t Application(const KivApplicationImage& file) override {
        const KivApplicationImage* app = &file;
        KivApplicationImage named;
        if (!m_name.empty()) {
            named = file;
            named.name = m_name;
            app = &named;
        }
        if (app->name.empty())
            return kBadFile;
        if (uint32_t s = m_store.FindApp(app->name, m_app))
            return s;
        if (m_app != 0 && m_replace) {
            if (uint32_t s = m_store.DeleteApp(m_app))
                return s;
            m_app = 0;
        }
        m_merge = m_app != 0;
        return m_merge ? kOk : m_store.InsertApplicationRow(*app, m_app);
    }
    uint32_t ModuleBegin(const KivModuleImage& module) override {
        // Merge: each of the file's modules takes the place of the module of its name.
        uint32_t old = 0;
        if (m_merge)
            if (uint32_t s = m_store.FindModule(m_app, module.name, old))
                return s;
        return Begin(module, old);
    }

private:
    std::string m_name;
    bool m_replace;
    bool m_merge = false;
};

// One module of a MEF or PRG file into an application, under the name the caller gave.
class ModuleSink : public StoreSink {
public:
    ModuleSink(KivProjectStore& store, uint16_t app, std::string name, bool replace)
        : StoreSink(store), m_name(std::move(name)), m_replace(replace) {
        m_app = app;
    }

    uint32_t ModuleBegin(const KivModuleImage& file) override {
        const KivModuleImage* module = &file;
        KivModuleImage named;
        if (!m_name.empty()) {
            named = file;
            named.name = m_name;
            module = &named;
        }
        if (module->name.empty())
            return kBadArgument;
        uint32_t old = 0;
        if (uint32_t s = m_store.FindModule(m_app, module->name, old))
            return s;
        if (old != 0 && !m_replace)
            return kNameExists;
        return Begin(*module, old);
    }

private:
    std::string m_name;
    bool m_replace;
};

} // namespace

uint32_t KivSqliteEngine::AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) {
    if (uint32_t status = ProjectReady())
        return status;
    if (form > 1)
        return kBadArgument;
    auto host = HostPath(Str(file));
    if (!host)
        return kiv::oserror::kPathNotFound;
    KivSqliteDb::ReadTransaction read(m_project->Db());
    KivApplicationImage app;
    if (uint32_t status = m_project->LoadApplicationPart(appId, app))
        return status;
    std::vector<uint32_t> ids;
    if (uint32_t status = m_project->ModuleIds(appId, ids))
        return status;
    KivAtomicFile target(*host, KivAtomicFile::Sync::WhenReplacing);
    if (!target.IsOpen())
        return FileStatus(target);
    OutputBuffer out(target);
    KivExportWriter::WriteApplicationPart(app, out.Bytes());
    const std::string dllName = KivExportWriter::DllName(app);
    size_t written = 0;
    KivModuleImage module;
    for (uint32_t id : ids) {
        if (uint32_t status = m_project->LoadModulePart(id, module))
            return status;
        if (form == 0) {
            if (uint32_t status = WriteStoredModule(*m_project, id, module, out))
                return status;
            ++written;
            continue;
        }
        KivModuleImage dll;
        dll.name = module.name;
        dll.created = module.created;
        dll.built = module.built;
        KivEntityImage declaration;
        uint32_t status = m_project->EachEntity(id, [&](const KivEntityView& e) {
            if (KivExportWriter::DllDeclaration(e, dllName, declaration))
                dll.entities.push_back(std::move(declaration));
            return kOk;
        });
        if (status)
            return status;
        if (dll.entities.empty())
            continue;
        status = KivExportWriter::WriteModule(dll, out.Bytes(), [&] {
            for (const KivEntityImage& e : dll.entities)
                KivExportWriter::WriteEntity(e, out.Bytes());
            return out.FlushWhenFull();
        });
        if (status)
            return status;
        ++written;
    }
    KivExportWriter::WriteEnd(out.Bytes());
    if (uint32_t status = out.Commit())
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
    KivSqliteDb::ReadTransaction read(m_project->Db());
    KivModuleImage module;
    if (uint32_t status = m_project->LoadModulePart(modId, module))
        return status;
    KivAtomicFile target(*host, KivAtomicFile::Sync::WhenReplacing);
    if (!target.IsOpen())
        return FileStatus(target);
    OutputBuffer out(target);
    KivExportWriter::WriteModuleFileHeader(out.Bytes());
    uint32_t count = 0;
    if (uint32_t status = WriteStoredModule(*m_project, modId, module, out, &count))
        return status;
    KivExportWriter::WriteEnd(out.Bytes());
    if (uint32_t status = out.Commit())
        return status;
    if (entities)
        *entities = count;
    return kOk;
}

uint32_t KivSqliteEngine::AdamImportApp(const char* file, const char* appName, uint32_t replace, uint32_t,
                                        uint32_t* appId, uint32_t* modules) {
    if (uint32_t status = ProjectReady())
        return status;
    auto host = HostPath(Str(file));
    if (!host)
        return kiv::oserror::kPathNotFound;
    KivInputFile input;
    if (uint32_t status = input.Open(*host))
        return status;
    ApplicationSink sink(*m_project, Str(appName), replace != 0);
    // The records go to the store as the file is walked, all in one transaction. A file larger
    // than the log may grow would go through the log and then be folded into the database whole:
    // it is written once, with a journal. Smaller ones go through the log, whose commits need no
    // flush to disk (an import of a project's applications runs one after the other).
    const auto kind = input.Bytes().size() > m_bulkImportSize ? KivSqliteDb::Transaction::Kind::Bulk
                                                              : KivSqliteDb::Transaction::Kind::Change;
    const auto read = [&] {
        const uint32_t status = KivExportReader::ReadApplication(input.Bytes(), sink);
        return status == kOk && input.Cut() ? kiv::oserror::kReadFault : status;
    };
    if (uint32_t status = Write(read, kind))
        return status;
    if (appId)
        *appId = sink.App();
    if (modules)
        *modules = sink.Modules();
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
    KivInputFile input;
    if (uint32_t status = input.Open(*host))
        return status;
    std::string name = Str(moduleName);
    if (name.find_first_of("\\/") != std::string::npos)
        name = std::string(FileBaseName(name));
    ModuleSink sink(*m_project, appId, name, replace != 0);
    const std::string_view bytes = input.Bytes();
    uint32_t status = kOk;
    if (KivExportReader::IsModuleFile(bytes)) {
        status = Write([&] {
            const uint32_t read = KivExportReader::ReadModule(bytes, sink);
            return read == kOk && input.Cut() ? kiv::oserror::kReadFault : read;
        });
    } else {
        uint32_t now = Now();
        KivModuleImage module;
        module.name = std::string(FileBaseName(dosFile));
        module.created = module.built = now;
        std::vector<KivEntityImage> read = KivPrgEntities(bytes, now);
        if (bind) {
            module.externFile = dosFile;
            module.externSource = std::string(bytes);
        }
        if (input.Cut())
            return kiv::oserror::kReadFault;
        status = Write([&] {
            if (uint32_t s = sink.ModuleBegin(module))
                return s;
            for (const KivEntityImage& e : read)
                if (uint32_t s = sink.Entity(KivViewOf(e)))
                    return s;
            return sink.ModuleEnd(module);
        });
    }
    if (status)
        return status;
    if (modId)
        *modId = sink.Module();
    if (entities)
        *entities = sink.Entities();
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
