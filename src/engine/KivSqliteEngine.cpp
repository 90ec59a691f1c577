#include "engine/KivSqliteEngine.h"

#include "engine/KivEngineStatus.h"
#include "engine/KivEngineUtil.h"
#include "engine/KivRecordLayout.h"
#include "exportfiles/KivExportTags.h"
#include "platform/KivDosPath.h"
#include "platform/KivOsError.h"
#include "platform/KivPlatformHome.h"
#include "support/KivStringUtil.h"

#include <sqlite3.h>

#include <algorithm>
#include <system_error>

using namespace kiv::engine;

namespace {

template <class T> uint32_t NextItem(const std::vector<T>& items, size_t& next, T& out) {
    out = next < items.size() ? items[next++] : T();
    return kOk;
}

std::vector<KivListEntry>::iterator FindEntry(std::vector<KivListEntry>& entries, std::string_view name) {
    return std::find_if(entries.begin(), entries.end(),
                        [&](const KivListEntry& e) { return KivEqualsIgnoringCase(e.name, name); });
}

} // namespace

KivSqliteEngine::~KivSqliteEngine() {
    if (m_open)
        AdamExit();
}

uint32_t KivSqliteEngine::Ready() const {
    return m_open ? kOk : kNotOpen;
}

uint32_t KivSqliteEngine::ProjectReady() const {
    if (!m_open)
        return kNotOpen;
    return m_project && m_project->IsOpen() ? kOk : kNoProject;
}

template <class T, class F> uint32_t KivSqliteEngine::WalkFirst(Walk<T>& walk, T* item, F&& list) {
    if (!item)
        return kBadArgument;
    std::vector<T> items;
    if (uint32_t status = list(items))
        return status;
    walk.Start(std::move(items));
    return NextItem(walk.items, walk.next, *item);
}

template <class T> uint32_t KivSqliteEngine::WalkNext(Walk<T>& walk, T* item) {
    if (uint32_t status = ProjectReady())
        return status;
    if (!item)
        return kBadArgument;
    if (!walk.started)
        return kNoWalk;
    return NextItem(walk.items, walk.next, *item);
}

uint32_t KivSqliteEngine::PrjText(const char* name, std::string KivProjectEntry::*field, char* buffer,
                                  size_t capacity) {
    if (uint32_t status = Ready())
        return status;
    KivProjectEntry entry;
    if (uint32_t status = m_catalogue.Find(Str(name), entry))
        return status;
    return Out(buffer, capacity, entry.*field);
}

uint32_t KivSqliteEngine::AppText(uint16_t appId, std::string KivApplicationImage::*field, char* buffer,
                                  size_t capacity) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return Out(buffer, capacity, app.*field);
}

uint32_t KivSqliteEngine::AppNumber(uint16_t appId, uint32_t KivApplicationImage::*field, uint32_t* value) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return Set(value, app.*field);
}

uint32_t KivSqliteEngine::ModText(uint32_t modId, std::string KivModuleImage::*field, char* buffer,
                                  size_t capacity) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    return Out(buffer, capacity, module.*field);
}

uint32_t KivSqliteEngine::ModNumber(uint32_t modId, uint32_t KivModuleImage::*field, uint32_t* value) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    return Set(value, module.*field);
}

uint32_t KivSqliteEngine::EntNumber(uint32_t entId, uint32_t KivEntityImage::*field, uint32_t* value) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    return Set(value, m_entity->*field);
}

void KivSqliteEngine::StopWalks() {
    m_appWalk.Stop();
    m_moduleWalk.Stop();
    m_entityWalk.Stop();
    m_libraryWalk.Stop();
    m_udcWalk.Stop();
    m_chWalk.Stop();
    m_description = KeptRecord();
    m_data = KeptRecord();
    Changed();
    // Another project follows, or none: the buffers kept for the next module go.
    m_walkValues = {};
    m_walkSources = {};
}

uint32_t KivSqliteEngine::OpenProject(const KivProjectEntry& entry) {
    auto host = HostPath(entry.dir);
    if (!host)
        return kiv::oserror::kPathNotFound;
    auto store = std::make_unique<KivProjectStore>();
    if (uint32_t status = store->Open(*host, false))
        return status;
    m_project = std::move(store);
    m_currentName = entry.name;
    StopWalks();
    return kOk;
}

// Session

