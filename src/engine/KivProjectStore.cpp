#include "engine/KivProjectStore.h"

#include "engine/KivEngineStatus.h"
#include "exportfiles/KivExportTags.h"
#include "engine/KivRecordLayout.h"
#include "support/KivStringUtil.h"

#include <system_error>

namespace {

using kiv::engine::kBadFile;
using kiv::engine::kBadId;
using kiv::engine::kIdsExhausted;
using kiv::engine::kNameExists;
using kiv::engine::kOk;

constexpr const char* kFormat = "kiv-project-1";

constexpr const char* kSchema =
    "CREATE TABLE kiv_meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE app("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, name BLOB NOT NULL, uname BLOB NOT NULL UNIQUE,"
    " exe BLOB NOT NULL, grp BLOB NOT NULL, descr BLOB NOT NULL, exp BLOB NOT NULL,"
    " debug INTEGER NOT NULL, lib INTEGER NOT NULL, dll INTEGER NOT NULL, syslib INTEGER NOT NULL,"
    " ctime INTEGER NOT NULL, btime INTEGER NOT NULL,"
    " layout BLOB NOT NULL, libs BLOB NOT NULL, udcs BLOB NOT NULL, chs BLOB NOT NULL);"
    "CREATE TABLE module("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, app INTEGER NOT NULL, seq INTEGER NOT NULL,"
    " name BLOB NOT NULL, uname BLOB NOT NULL, exp BLOB NOT NULL, extern BLOB NOT NULL, extsrc BLOB NOT NULL,"
    " debug INTEGER NOT NULL, oem INTEGER NOT NULL, appear INTEGER NOT NULL,"
    " ctime INTEGER NOT NULL, btime INTEGER NOT NULL, head BLOB NOT NULL, tail BLOB NOT NULL);"
    "CREATE UNIQUE INDEX module_name ON module(app, uname);"
    "CREATE INDEX module_order ON module(app, seq);"
    "CREATE TABLE entity("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, module INTEGER NOT NULL, seq INTEGER NOT NULL,"
    " name BLOB NOT NULL, type INTEGER NOT NULL, block INTEGER NOT NULL, appear INTEGER NOT NULL,"
    " ctime INTEGER NOT NULL, btime INTEGER NOT NULL, prot BLOB NOT NULL, display BLOB NOT NULL,"
    " source BLOB NOT NULL, custom BLOB NOT NULL, layout BLOB NOT NULL);"
    "CREATE INDEX entity_order ON entity(module, seq);"
    "CREATE INDEX entity_name ON entity(module, name);";

constexpr int64_t kMaxAppId = 0xFFFF;
constexpr int64_t kMaxId = 0xFFFFFFFFLL;

const char* ListColumn(KivListKind kind) {
    switch (kind) {
    case KivListKind::Libraries:
        return "libs";
    case KivListKind::Udcs:
        return "udcs";
    default:
        return "chs";
    }
}

const char* AppColumn(KivAppField field) {
    switch (field) {
    case KivAppField::ExeName:
        return "exe";
    case KivAppField::ExpName:
        return "exp";
    case KivAppField::GroupName:
        return "grp";
    case KivAppField::Description:
        return "descr";
    case KivAppField::Debug:
        return "debug";
    case KivAppField::Library:
        return "lib";
    case KivAppField::Dll:
        return "dll";
    default:
        return "syslib";
    }
}

const char* ModuleColumn(KivModuleField field) {
    switch (field) {
    case KivModuleField::ExpName:
        return "exp";
    case KivModuleField::Debug:
        return "debug";
    case KivModuleField::Appearance:
        return "appear";
    default:
        return "oem";
    }
}

uint32_t U32(int64_t value) {
    return static_cast<uint32_t>(value);
}

// The values of an entity row from the columns name, type, block, appear, ctime, btime, prot and
// display, in that order from `first`.
template <class Entity> void ReadEntityValues(const KivSqliteStatement& st, int first, Entity& e) {
    e.name = st.View(first);
    e.type = U32(st.Int(first + 1));
    e.block = U32(st.Int(first + 2));
    e.appearance = U32(st.Int(first + 3));
    e.created = U32(st.Int(first + 4));
    e.built = U32(st.Int(first + 5));
    e.prototype = st.View(first + 6);
    e.display = st.View(first + 7);
}

} // namespace

