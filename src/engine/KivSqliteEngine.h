#pragma once

#include "engine/KivCatalogue.h"
#include "engine/KivEngine.h"
#include "engine/KivEngineStatus.h"
#include "engine/KivProjectStore.h"
#include "engine/KivRepositoryLock.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The repository engine on SQLite. The catalogue of projects and the name of the current project
// live in the platform home (catalogue.db, with repository.lock for the one-process lock); each
// project keeps its data in kivproject.db inside its own directory. Every operation that changes
// the store is one transaction.
class KivSqliteEngine : public KivEngine {
public:
    KivSqliteEngine() = default;
    ~KivSqliteEngine() override;

    // The project a new repository starts with, and its directory.
    static constexpr const char* kDefaultProject = "Default";
    static constexpr const char* kDefaultProjectDir = "C:\\KIVREPO\\DEFAULT";
    // How large a project's write-ahead log may grow before a change folds it into the database.
    static constexpr int64_t kWalLimit = 64LL << 20;
    // Applications imported from files larger than this are written with a journal rather than
    // through the log (see KivSqliteDb::Transaction); tests lower it to take that way with small
    // files.
    void SetBulkImportSize(size_t bytes) { m_bulkImportSize = bytes; }

    uint32_t AdamInit(uint32_t reserved, uint32_t* created) override;
    uint32_t AdamExit() override;
    uint32_t AdamGetVersion(char* buffer, size_t capacity) override;
    uint32_t AdamQueryCurrentPrjName(char* buffer, size_t capacity) override;