uint32_t KivSqliteEngine::AdamInit(uint32_t, uint32_t* created) {
    if (m_open)
        return kAlreadyOpen;
    std::filesystem::path home = kiv::platform::EnsureHome();
    if (home.empty())
        return kiv::oserror::kPathNotFound;
    if (uint32_t status = m_lock.Acquire(home / "repository.lock"))
        return status;
    auto fail = [&](uint32_t status) {
        m_project.reset();
        m_catalogue.Close();
        m_lock.Release();
        return status;
    };
    bool newCatalogue = false;
    if (uint32_t status = m_catalogue.Open(home / "catalogue.db", newCatalogue))
        return fail(status);
    std::vector<std::string> names;
    if (uint32_t status = m_catalogue.Names(names))
        return fail(status);
    bool fresh = names.empty();
    if (fresh) {
        // A new repository has one project, so that the program has a current project at once.
        auto host = HostPath(kDefaultProjectDir);
        if (!host)
            return fail(kiv::oserror::kPathNotFound);
        std::error_code ec;
        std::filesystem::create_directories(*host, ec);
        if (ec)
            return fail(kiv::oserror::FromErrno(ec.value()));
        KivProjectStore store;
        if (uint32_t status = store.Open(*host, true))
            return fail(status);
        store.Close();
        KivProjectEntry entry;
        entry.name = kDefaultProject;
        entry.dir = kDefaultProjectDir;
        entry.description = "Default project";
        KivSqliteDb::Transaction tx(m_catalogue.Db());
        uint32_t status = m_catalogue.Add(entry);
        if (!status)
            status = m_catalogue.SetCurrent(entry.name);
        if (!status && !tx.Commit())
            status = m_catalogue.Db().FailureStatus();
        if (status)
            return fail(status);
        names.push_back(entry.name);
    }
    std::string current;
    if (uint32_t status = m_catalogue.Current(current))
        return fail(status);
    KivProjectEntry entry;
    if (current.empty() || m_catalogue.Find(current, entry) != kOk) {
        if (uint32_t status = m_catalogue.Find(names.front(), entry))
            return fail(status);
        if (uint32_t status = m_catalogue.SetCurrent(entry.name))
            return fail(status);
    }
    m_currentName = entry.name;
    // A project whose data cannot be opened leaves the repository open without a current
    // project: selecting another one still works.
    OpenProject(entry);
    m_open = true;
    if (created)
        *created = fresh ? 1 : 0;
    return kOk;
}

uint32_t KivSqliteEngine::AdamExit() {
    if (!m_open)
        return kNotOpen;
    StopWalks();
    m_catalogueWalks.clear();
    m_project.reset();
    m_catalogue.Close();
    m_lock.Release();
    m_currentName.clear();
    m_open = false;
    return kOk;
}

uint32_t KivSqliteEngine::AdamGetVersion(char* buffer, size_t capacity) {
    return Out(buffer, capacity,
               std::string("Kiv Repository Engine 1.0 (SQLite ") + sqlite3_libversion() + ")");
}

uint32_t KivSqliteEngine::AdamQueryCurrentPrjName(char* buffer, size_t capacity) {
    if (uint32_t status = Ready())
        return status;
    if (m_currentName.empty())
        return kNoProject;
    return Out(buffer, capacity, m_currentName);
}

// Catalogue

uint32_t KivSqliteEngine::PrjCatCreateEnum(uint32_t, uint32_t, uint32_t* handle) {
    if (uint32_t status = Ready())
        return status;
    if (!handle)
        return kBadArgument;
    if (m_nextCatalogueHandle == 0)
        m_nextCatalogueHandle = 1;
    *handle = m_nextCatalogueHandle++;
    m_catalogueWalks[*handle] = Walk<std::string>();
    return kOk;
}

uint32_t KivSqliteEngine::PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) {
    if (uint32_t status = Ready())
        return status;
    auto it = m_catalogueWalks.find(handle);
    if (it == m_catalogueWalks.end())
        return kNoWalk;
    if (!buffer || capacity == 0)
        return kBadArgument;
    std::vector<std::string> names;
    if (uint32_t status = m_catalogue.Names(names))
        return status;
    it->second.Start(std::move(names));
    return PrjGetNext(handle, buffer, capacity);
}

uint32_t KivSqliteEngine::PrjGetNext(uint32_t handle, char* buffer, size_t capacity) {
    if (uint32_t status = Ready())
        return status;
    auto it = m_catalogueWalks.find(handle);
    if (it == m_catalogueWalks.end() || !it->second.started)
        return kNoWalk;
    if (!buffer || capacity == 0)
        return kBadArgument;
    std::string name;
    NextItem(it->second.items, it->second.next, name);
    return Out(buffer, capacity, name);
}

uint32_t KivSqliteEngine::PrjCatDestroyEnum(uint32_t handle) {
    if (uint32_t status = Ready())
        return status;
    return m_catalogueWalks.erase(handle) ? kOk : kNoWalk;
}

// Projects

uint32_t KivSqliteEngine::PrjSelect(const char* name) {
    if (uint32_t status = Ready())
        return status;
    KivProjectEntry entry;
    if (uint32_t status = m_catalogue.Find(Str(name), entry))
        return status;
    // The project that is open stays as it is, walks and all: the model re-selects its project
    // before every application call, under whatever letter case it was given the name.
    if (m_project && m_project->IsOpen() && KivEqualsIgnoringCase(entry.name, m_currentName))
        return kOk;
    if (uint32_t status = OpenProject(entry))
        return status;
    return m_catalogue.SetCurrent(entry.name);
}