uint16_t KivListHead(KivListKind kind) {
    switch (kind) {
    case KivListKind::Libraries:
        return kiv::tag::kLibrary;
    case KivListKind::Udcs:
        return kiv::tag::kUdc;
    default:
        return kiv::tag::kCh;
    }
}

std::filesystem::path KivProjectStore::DatabaseFile(const std::filesystem::path& dir) {
    return dir / "kivproject.db";
}

uint32_t KivProjectStore::Open(const std::filesystem::path& dir, bool create) {
    std::filesystem::path file = DatabaseFile(dir);
    std::error_code ec;
    bool exists = std::filesystem::exists(file, ec);
    if (uint32_t status = m_db.Open(file, create))
        return status;
    if (!exists) {
        KivSqliteDb::Transaction tx(m_db);
        if (!tx.Started() || !m_db.Exec(kSchema)) {
            uint32_t status = Fail();
            m_db.Close();
            std::filesystem::remove(file, ec);
            return status;
        }
        auto st = m_db.Prepare("INSERT INTO kiv_meta(key, value) VALUES('format', ?1)");
        st.Bind(1, std::string_view(kFormat));
        if (!st.Run() || !tx.Commit()) {
            uint32_t status = Fail();
            m_db.Close();
            return status;
        }
        return kOk;
    }
    auto st = m_db.Prepare("SELECT value FROM kiv_meta WHERE key = 'format'");
    bool ours = st.Step() && st.View(0) == kFormat;
    if (!ours) {
        m_db.Close();
        return kBadFile;
    }
    return kOk;
}

// Applications