    uint32_t PrjCatCreateEnum(uint32_t reserved1, uint32_t reserved2, uint32_t* handle) override;
    uint32_t PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) override;
    uint32_t PrjGetNext(uint32_t handle, char* buffer, size_t capacity) override;
    uint32_t PrjCatDestroyEnum(uint32_t handle) override;

    uint32_t PrjSelect(const char* name) override;
    uint32_t PrjCreate(const char* name, const char* directory, uint32_t reserved) override;
    uint32_t PrjDelete(const char* name, uint32_t reserved) override;
    uint32_t PrjRemove(const char* name, uint32_t reserved) override;
    uint32_t PrjQueryDir(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjQueryDescription(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjQueryKeywords(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjSetKeywords(const char* name, const char* keywords, uint32_t reserved) override;
    uint32_t PrjQueryLock(const char* name, uint32_t* locked, uint32_t reserved) override;

    uint32_t AdamGetFirstApp(uint16_t* appId) override;
    uint32_t AdamGetNextApp(uint16_t* appId) override;
    uint32_t AppFind(const char* name, uint16_t* appId) override;
    uint32_t AppCreate(const char* name, uint16_t* appId) override;
    uint32_t AppDeleteAID(uint16_t appId) override;
    uint32_t AppQueryName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryExeName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryExpName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryGroupName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppSetExeName(uint16_t appId, const char* text) override;
    uint32_t AppSetExpName(uint16_t appId, const char* text) override;
    uint32_t AppSetGroupName(uint16_t appId, const char* text) override;
    uint32_t AppSetDescription(uint16_t appId, const char* text) override;
    uint32_t AppQueryDescription(uint16_t appId, KivRecordHandle* record, uint32_t* length) override;
    uint32_t AppQueryDebug(uint16_t appId, uint32_t* debug) override;
    uint32_t AppSetDebug(uint16_t appId, uint32_t debug, uint32_t reserved) override;
    uint32_t AppQueryLib(uint16_t appId, uint32_t* isLibrary, uint32_t* isDll) override;
    uint32_t AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) override;
    uint32_t AppQueryCreateTime(uint16_t appId, uint32_t* time) override;
    uint32_t AppQueryTime(uint16_t appId, uint32_t* time) override;
    uint32_t AppQueryNumModules(uint16_t appId, uint32_t* count) override;
    uint32_t AppGetFirstModule(uint16_t appId, uint32_t* modId) override;
    uint32_t AppGetNextModule(uint32_t* modId) override;
    uint32_t AdamSecurePath(uint16_t appId) override;

    uint32_t AppSPathGetFirst(uint16_t appId, uint16_t* libId) override;
    uint32_t AppSPathGetNext(uint16_t* libId) override;
    uint32_t AppAddSPath(uint16_t appId, uint16_t libId) override;
    uint32_t AppDelSPath(uint16_t appId, uint16_t libId) override;
    uint32_t AppMoveSPath(uint16_t appId, uint16_t libId, uint32_t position) override;
    uint32_t AppUDCGetFirst(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppUDCGetNext(char* buffer, size_t capacity) override;
    uint32_t AppAddUDC(uint16_t appId, const char* name) override;
    uint32_t AppDelUDC(uint16_t appId, const char* name) override;
    uint32_t AppMoveUDC(uint16_t appId, const char* name, uint32_t position) override;
    uint32_t AppCHGetFirst(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppCHGetNext(char* buffer, size_t capacity) override;
    uint32_t AppAddCH(uint16_t appId, const char* name) override;
    uint32_t AppDelCH(uint16_t appId, const char* name) override;
    uint32_t AppMoveCH(uint16_t appId, const char* name, uint32_t position) override;

    uint32_t ModFind(uint16_t appId, const char* name, uint32_t* modId) override;
    uint32_t ModCreate(uint16_t appId, const char* name, uint32_t* modId) override;
    uint32_t ModDelete(uint32_t modId, uint32_t flag) override;
    uint32_t ModQueryName(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModQueryExpName(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModSetExpName(uint32_t modId, const char* path) override;
    uint32_t ModSetExtern(uint32_t modId, const char* file, uint32_t* changed) override;
    uint32_t ModQueryDebug(uint32_t modId, uint32_t* debug) override;
    uint32_t ModSetDebug(uint32_t modId, uint16_t debug, uint32_t reserved) override;
    uint32_t ModQueryOEM(uint32_t modId, uint32_t* oem) override;
    uint32_t ModQueryAppearance(uint32_t modId, uint32_t* visible) override;
    uint32_t ModSetOEM(uint32_t modId, uint32_t oem) override;
    uint32_t ModQueryCreateTime(uint32_t modId, uint32_t* time) override;
    uint32_t ModQueryTime(uint32_t modId, uint32_t* time) override;
    uint32_t ModQueryNumEntities(uint32_t modId, uint32_t* count) override;
    uint32_t ModGetFirstEntity(uint32_t modId, uint32_t* entId) override;
    uint32_t ModGetNextEntity(uint32_t* entId) override;

    uint32_t EntFind(uint32_t modId, KivSymbol name, uint32_t type, uint32_t* entId) override;
    uint32_t EntQueryName(uint32_t entId, KivSymbol* name) override;
    uint32_t EntQueryNameText(uint32_t entId, char* buffer, size_t capacity) override;
    uint32_t EntQueryType(uint32_t entId, uint32_t* type) override;
    uint32_t EntQueryBlockType(uint32_t entId, uint32_t* blockType) override;
    uint32_t EntQueryAppearance(uint32_t entId, uint32_t* visible) override;
    uint32_t EntQueryModule(uint32_t entId, uint32_t* modId) override;
    uint32_t EntQueryCreateTime(uint32_t entId, uint32_t* time) override;
    uint32_t EntQueryTime(uint32_t entId, uint32_t* time) override;
    uint32_t EntQueryProt(uint32_t entId, char* buffer, size_t capacity) override;
    uint32_t EntQueryData(uint32_t entId, uint32_t kind, KivRecordHandle* record, uint32_t* length,
                          uint32_t* present, uint32_t* reserved) override;
    uint32_t RecGet(KivRecordHandle record, uint32_t length, std::string* bytes) override;

    uint32_t AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) override;
    uint32_t AdamExportMod(const char* file, uint32_t modId, uint32_t reserved, uint32_t* entities) override;
    uint32_t AdamImportApp(const char* file, const char* appName, uint32_t replace, uint32_t reserved,
                           uint32_t* appId, uint32_t* modules) override;
    uint32_t AdamImportMod(const char* file, const char* moduleName, uint16_t appId, uint32_t* entities,
                           uint32_t replace, uint32_t bind, uint32_t* modId) override;

    uint32_t PrjSetDescription(const char* name, const char* description) override;
    uint32_t PrjSetLock(const char* name, uint32_t locked) override;
    uint32_t AppSetLib(uint16_t appId, uint32_t isLibrary, uint32_t isDll) override;
    uint32_t AppSetSysLib(uint16_t appId, uint32_t isSystemLibrary) override;
    uint32_t ModSetAppearance(uint32_t modId, uint32_t visible) override;
    uint32_t EntSetAppearance(uint32_t entId, uint32_t visible) override;

private:
    template <class T> struct Walk {
        std::vector<T> items;
        size_t next = 0;
        bool started = false;
        void Start(std::vector<T> list) {
            items = std::move(list);
            next = 0;
            started = true;
        }
        void Stop() { *this = Walk(); }
    };
    struct KeptRecord {
        KivRecordHandle handle = 0;
        std::string bytes;
    };

    uint32_t Ready() const;
    uint32_t ProjectReady() const;
    uint32_t OpenProject(const KivProjectEntry& entry);
    void StopWalks();
    // Forget what was read from the store after a change.
    void Changed() {
        m_entityId = 0;
        m_walkIndex.clear();
        m_walkSourcesRead = false;
        m_walkSourceReads = 0;
    }
    uint32_t LoadEntity(uint32_t entId);
    // Where the entity is in m_walkValues; false for one the last walk did not read.
    bool WalkIndex(uint32_t entId, size_t& index) const;
    // The slot of m_walkIndex where the look-up of the entity starts.
    size_t WalkSlot(uint32_t entId) const;
    // The source record of the walked entity at that index of m_walkValues.
    uint32_t WalkSource(size_t index, const std::string*& bytes);
    uint32_t Keep(KeptRecord& kept, std::string_view bytes, KivRecordHandle* record, uint32_t* length);
    template <class F>
    uint32_t Write(F&& change, KivSqliteDb::Transaction::Kind kind = KivSqliteDb::Transaction::Kind::Change);
    uint32_t LoadApp(uint16_t appId, KivApplicationImage& app);
    uint32_t LoadModule(uint32_t modId, KivModuleImage& module);
    // The query operations of one rule: read the object, hand one of its fields out.
    uint32_t PrjText(const char* name, std::string KivProjectEntry::*field, char* buffer, size_t capacity);
    uint32_t AppText(uint16_t appId, std::string KivApplicationImage::*field, char* buffer, size_t capacity);
    uint32_t AppNumber(uint16_t appId, uint32_t KivApplicationImage::*field, uint32_t* value);
    uint32_t ModText(uint32_t modId, std::string KivModuleImage::*field, char* buffer, size_t capacity);
    uint32_t ModNumber(uint32_t modId, uint32_t KivModuleImage::*field, uint32_t* value);
    uint32_t EntNumber(uint32_t entId, uint32_t KivEntityImage::*field, uint32_t* value);
    // Starts the walk over what `list` gives and hands out its first item; the next item of a
    // walk that was started.
    template <class T, class F> uint32_t WalkFirst(Walk<T>& walk, T* item, F&& list);
    template <class T> uint32_t WalkNext(Walk<T>& walk, T* item);
    uint32_t ListFirst(uint16_t appId, KivListKind kind, Walk<std::string>& walk, char* buffer,
                       size_t capacity);
    uint32_t ListNext(Walk<std::string>& walk, char* buffer, size_t capacity);
    uint32_t ListAdd(uint16_t appId, KivListKind kind, const std::string& name);
    uint32_t ListDel(uint16_t appId, KivListKind kind, const std::string& name);
    uint32_t ListMove(uint16_t appId, KivListKind kind, const std::string& name, uint32_t position);
    uint32_t LibraryName(uint16_t appId, uint16_t libId, std::string& name);
    uint32_t ProjectChange(const char* name, bool deleteData);

    KivRepositoryLock m_lock;
    KivCatalogue m_catalogue;
    std::unique_ptr<KivProjectStore> m_project;
    bool m_open = false;
    std::string m_currentName;

    std::map<uint32_t, Walk<std::string>> m_catalogueWalks;
    uint32_t m_nextCatalogueHandle = 1;
    Walk<uint16_t> m_appWalk;
    Walk<uint32_t> m_moduleWalk;
    Walk<uint32_t> m_entityWalk;
    Walk<uint16_t> m_libraryWalk;
    Walk<std::string> m_udcWalk;
    Walk<std::string> m_chWalk;

    KeptRecord m_description;
    KeptRecord m_data;
    KivRecordHandle m_nextRecord = 1;

    // The last entity read, so that a walk reading each entity's properties reads its row once:
    // an entry of m_walkValues (without its source and designer binary), or m_single.
    uint32_t m_entityId = 0;
    uint32_t m_entityModule = 0;
    const KivEntityImage* m_entity = &m_single;
    size_t m_entityWalkIndex = 0;
    KivEntityImage m_single;
    // A designer binary, or the one source read alone, of an entity of the walk.
    std::string m_walkData;
    // The values of the entities of the module walked last, read with one statement when the
    // walk starts: a walk asks for them entity by entity, often twice (to sort, then to show).
    // What is not in m_walkIndex is forgotten; its strings are kept for the next walk to fill.
    uint32_t m_walkModule = 0;
    std::vector<std::pair<uint32_t, KivEntityImage>> m_walkValues;
    // (entity ID, index in m_walkValues) in a table of open addressing: a power of two of slots,
    // an ID in the first free slot from the one it hashes to, ID 0 in a free one. Empty when
    // nothing of the last walk is kept.
    std::vector<std::pair<uint32_t, uint32_t>> m_walkIndex;
    // Their sources, in the same order, once a walk has asked for a second one: a walk that reads
    // sources (a search, a listing, a module's text) reads them all with one statement, and the
    // walk after it reads them with the values.
    std::vector<std::string> m_walkSources;
    bool m_walkSourcesRead = false;
    uint32_t m_walkSourceReads = 0;
    size_t m_bulkImportSize = static_cast<size_t>(kWalLimit);
};

// Runs a change of the current project's store as one transaction: all of it is kept, or none.
template <class F> uint32_t KivSqliteEngine::Write(F&& change, KivSqliteDb::Transaction::Kind kind) {
    if (uint32_t status = ProjectReady())
        return status;
    KivSqliteDb& db = m_project->Db();
    Changed();
    db.CheckpointWhenLarger(kWalLimit);
    KivSqliteDb::Transaction tx(db, kind);
    if (!tx.Started())
        return db.FailureStatus();
    if (uint32_t status = change())
        return status;
    if (!tx.Commit())
        return db.FailureStatus();
    return kiv::engine::kOk;
}