uint32_t KivSqliteEngine::PrjCreate(const char* name, const char* directory, uint32_t) {
    if (uint32_t status = Ready())
        return status;
    std::string projectName = Str(name);
    std::string dir = kiv::dospath::ToDos(Str(directory));
    if (projectName.empty() || dir.empty())
        return kBadArgument;
    KivProjectEntry entry;
    uint32_t found = m_catalogue.Find(projectName, entry);
    if (found == kOk)
        return kNameExists;
    if (found != kNoProject)
        return found;
    auto host = kiv::dospath::Resolve(dir);
    if (!host)
        return kiv::oserror::kPathNotFound;
    std::string other;
    if (uint32_t status = m_catalogue.ProjectInDir(*host, other))
        return status;
    if (!other.empty())
        return kDirInUse;
    std::error_code ec;
    std::filesystem::create_directories(*host, ec);
    if (ec)
        return kiv::oserror::FromErrno(ec.value());
    if (!std::filesystem::is_directory(*host, ec))
        return kiv::oserror::kPathNotFound;
    {
        // A directory that still holds a removed project's data brings that project back.
        KivProjectStore store;
        if (uint32_t status = store.Open(*host, true))
            return status;
    }
    entry = KivProjectEntry();
    entry.name = projectName;
    entry.dir = dir;
    return m_catalogue.Add(entry);
}

uint32_t KivSqliteEngine::ProjectChange(const char* name, bool deleteData) {
    if (uint32_t status = Ready())
        return status;
    KivProjectEntry entry;
    if (uint32_t status = m_catalogue.Find(Str(name), entry))
        return status;
    if (KivEqualsIgnoringCase(entry.name, m_currentName))
        return kProjectInUse;
    if (uint32_t status = m_catalogue.Remove(entry.name))
        return status;
    if (!deleteData)
        return kOk;
    // The catalogue no longer lists the project; what is left on disk is only files.
    auto host = HostPath(entry.dir);
    if (!host)
        return kOk;
    std::filesystem::path file = KivProjectStore::DatabaseFile(*host);
    uint32_t status = kOk;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::error_code ec;
        std::filesystem::remove(file.string() + suffix, ec);
        if (ec && status == kOk)
            status = kiv::oserror::FromErrno(ec.value());
    }
    std::error_code ec;
    if (std::filesystem::is_empty(*host, ec) && !ec)
        std::filesystem::remove(*host, ec);
    return status;
}

uint32_t KivSqliteEngine::PrjDelete(const char* name, uint32_t) {
    return ProjectChange(name, true);
}

uint32_t KivSqliteEngine::PrjRemove(const char* name, uint32_t) {
    return ProjectChange(name, false);
}

uint32_t KivSqliteEngine::PrjQueryDir(const char* name, char* buffer, size_t capacity, uint32_t) {
    return PrjText(name, &KivProjectEntry::dir, buffer, capacity);
}

uint32_t KivSqliteEngine::PrjQueryDescription(const char* name, char* buffer, size_t capacity, uint32_t) {
    return PrjText(name, &KivProjectEntry::description, buffer, capacity);
}

uint32_t KivSqliteEngine::PrjQueryKeywords(const char* name, char* buffer, size_t capacity, uint32_t) {
    return PrjText(name, &KivProjectEntry::keywords, buffer, capacity);
}

uint32_t KivSqliteEngine::PrjSetKeywords(const char* name, const char* keywords, uint32_t) {
    if (uint32_t status = Ready())
        return status;
    return m_catalogue.SetKeywords(Str(name), Str(keywords));
}

uint32_t KivSqliteEngine::PrjQueryLock(const char* name, uint32_t* locked, uint32_t) {
    if (uint32_t status = Ready())
        return status;
    if (!locked)
        return kBadArgument;
    KivProjectEntry entry;
    if (uint32_t status = m_catalogue.Find(Str(name), entry))
        return status;
    *locked = entry.locked;
    return kOk;
}

uint32_t KivSqliteEngine::PrjSetDescription(const char* name, const char* description) {
    if (uint32_t status = Ready())
        return status;
    return m_catalogue.SetDescription(Str(name), Str(description));
}

uint32_t KivSqliteEngine::PrjSetLock(const char* name, uint32_t locked) {
    if (uint32_t status = Ready())
        return status;
    return m_catalogue.SetLocked(Str(name), locked);
}

uint32_t KivSqliteEngine::ModSetAppearance(uint32_t modId, uint32_t visible) {
    return Write(
        [&] { return m_project->SetModuleNumber(modId, KivModuleField::Appearance, visible ? 1 : 0); });
}