uint32_t KivProjectStore::AppIds(std::vector<uint16_t>& ids) {
    ids.clear();
    auto st = m_db.Prepare("SELECT id FROM app ORDER BY id");
    while (st.Step())
        ids.push_back(static_cast<uint16_t>(st.Int(0)));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::FindApp(std::string_view name, uint16_t& id) {
    id = 0;
    auto st = m_db.Prepare("SELECT id FROM app WHERE uname = ?1");
    st.Bind(1, KivUpper(name));
    if (st.Step())
        id = static_cast<uint16_t>(st.Int(0));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::CreateApp(std::string_view name, uint32_t now, uint16_t& id) {
    KivApplicationImage app;
    app.name = std::string(name);
    app.created = app.built = now;
    return InsertApplication(app, id);
}

uint32_t KivProjectStore::DeleteApp(uint16_t id) {
    auto entities = m_db.Prepare("DELETE FROM entity WHERE module IN (SELECT id FROM module WHERE app = ?1)");
    if (!entities.Bind(1, id).Run())
        return Fail();
    auto modules = m_db.Prepare("DELETE FROM module WHERE app = ?1");
    if (!modules.Bind(1, id).Run())
        return Fail();
    auto app = m_db.Prepare("DELETE FROM app WHERE id = ?1");
    if (!app.Bind(1, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::LoadApp(uint16_t id, KivApplicationImage& app) {
    auto st = m_db.Prepare("SELECT name, exe, grp, descr, exp, debug, lib, dll, syslib, ctime, btime"
                           " FROM app WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    app.name = st.Text(0);
    app.exeName = st.Text(1);
    app.groupName = st.Text(2);
    app.description = st.Text(3);
    app.expName = st.Text(4);
    app.debug = U32(st.Int(5));
    app.library = st.Int(6) != 0;
    app.dll = st.Int(7) != 0;
    app.systemLibrary = st.Int(8) != 0;
    app.created = U32(st.Int(9));
    app.built = U32(st.Int(10));
    return kOk;
}

uint32_t KivProjectStore::SetAppText(uint16_t id, KivAppField field, std::string_view value) {
    auto st = m_db.Prepare(std::string("UPDATE app SET ") + AppColumn(field) + " = ?1 WHERE id = ?2");
    if (!st.Bind(1, value).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::SetAppNumber(uint16_t id, KivAppField field, uint32_t value) {
    auto st = m_db.Prepare(std::string("UPDATE app SET ") + AppColumn(field) + " = ?1 WHERE id = ?2");
    if (!st.Bind(1, static_cast<int64_t>(value)).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::LoadList(uint16_t id, KivListKind kind, std::vector<KivListEntry>& entries) {
    auto st = m_db.Prepare(std::string("SELECT ") + ListColumn(kind) + " FROM app WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    entries = KivSplitListEntries(st.View(0), KivListHead(kind));
    return kOk;
}

uint32_t KivProjectStore::SaveList(uint16_t id, KivListKind kind, const std::vector<KivListEntry>& entries) {
    auto st = m_db.Prepare(std::string("UPDATE app SET ") + ListColumn(kind) + " = ?1 WHERE id = ?2");
    if (!st.Bind(1, KivJoinListEntries(entries)).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::ModuleIds(uint16_t app, std::vector<uint32_t>& ids) {
    ids.clear();
    auto st = m_db.Prepare("SELECT id FROM module WHERE app = ?1 ORDER BY seq");
    st.Bind(1, app);
    while (st.Step())
        ids.push_back(U32(st.Int(0)));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::CountModules(uint16_t app, uint32_t& count) {
    auto st = m_db.Prepare("SELECT count(*) FROM module WHERE app = ?1");
    st.Bind(1, app);
    count = st.Step() ? U32(st.Int(0)) : 0;
    return st.Failed() ? Fail() : kOk;
}

// Modules

uint32_t KivProjectStore::FindModule(uint16_t app, std::string_view name, uint32_t& id) {
    id = 0;
    auto st = m_db.Prepare("SELECT id FROM module WHERE app = ?1 AND uname = ?2");
    st.Bind(1, app).Bind(2, KivUpper(name));
    if (st.Step())
        id = U32(st.Int(0));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::CreateModule(uint16_t app, std::string_view name, uint32_t now, uint32_t& id) {
    KivModuleImage module;
    module.name = std::string(name);
    module.created = module.built = now;
    return InsertModule(app, -1, module, id);
}

uint32_t KivProjectStore::DeleteModule(uint32_t id) {
    auto entities = m_db.Prepare("DELETE FROM entity WHERE module = ?1");
    if (!entities.Bind(1, id).Run())
        return Fail();
    auto module = m_db.Prepare("DELETE FROM module WHERE id = ?1");
    if (!module.Bind(1, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::LoadModule(uint32_t id, KivModuleImage& module, uint16_t& app) {
    auto st = m_db.Prepare(
        "SELECT app, name, exp, extern, debug, oem, appear, ctime, btime FROM module WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    app = static_cast<uint16_t>(st.Int(0));
    module.name = st.Text(1);
    module.expName = st.Text(2);
    module.externFile = st.Text(3);
    module.debug = U32(st.Int(4));
    module.oem = U32(st.Int(5));
    module.appearance = U32(st.Int(6));
    module.created = U32(st.Int(7));
    module.built = U32(st.Int(8));
    return kOk;
}

uint32_t KivProjectStore::SetModuleText(uint32_t id, KivModuleField field, std::string_view value) {
    auto st = m_db.Prepare(std::string("UPDATE module SET ") + ModuleColumn(field) + " = ?1 WHERE id = ?2");
    if (!st.Bind(1, value).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::SetModuleNumber(uint32_t id, KivModuleField field, uint32_t value) {
    auto st = m_db.Prepare(std::string("UPDATE module SET ") + ModuleColumn(field) + " = ?1 WHERE id = ?2");
    if (!st.Bind(1, static_cast<int64_t>(value)).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::SetExtern(uint32_t id, std::string_view file, std::string_view source,
                                    uint32_t built) {
    auto st = m_db.Prepare("UPDATE module SET extern = ?1, extsrc = ?2, btime = ?3 WHERE id = ?4");
    if (!st.Bind(1, file).Bind(2, source).Bind(3, static_cast<int64_t>(built)).Bind(4, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::ExternSource(uint32_t id, std::string& source) {
    auto st = m_db.Prepare("SELECT extsrc FROM module WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    source = st.Text(0);
    return kOk;
}

uint32_t KivProjectStore::CountEntities(uint32_t module, uint32_t& count) {
    auto st = m_db.Prepare("SELECT count(*) FROM entity WHERE module = ?1");
    st.Bind(1, module);
    count = st.Step() ? U32(st.Int(0)) : 0;
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::EntityCreationTimes(uint32_t module, std::map<std::string, uint32_t>& times) {
    times.clear();
    auto st = m_db.Prepare("SELECT name, type, ctime FROM entity WHERE module = ?1");
    st.Bind(1, module);
    while (st.Step())
        times[st.Text(0) + '\0' + std::to_string(st.Int(1))] = U32(st.Int(2));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::ReplaceEntities(uint32_t module, const std::vector<KivEntityImage>& entities) {
    auto st = m_db.Prepare("DELETE FROM entity WHERE module = ?1");
    if (!st.Bind(1, module).Run())
        return Fail();
    return InsertEntities(module, entities);
}

// Entities

uint32_t KivProjectStore::FindEntity(uint32_t module, std::string_view upperName, uint32_t type,
                                     uint32_t& id) {
    id = 0;
    auto st = m_db.Prepare("SELECT id FROM entity WHERE module = ?1 AND name = ?2 AND (?3 = 0 OR type = ?3)"
                           " ORDER BY seq LIMIT 1");
    st.Bind(1, module).Bind(2, upperName).Bind(3, static_cast<int64_t>(type));
    if (st.Step())
        id = U32(st.Int(0));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::LoadEntity(uint32_t id, KivEntityImage& e, uint32_t& module) {
    auto st =
        m_db.Prepare("SELECT module, name, type, block, appear, ctime, btime, prot, display, source, custom"
                     " FROM entity WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    module = U32(st.Int(0));
    ReadEntityValues(st, 1, e);
    e.source = st.View(9);
    e.custom = st.View(10);
    e.layout.clear();
    return kOk;
}

uint32_t KivProjectStore::LoadEntityValues(uint32_t module,
                                           std::vector<std::pair<uint32_t, KivEntityImage>>& entities,
                                           std::vector<std::string>* sources) {
    auto st = m_db.Prepare(sources ? "SELECT id, name, type, block, appear, ctime, btime, prot, display, source"
                                     " FROM entity WHERE module = ?1 ORDER BY seq"
                                   : "SELECT id, name, type, block, appear, ctime, btime, prot, display"
                                     " FROM entity WHERE module = ?1 ORDER BY seq");
    st.Bind(1, module);
    // The entries of the last call are written over: their strings keep their buffers, so a walk
    // over module after module allocates next to nothing.
    size_t count = 0;
    for (; st.Step(); ++count) {
        if (count == entities.size())
            entities.emplace_back();
        auto& [id, e] = entities[count];
        id = U32(st.Int(0));
        ReadEntityValues(st, 1, e);
        if (sources) {
            if (count == sources->size())
                sources->emplace_back();
            (*sources)[count] = st.View(9);
        }
    }
    entities.resize(count);
    if (sources)
        sources->resize(count);
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::LoadEntityData(uint32_t id, uint32_t kind, std::string& bytes) {
    auto st = m_db.Prepare(kind == 4 ? "SELECT custom FROM entity WHERE id = ?1"
                                     : "SELECT source FROM entity WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    bytes = st.View(0);
    return kOk;
}

uint32_t KivProjectStore::LoadEntitySources(uint32_t module,
                                            std::vector<std::pair<uint32_t, std::string>>& sources) {
    sources.clear();
    auto st = m_db.Prepare("SELECT id, source FROM entity WHERE module = ?1");
    st.Bind(1, module);
    while (st.Step())
        sources.emplace_back(U32(st.Int(0)), st.View(1));
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::SetEntityAppearance(uint32_t id, uint32_t visible) {
    auto st = m_db.Prepare("UPDATE entity SET appear = ?1 WHERE id = ?2");
    if (!st.Bind(1, static_cast<int64_t>(visible)).Bind(2, id).Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

// Whole images

uint32_t KivProjectStore::InsertApplication(const KivApplicationImage& app, uint16_t& id) {
    if (uint32_t status = InsertApplicationRow(app, id))
        return status;
    for (const KivModuleImage& module : app.modules) {
        uint32_t modId = 0;
        if (uint32_t status = InsertModule(id, -1, module, modId))
            return status;
    }
    return kOk;
}

uint32_t KivProjectStore::InsertApplicationRow(const KivApplicationImage& app, uint16_t& id) {
    id = 0;
    uint16_t existing = 0;
    if (uint32_t status = FindApp(app.name, existing))
        return status;
    if (existing)
        return kNameExists;
    auto st = m_db.Prepare(
        "INSERT INTO app(name, uname, exe, grp, descr, exp, debug, lib, dll, syslib, ctime, btime,"
        " layout, libs, udcs, chs) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12,"
        " ?13, ?14, ?15, ?16)");
    st.Bind(1, app.name).Bind(2, KivUpper(app.name)).Bind(3, app.exeName).Bind(4, app.groupName);
    st.Bind(5, app.description).Bind(6, app.expName).Bind(7, static_cast<int64_t>(app.debug));
    st.Bind(8, int64_t{app.library}).Bind(9, int64_t{app.dll}).Bind(10, int64_t{app.systemLibrary});
    st.Bind(11, static_cast<int64_t>(app.created)).Bind(12, static_cast<int64_t>(app.built));
    st.Bind(13, app.layout)
        .Bind(14, KivJoinListEntries(app.libraries))
        .Bind(15, KivJoinListEntries(app.udcs));
    st.Bind(16, KivJoinListEntries(app.chs));
    if (!st.Run())
        return Fail();
    int64_t newId = m_db.LastInsertId();
    // The caller's transaction is rolled back on failure, so the row does not stay.
    if (newId <= 0 || newId > kMaxAppId)
        return kIdsExhausted;
    id = static_cast<uint16_t>(newId);
    return kOk;
}

uint32_t KivProjectStore::InsertModule(uint16_t app, int64_t seq, const KivModuleImage& module,
                                       uint32_t& id) {
    if (uint32_t status = InsertModuleRow(app, seq, module, id))
        return status;
    return InsertEntities(id, module.entities);
}

uint32_t KivProjectStore::InsertModuleRow(uint16_t app, int64_t seq, const KivModuleImage& module,
                                          uint32_t& id) {
    id = 0;
    uint32_t existing = 0;
    if (uint32_t status = FindModule(app, module.name, existing))
        return status;
    if (existing)
        return kNameExists;
    if (seq < 0) {
        auto last = m_db.Prepare("SELECT coalesce(max(seq), 0) + 1 FROM module WHERE app = ?1");
        last.Bind(1, app);
        if (!last.Step())
            return Fail();
        seq = last.Int(0);
    }
    auto st =
        m_db.Prepare("INSERT INTO module(app, seq, name, uname, exp, extern, extsrc, debug, oem, appear,"
                     " ctime, btime, head, tail) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12,"
                     " ?13, ?14)");
    st.Bind(1, app).Bind(2, seq).Bind(3, module.name).Bind(4, KivUpper(module.name)).Bind(5, module.expName);
    st.Bind(6, module.externFile)
        .BindView(7, module.externSource)
        .Bind(8, static_cast<int64_t>(module.debug));
    st.Bind(9, static_cast<int64_t>(module.oem)).Bind(10, static_cast<int64_t>(module.appearance));
    st.Bind(11, static_cast<int64_t>(module.created)).Bind(12, static_cast<int64_t>(module.built));
    st.BindView(13, module.head).BindView(14, module.tail);
    if (!st.Run())
        return Fail();
    int64_t newId = m_db.LastInsertId();
    if (newId <= 0 || newId > kMaxId)
        return kIdsExhausted;
    id = static_cast<uint32_t>(newId);
    return kOk;
}

uint32_t KivProjectStore::FinishModule(uint32_t id, const KivModuleImage& module) {
    auto st = m_db.Prepare(
        "UPDATE module SET exp = ?1, extern = ?2, extsrc = ?3, ctime = ?4, btime = ?5, tail = ?6 WHERE id = ?7");
    st.Bind(1, module.expName).Bind(2, module.externFile).BindView(3, module.externSource);
    st.Bind(4, static_cast<int64_t>(module.created)).Bind(5, static_cast<int64_t>(module.built));
    st.BindView(6, module.tail).Bind(7, id);
    if (!st.Run())
        return Fail();
    return m_db.Changes() ? kOk : kBadId;
}

uint32_t KivProjectStore::InsertEntities(uint32_t module, const std::vector<KivEntityImage>& entities) {
    int64_t seq = 0;
    {
        auto last = m_db.Prepare("SELECT coalesce(max(seq), 0) FROM entity WHERE module = ?1");
        last.Bind(1, module);
        if (!last.Step())
            return Fail();
        seq = last.Int(0);
    }
    for (const KivEntityImage& e : entities)
        if (uint32_t status = InsertEntity(module, ++seq, KivViewOf(e)))
            return status;
    return kOk;
}

uint32_t KivProjectStore::InsertEntity(uint32_t module, int64_t seq, const KivEntityView& e) {
    auto st = m_db.Prepare("INSERT INTO entity(module, seq, name, type, block, appear, ctime, btime, prot,"
                           " display, source, custom, layout) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10,"
                           " ?11, ?12, ?13)");
    st.Bind(1, module).Bind(2, seq).BindView(3, e.name).Bind(4, static_cast<int64_t>(e.type));
    st.Bind(5, static_cast<int64_t>(e.block)).Bind(6, static_cast<int64_t>(e.appearance));
    st.Bind(7, static_cast<int64_t>(e.created)).Bind(8, static_cast<int64_t>(e.built));
    st.BindView(9, e.prototype).BindView(10, e.display).BindView(11, e.source).BindView(12, e.custom);
    st.BindView(13, e.layout);
    if (!st.Run())
        return Fail();
    if (m_db.LastInsertId() > kMaxId)
        return kIdsExhausted;
    return kOk;
}

uint32_t KivProjectStore::ModuleSeq(uint32_t id, int64_t& seq) {
    auto st = m_db.Prepare("SELECT seq FROM module WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    seq = st.Int(0);
    return kOk;
}

uint32_t KivProjectStore::EachEntity(uint32_t module,
                                     const std::function<uint32_t(const KivEntityView&)>& each) {
    auto st =
        m_db.Prepare("SELECT name, type, block, appear, ctime, btime, prot, display, source, custom, layout"
                     " FROM entity WHERE module = ?1 ORDER BY seq");
    st.Bind(1, module);
    KivEntityView e;
    while (st.Step()) {
        ReadEntityValues(st, 0, e);
        e.source = st.View(8);
        e.custom = st.View(9);
        e.layout = st.View(10);
        if (uint32_t status = each(e))
            return status;
    }
    return st.Failed() ? Fail() : kOk;
}

uint32_t KivProjectStore::LoadModulePart(uint32_t id, KivModuleImage& module) {
    auto st = m_db.Prepare("SELECT name, exp, extern, extsrc, debug, oem, appear, ctime, btime, head, tail"
                           " FROM module WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    module.name = st.View(0);
    module.expName = st.View(1);
    module.externFile = st.View(2);
    module.externSource = st.View(3);
    module.debug = U32(st.Int(4));
    module.oem = U32(st.Int(5));
    module.appearance = U32(st.Int(6));
    module.created = U32(st.Int(7));
    module.built = U32(st.Int(8));
    module.head = st.View(9);
    module.tail = st.View(10);
    module.entities.clear();
    return kOk;
}

uint32_t KivProjectStore::LoadApplicationPart(uint16_t id, KivApplicationImage& app) {
    app = KivApplicationImage();
    if (uint32_t status = LoadApp(id, app))
        return status;
    auto st = m_db.Prepare("SELECT layout, libs, udcs, chs FROM app WHERE id = ?1");
    st.Bind(1, id);
    if (!st.Step())
        return st.Failed() ? Fail() : kBadId;
    app.layout = st.View(0);
    app.libraries = KivSplitListEntries(st.View(1), kiv::tag::kLibrary);
    app.udcs = KivSplitListEntries(st.View(2), kiv::tag::kUdc);
    app.chs = KivSplitListEntries(st.View(3), kiv::tag::kCh);
    return kOk;
}