uint32_t KivSqliteEngine::EntSetAppearance(uint32_t entId, uint32_t visible) {
    return Write([&] { return m_project->SetEntityAppearance(entId, visible ? 1 : 0); });
}

// Applications

uint32_t KivSqliteEngine::LoadApp(uint16_t appId, KivApplicationImage& app) {
    if (uint32_t status = ProjectReady())
        return status;
    return m_project->LoadApp(appId, app);
}

uint32_t KivSqliteEngine::AdamGetFirstApp(uint16_t* appId) {
    if (uint32_t status = ProjectReady())
        return status;
    return WalkFirst(m_appWalk, appId, [&](std::vector<uint16_t>& ids) { return m_project->AppIds(ids); });
}

uint32_t KivSqliteEngine::AdamGetNextApp(uint16_t* appId) {
    return WalkNext(m_appWalk, appId);
}

uint32_t KivSqliteEngine::AppFind(const char* name, uint16_t* appId) {
    if (uint32_t status = ProjectReady())
        return status;
    if (!appId)
        return kBadArgument;
    return m_project->FindApp(Str(name), *appId);
}

uint32_t KivSqliteEngine::AppCreate(const char* name, uint16_t* appId) {
    if (uint32_t status = ProjectReady())
        return status;
    std::string appName = Str(name);
    if (!appId || appName.empty())
        return kBadArgument;
    uint16_t id = 0;
    uint32_t status = Write([&] { return m_project->CreateApp(appName, Now(), id); });
    *appId = status ? 0 : id;
    return status;
}

uint32_t KivSqliteEngine::AppDeleteAID(uint16_t appId) {
    return Write([&] { return m_project->DeleteApp(appId); });
}

uint32_t KivSqliteEngine::AppQueryName(uint16_t appId, char* buffer, size_t capacity) {
    return AppText(appId, &KivApplicationImage::name, buffer, capacity);
}

uint32_t KivSqliteEngine::AppQueryExeName(uint16_t appId, char* buffer, size_t capacity) {
    return AppText(appId, &KivApplicationImage::exeName, buffer, capacity);
}

uint32_t KivSqliteEngine::AppQueryExpName(uint16_t appId, char* buffer, size_t capacity) {
    return AppText(appId, &KivApplicationImage::expName, buffer, capacity);
}

uint32_t KivSqliteEngine::AppQueryGroupName(uint16_t appId, char* buffer, size_t capacity) {
    return AppText(appId, &KivApplicationImage::groupName, buffer, capacity);
}

uint32_t KivSqliteEngine::AppSetExeName(uint16_t appId, const char* text) {
    return Write([&] { return m_project->SetAppText(appId, KivAppField::ExeName, Str(text)); });
}

uint32_t KivSqliteEngine::AppSetExpName(uint16_t appId, const char* text) {
    return Write([&] { return m_project->SetAppText(appId, KivAppField::ExpName, Str(text)); });
}

uint32_t KivSqliteEngine::AppSetGroupName(uint16_t appId, const char* text) {
    return Write([&] { return m_project->SetAppText(appId, KivAppField::GroupName, Str(text)); });
}

uint32_t KivSqliteEngine::AppSetDescription(uint16_t appId, const char* text) {
    return Write([&] { return m_project->SetAppText(appId, KivAppField::Description, Str(text)); });
}

uint32_t KivSqliteEngine::Keep(KeptRecord& kept, std::string_view bytes, KivRecordHandle* record,
                               uint32_t* length) {
    if (m_nextRecord == 0)
        m_nextRecord = 1;
    kept.handle = m_nextRecord++;
    // Into the buffer of the record kept before: a walk keeps one source after another.
    kept.bytes.assign(bytes);
    *record = kept.handle;
    *length = static_cast<uint32_t>(std::min<size_t>(kept.bytes.size(), UINT32_MAX));
    return kOk;
}

uint32_t KivSqliteEngine::AppQueryDescription(uint16_t appId, KivRecordHandle* record, uint32_t* length) {
    if (!record || !length)
        return kBadArgument;
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return Keep(m_description, app.description, record, length);
}

uint32_t KivSqliteEngine::AppQueryDebug(uint16_t appId, uint32_t* debug) {
    return AppNumber(appId, &KivApplicationImage::debug, debug);
}

uint32_t KivSqliteEngine::AppSetDebug(uint16_t appId, uint32_t debug, uint32_t) {
    return Write([&] { return m_project->SetAppNumber(appId, KivAppField::Debug, debug); });
}

uint32_t KivSqliteEngine::AppQueryLib(uint16_t appId, uint32_t* isLibrary, uint32_t* isDll) {
    if (!isLibrary || !isDll)
        return kBadArgument;
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    *isLibrary = app.library ? 1 : 0;
    *isDll = app.dll ? 1 : 0;
    return kOk;
}

uint32_t KivSqliteEngine::AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return Set(isSystemLibrary, app.systemLibrary ? 1u : 0u);
}

uint32_t KivSqliteEngine::AppSetLib(uint16_t appId, uint32_t isLibrary, uint32_t isDll) {
    return Write([&] {
        if (uint32_t status = m_project->SetAppNumber(appId, KivAppField::Library, isLibrary ? 1 : 0))
            return status;
        return m_project->SetAppNumber(appId, KivAppField::Dll, isDll ? 1 : 0);
    });
}

uint32_t KivSqliteEngine::AppSetSysLib(uint16_t appId, uint32_t isSystemLibrary) {
    return Write(
        [&] { return m_project->SetAppNumber(appId, KivAppField::SystemLibrary, isSystemLibrary ? 1 : 0); });
}

uint32_t KivSqliteEngine::AppQueryCreateTime(uint16_t appId, uint32_t* time) {
    return AppNumber(appId, &KivApplicationImage::created, time);
}

uint32_t KivSqliteEngine::AppQueryTime(uint16_t appId, uint32_t* time) {
    return AppNumber(appId, &KivApplicationImage::built, time);
}

uint32_t KivSqliteEngine::AppQueryNumModules(uint16_t appId, uint32_t* count) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    if (!count)
        return kBadArgument;
    return m_project->CountModules(appId, *count);
}

uint32_t KivSqliteEngine::AppGetFirstModule(uint16_t appId, uint32_t* modId) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return WalkFirst(m_moduleWalk, modId,
                     [&](std::vector<uint32_t>& ids) { return m_project->ModuleIds(appId, ids); });
}

uint32_t KivSqliteEngine::AppGetNextModule(uint32_t* modId) {
    return WalkNext(m_moduleWalk, modId);
}

uint32_t KivSqliteEngine::AdamSecurePath(uint16_t appId) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    return m_project->Db().Checkpoint() ? kOk : m_project->Db().FailureStatus();
}

// Lists

uint32_t KivSqliteEngine::LibraryName(uint16_t appId, uint16_t libId, std::string& name) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    KivApplicationImage library;
    if (uint32_t status = LoadApp(libId, library))
        return status;
    name = library.name;
    return kOk;
}

uint32_t KivSqliteEngine::AppSPathGetFirst(uint16_t appId, uint16_t* libId) {
    if (uint32_t status = ProjectReady())
        return status;
    if (!libId)
        return kBadArgument;
    std::vector<KivListEntry> entries;
    if (uint32_t status = m_project->LoadList(appId, KivListKind::Libraries, entries))
        return status;
    std::vector<uint16_t> ids;
    for (const KivListEntry& entry : entries) {
        uint16_t id = 0;
        if (uint32_t status = m_project->FindApp(entry.name, id))
            return status;
        if (id)
            ids.push_back(id);
    }
    m_libraryWalk.Start(std::move(ids));
    return NextItem(m_libraryWalk.items, m_libraryWalk.next, *libId);
}

uint32_t KivSqliteEngine::AppSPathGetNext(uint16_t* libId) {
    return WalkNext(m_libraryWalk, libId);
}

uint32_t KivSqliteEngine::AppAddSPath(uint16_t appId, uint16_t libId) {
    std::string name;
    if (uint32_t status = LibraryName(appId, libId, name))
        return status;
    if (appId == libId)
        return kBadArgument;
    return ListAdd(appId, KivListKind::Libraries, name);
}

uint32_t KivSqliteEngine::AppDelSPath(uint16_t appId, uint16_t libId) {
    std::string name;
    if (uint32_t status = LibraryName(appId, libId, name))
        return status;
    return ListDel(appId, KivListKind::Libraries, name);
}

uint32_t KivSqliteEngine::AppMoveSPath(uint16_t appId, uint16_t libId, uint32_t position) {
    std::string name;
    if (uint32_t status = LibraryName(appId, libId, name))
        return status;
    return ListMove(appId, KivListKind::Libraries, name, position);
}

uint32_t KivSqliteEngine::ListFirst(uint16_t appId, KivListKind kind, Walk<std::string>& walk, char* buffer,
                                    size_t capacity) {
    if (uint32_t status = ProjectReady())
        return status;
    if (!buffer || capacity == 0)
        return kBadArgument;
    std::vector<KivListEntry> entries;
    if (uint32_t status = m_project->LoadList(appId, kind, entries))
        return status;
    std::vector<std::string> names;
    for (KivListEntry& entry : entries)
        names.push_back(std::move(entry.name));
    walk.Start(std::move(names));
    return ListNext(walk, buffer, capacity);
}

uint32_t KivSqliteEngine::ListNext(Walk<std::string>& walk, char* buffer, size_t capacity) {
    if (uint32_t status = ProjectReady())
        return status;
    if (!walk.started)
        return kNoWalk;
    if (!buffer || capacity == 0)
        return kBadArgument;
    std::string name;
    NextItem(walk.items, walk.next, name);
    return Out(buffer, capacity, name);
}

uint32_t KivSqliteEngine::ListAdd(uint16_t appId, KivListKind kind, const std::string& name) {
    if (uint32_t status = ProjectReady())
        return status;
    if (name.empty())
        return kBadArgument;
    return Write([&] {
        std::vector<KivListEntry> entries;
        if (uint32_t status = m_project->LoadList(appId, kind, entries))
            return status;
        if (FindEntry(entries, name) != entries.end())
            return kNameExists;
        entries.push_back(KivMakeListEntry(KivListHead(kind), name));
        return m_project->SaveList(appId, kind, entries);
    });
}

uint32_t KivSqliteEngine::ListDel(uint16_t appId, KivListKind kind, const std::string& name) {
    return Write([&] {
        std::vector<KivListEntry> entries;
        if (uint32_t status = m_project->LoadList(appId, kind, entries))
            return status;
        auto it = FindEntry(entries, name);
        if (it == entries.end())
            return kNotInList;
        entries.erase(it);
        return m_project->SaveList(appId, kind, entries);
    });
}

uint32_t KivSqliteEngine::ListMove(uint16_t appId, KivListKind kind, const std::string& name,
                                   uint32_t position) {
    return Write([&] {
        std::vector<KivListEntry> entries;
        if (uint32_t status = m_project->LoadList(appId, kind, entries))
            return status;
        auto it = FindEntry(entries, name);
        if (it == entries.end())
            return kNotInList;
        KivListEntry entry = std::move(*it);
        entries.erase(it);
        size_t at = std::min<size_t>(position, entries.size());
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
        return m_project->SaveList(appId, kind, entries);
    });
}

uint32_t KivSqliteEngine::AppUDCGetFirst(uint16_t appId, char* buffer, size_t capacity) {
    return ListFirst(appId, KivListKind::Udcs, m_udcWalk, buffer, capacity);
}

uint32_t KivSqliteEngine::AppUDCGetNext(char* buffer, size_t capacity) {
    return ListNext(m_udcWalk, buffer, capacity);
}

uint32_t KivSqliteEngine::AppAddUDC(uint16_t appId, const char* name) {
    return ListAdd(appId, KivListKind::Udcs, Str(name));
}

uint32_t KivSqliteEngine::AppDelUDC(uint16_t appId, const char* name) {
    return ListDel(appId, KivListKind::Udcs, Str(name));
}

uint32_t KivSqliteEngine::AppMoveUDC(uint16_t appId, const char* name, uint32_t position) {
    return ListMove(appId, KivListKind::Udcs, Str(name), position);
}

uint32_t KivSqliteEngine::AppCHGetFirst(uint16_t appId, char* buffer, size_t capacity) {
    return ListFirst(appId, KivListKind::Chs, m_chWalk, buffer, capacity);
}

uint32_t KivSqliteEngine::AppCHGetNext(char* buffer, size_t capacity) {
    return ListNext(m_chWalk, buffer, capacity);
}

uint32_t KivSqliteEngine::AppAddCH(uint16_t appId, const char* name) {
    return ListAdd(appId, KivListKind::Chs, Str(name));
}

uint32_t KivSqliteEngine::AppDelCH(uint16_t appId, const char* name) {
    return ListDel(appId, KivListKind::Chs, Str(name));
}

uint32_t KivSqliteEngine::AppMoveCH(uint16_t appId, const char* name, uint32_t position) {
    return ListMove(appId, KivListKind::Chs, Str(name), position);
}

// Modules

uint32_t KivSqliteEngine::LoadModule(uint32_t modId, KivModuleImage& module) {
    if (uint32_t status = ProjectReady())
        return status;
    uint16_t app = 0;
    return m_project->LoadModule(modId, module, app);
}

uint32_t KivSqliteEngine::ModFind(uint16_t appId, const char* name, uint32_t* modId) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    if (!modId)
        return kBadArgument;
    return m_project->FindModule(appId, Str(name), *modId);
}

uint32_t KivSqliteEngine::ModCreate(uint16_t appId, const char* name, uint32_t* modId) {
    KivApplicationImage app;
    if (uint32_t status = LoadApp(appId, app))
        return status;
    std::string moduleName = Str(name);
    if (!modId || moduleName.empty())
        return kBadArgument;
    uint32_t id = 0;
    uint32_t status = Write([&] { return m_project->CreateModule(appId, moduleName, Now(), id); });
    *modId = status ? 0 : id;
    return status;
}

uint32_t KivSqliteEngine::ModDelete(uint32_t modId, uint32_t) {
    return Write([&] { return m_project->DeleteModule(modId); });
}

uint32_t KivSqliteEngine::ModQueryName(uint32_t modId, char* buffer, size_t capacity) {
    return ModText(modId, &KivModuleImage::name, buffer, capacity);
}

uint32_t KivSqliteEngine::ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) {
    return ModText(modId, &KivModuleImage::externFile, buffer, capacity);
}

uint32_t KivSqliteEngine::ModQueryExpName(uint32_t modId, char* buffer, size_t capacity) {
    return ModText(modId, &KivModuleImage::expName, buffer, capacity);
}

uint32_t KivSqliteEngine::ModSetExpName(uint32_t modId, const char* path) {
    return Write([&] { return m_project->SetModuleText(modId, KivModuleField::ExpName, Str(path)); });
}

uint32_t KivSqliteEngine::ModQueryDebug(uint32_t modId, uint32_t* debug) {
    return ModNumber(modId, &KivModuleImage::debug, debug);
}

uint32_t KivSqliteEngine::ModSetDebug(uint32_t modId, uint16_t debug, uint32_t) {
    return Write([&] { return m_project->SetModuleNumber(modId, KivModuleField::Debug, debug); });
}

uint32_t KivSqliteEngine::ModQueryOEM(uint32_t modId, uint32_t* oem) {
    return ModNumber(modId, &KivModuleImage::oem, oem);
}

uint32_t KivSqliteEngine::ModQueryAppearance(uint32_t modId, uint32_t* visible) {
    return ModNumber(modId, &KivModuleImage::appearance, visible);
}

uint32_t KivSqliteEngine::ModSetOEM(uint32_t modId, uint32_t oem) {
    return Write([&] { return m_project->SetModuleNumber(modId, KivModuleField::Oem, oem ? 1 : 0); });
}

uint32_t KivSqliteEngine::ModQueryCreateTime(uint32_t modId, uint32_t* time) {
    return ModNumber(modId, &KivModuleImage::created, time);
}

uint32_t KivSqliteEngine::ModQueryTime(uint32_t modId, uint32_t* time) {
    return ModNumber(modId, &KivModuleImage::built, time);
}

uint32_t KivSqliteEngine::ModQueryNumEntities(uint32_t modId, uint32_t* count) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    if (!count)
        return kBadArgument;
    return m_project->CountEntities(modId, *count);
}

uint32_t KivSqliteEngine::ModGetFirstEntity(uint32_t modId, uint32_t* entId) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    return WalkFirst(m_entityWalk, entId, [&](std::vector<uint32_t>& ids) {
        // A walk that read its module's sources is most likely one of a search or a listing:
        // the next one reads them with the values.
        const bool sources = m_walkSourcesRead;
        Changed();
        if (uint32_t status = m_project->LoadEntityValues(modId, m_walkValues, sources ? &m_walkSources : nullptr))
            return status;
        m_walkModule = modId;
        m_walkSourcesRead = sources;
        ids.reserve(m_walkValues.size());
        // At most half full, so that a look-up seldom goes past the slot its ID hashes to.
        size_t slots = 16;
        while (slots < 2 * m_walkValues.size())
            slots *= 2;
        m_walkIndex.assign(slots, {0, 0});
        for (size_t i = 0; i < m_walkValues.size(); ++i) {
            const uint32_t id = m_walkValues[i].first;
            ids.push_back(id);
            size_t slot = WalkSlot(id);
            while (m_walkIndex[slot].first != 0)
                slot = (slot + 1) & (slots - 1);
            m_walkIndex[slot] = {id, static_cast<uint32_t>(i)};
        }
        return kOk;
    });
}

uint32_t KivSqliteEngine::ModGetNextEntity(uint32_t* entId) {
    return WalkNext(m_entityWalk, entId);
}

// Entities

uint32_t KivSqliteEngine::LoadEntity(uint32_t entId) {
    if (uint32_t status = ProjectReady())
        return status;
    if (entId != 0 && entId == m_entityId)
        return kOk;
    m_entityId = 0;
    if (size_t index = 0; WalkIndex(entId, index)) {
        m_entity = &m_walkValues[index].second;
        m_entityWalkIndex = index;
        m_entityModule = m_walkModule;
    } else {
        m_entity = &m_single;
        if (uint32_t status = m_project->LoadEntity(entId, m_single, m_entityModule))
            return status;
    }
    m_entityId = entId;
    return kOk;
}

size_t KivSqliteEngine::WalkSlot(uint32_t entId) const {
    // The middle bits of the product depend on every bit of the ID.
    return static_cast<size_t>((entId * 0x9E3779B97F4A7C15ull) >> 29) & (m_walkIndex.size() - 1);
}

bool KivSqliteEngine::WalkIndex(uint32_t entId, size_t& index) const {
    if (m_walkIndex.empty() || entId == 0)
        return false;
    for (size_t slot = WalkSlot(entId); m_walkIndex[slot].first != 0; slot = (slot + 1) & (m_walkIndex.size() - 1))
        if (m_walkIndex[slot].first == entId) {
            index = m_walkIndex[slot].second;
            return true;
        }
    return false;
}

uint32_t KivSqliteEngine::WalkSource(size_t index, const std::string*& bytes) {
    if (!m_walkSourcesRead) {
        const uint32_t entId = m_walkValues[index].first;
        // One source alone is read alone: the explorer shows one entity of the module it lists.
        if (m_walkSourceReads++ == 0) {
            bytes = &m_walkData;
            return m_project->LoadEntityData(entId, 7, m_walkData);
        }
        std::vector<std::pair<uint32_t, std::string>> sources;
        if (uint32_t status = m_project->LoadEntitySources(m_walkModule, sources))
            return status;
        m_walkSources.assign(m_walkValues.size(), std::string());
        for (auto& [id, source] : sources)
            if (size_t at = 0; WalkIndex(id, at))
                m_walkSources[at] = std::move(source);
        m_walkSourcesRead = true;
    }
    bytes = &m_walkSources[index];
    return kOk;
}

uint32_t KivSqliteEngine::EntFind(uint32_t modId, KivSymbol name, uint32_t type, uint32_t* entId) {
    KivModuleImage module;
    if (uint32_t status = LoadModule(modId, module))
        return status;
    if (!entId || name.IsNull())
        return kBadArgument;
    return m_project->FindEntity(modId, name.Name(), type, *entId);
}

uint32_t KivSqliteEngine::EntQueryName(uint32_t entId, KivSymbol* name) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    if (!name)
        return kBadArgument;
    *name = KivSymbol(m_entity->name);
    return kOk;
}

uint32_t KivSqliteEngine::EntQueryNameText(uint32_t entId, char* buffer, size_t capacity) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    if (uint32_t status = Out(buffer, capacity, m_entity->name))
        return status;
    // The symbol's text: ASCII letters in upper case.
    for (char* c = buffer; *c; ++c)
        if (*c >= 'a' && *c <= 'z')
            *c = static_cast<char>(*c - 'a' + 'A');
    return kOk;
}

uint32_t KivSqliteEngine::EntQueryType(uint32_t entId, uint32_t* type) {
    return EntNumber(entId, &KivEntityImage::type, type);
}

uint32_t KivSqliteEngine::EntQueryBlockType(uint32_t entId, uint32_t* blockType) {
    return EntNumber(entId, &KivEntityImage::block, blockType);
}

uint32_t KivSqliteEngine::EntQueryAppearance(uint32_t entId, uint32_t* visible) {
    return EntNumber(entId, &KivEntityImage::appearance, visible);
}

uint32_t KivSqliteEngine::EntQueryModule(uint32_t entId, uint32_t* modId) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    return Set(modId, m_entityModule);
}

uint32_t KivSqliteEngine::EntQueryCreateTime(uint32_t entId, uint32_t* time) {
    return EntNumber(entId, &KivEntityImage::created, time);
}

uint32_t KivSqliteEngine::EntQueryTime(uint32_t entId, uint32_t* time) {
    return EntNumber(entId, &KivEntityImage::built, time);
}

uint32_t KivSqliteEngine::EntQueryProt(uint32_t entId, char* buffer, size_t capacity) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    return Out(buffer, capacity, m_entity->prototype);
}

uint32_t KivSqliteEngine::EntQueryData(uint32_t entId, uint32_t kind, KivRecordHandle* record,
                                       uint32_t* length, uint32_t* present, uint32_t* reserved) {
    if (uint32_t status = LoadEntity(entId))
        return status;
    if (!record || !length || (kind != 4 && kind != 7))
        return kBadArgument;
    const std::string* bytes = kind == 7 ? &m_single.source : &m_single.custom;
    if (m_entity != &m_single) {
        bytes = &m_walkData;
        const uint32_t status = kind == 7 ? WalkSource(m_entityWalkIndex, bytes)
                                          : m_project->LoadEntityData(entId, kind, m_walkData);
        if (status)
            return status;
    }
    if (present)
        *present = bytes->empty() ? 0 : 1;
    if (reserved)
        *reserved = 0;
    return Keep(m_data, *bytes, record, length);
}

uint32_t KivSqliteEngine::RecGet(KivRecordHandle record, uint32_t length, std::string* bytes) {
    if (uint32_t status = Ready())
        return status;
    if (!bytes)
        return kBadArgument;
    const KeptRecord* kept = nullptr;
    if (record != 0 && record == m_description.handle)
        kept = &m_description;
    else if (record != 0 && record == m_data.handle)
        kept = &m_data;
    if (!kept)
        return kNoRecord;
    bytes->assign(kept->bytes, 0, std::min<size_t>(length, kept->bytes.size()));
    return kOk;
}
