#include "platform/KivRegistryStore.h"

#include "platform/KivAtomicFile.h"
#include "platform/KivOsError.h"
#include "platform/KivPlatformHome.h"
#include "platform/KivSqliteStatement.h"
#include "platform/KivWholeFile.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using kiv::reg::HKey;

namespace {

// Key rows the store creates are numbered from 2^32 up, and never reused (AUTOINCREMENT), so a
// handle can neither be taken for a root nor come to name another key after a delete.
constexpr int64_t kFirstKeyId = int64_t{1} << 32;
constexpr int kSchemaVersion = 1;
// A large restore by another process may hold the write lock for a while; wait rather than fail.
constexpr int kBusyTimeoutMs = 30000;

enum Sql : size_t {
    kBegin,
    kBeginWrite,
    kCommit,
    kRollback,
    kKeyRow,
    kChild,
    kInsertKey,
    kTouchKey,
    kKeyAt,
    kChildren,
    kValueAt,
    kValues,
    kValue,
    kUpdateValue,
    kInsertValue,
    kDeleteValue,
    kDeleteTreeValues,
    kDeleteTreeKeys,
    kKeyStats,
    kValueStats,
    kIsWithin,
    kAddPending,
    kPendings,
    kDeletePending,
    kSqlCount
};

#define KIV_SUBTREE                                                                                          \
    "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL SELECT keys.id FROM keys JOIN sub ON keys.parent = "     \
    "sub.id) "

constexpr const char* kSqlText[kSqlCount] = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT ifnull(parent, 0), depth, name, written FROM keys WHERE id = ?1",
    "SELECT id, name, written FROM keys WHERE parent = ?1 AND fold = ?2",
    "INSERT INTO keys(parent, depth, name, fold, written) VALUES(?1, ?2, ?3, ?4, ?5)",
    "UPDATE keys SET written = ?2 WHERE id = ?1",
    "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT id, name, written FROM keys WHERE parent = ?1 ORDER BY fold",
    "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id",
    "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2",
    "UPDATE vals SET type = ?3, data = ?4 WHERE key = ?1 AND fold = ?2",
    "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5)",
    "DELETE FROM vals WHERE key = ?1 AND fold = ?2",
    KIV_SUBTREE "DELETE FROM vals WHERE key IN (SELECT id FROM sub)",
    KIV_SUBTREE "DELETE FROM keys WHERE id IN (SELECT id FROM sub) AND id <> ?2",
    "SELECT count(*), ifnull(max(length(name)), 0) FROM keys WHERE parent = ?1",
    "SELECT count(*), ifnull(max(length(name)), 0), ifnull(max(length(data)), 0) FROM vals WHERE key = ?1",
    KIV_SUBTREE "SELECT 1 FROM sub WHERE id = ?2",
    "INSERT INTO pending(key, data) VALUES(?1, ?2)",
    "SELECT id, key, data FROM pending ORDER BY id",
    "DELETE FROM pending WHERE id = ?1",
};

#undef KIV_SUBTREE

constexpr const char* kSchema = R"(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER,
    depth INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    written INTEGER NOT NULL);
CREATE UNIQUE INDEX keys_by_name ON keys(parent, fold);
CREATE TABLE vals(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL);
CREATE UNIQUE INDEX vals_by_name ON vals(key, fold);
CREATE INDEX vals_in_order ON vals(key, id);
CREATE TABLE pending(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    data BLOB NOT NULL);
INSERT INTO keys(id, parent, depth, name, fold, written) VALUES
    (2147483648, NULL, 0, CAST('HKEY_CLASSES_ROOT' AS BLOB), CAST('HKEY_CLASSES_ROOT' AS BLOB), 0),
    (2147483649, NULL, 0, CAST('HKEY_CURRENT_USER' AS BLOB), CAST('HKEY_CURRENT_USER' AS BLOB), 0),
    (2147483650, NULL, 0, CAST('HKEY_LOCAL_MACHINE' AS BLOB), CAST('HKEY_LOCAL_MACHINE' AS BLOB), 0),
    (2147483651, NULL, 0, CAST('HKEY_USERS' AS BLOB), CAST('HKEY_USERS' AS BLOB), 0);
UPDATE sqlite_sequence SET seq = 4294967295 WHERE name = 'keys';
PRAGMA user_version = 1;
)";

bool IsRoot(HKey key) {
    return key >= kiv::reg::kClassesRoot && key <= kiv::reg::kUsers;
}

uint64_t NowFileTime() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
    return kiv::reg::kFileTimeUnixEpoch + static_cast<uint64_t>(ns > 0 ? ns / 100 : 0);
}

// Components of a key path. Empty is the key itself; one trailing backslash is allowed, a leading
// one or an empty component is not.
uint32_t SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
    parts.clear();
    if (path.empty())
        return kiv::reg::kSuccess;
    if (path.front() == '\\')
        return kiv::reg::kBadPathname;
    if (path.back() == '\\')
        path.remove_suffix(1);
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        std::string_view part = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
        if (part.empty())
            return kiv::reg::kBadPathname;
        parts.push_back(part);
        if (end == std::string_view::npos)
            return kiv::reg::kSuccess;
        start = end + 1;
    }
}

std::string FileError(uint32_t code, const std::filesystem::path& file) {
    return kiv::oserror::Text(code) + " (" + file.string() + ")";
}

// As Windows tells them apart: a missing file in an existing folder, or a missing folder.
uint32_t FileErrno(int err, const std::filesystem::path& file) {
    std::error_code ec;
    if (err == ENOENT &&
        !std::filesystem::is_directory(file.parent_path().empty() ? "." : file.parent_path(), ec))
        return kiv::reg::kPathNotFound;
    return kiv::oserror::FromErrno(err);
}

uint32_t ReadWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& why) {
    if (const int error = kiv::platform::KivReadWholeFile(file, bytes)) {
        const uint32_t code = FileErrno(error, file);
        why = FileError(code, file);
        return code;
    }
    return kiv::reg::kSuccess;
}

// Writes the bytes so that the target is either whole or untouched. Without replace, an
// existing target is kept and refused.
uint32_t WriteWholeFile(const std::filesystem::path& file, std::string_view bytes, bool replace,
                        std::string& why) {
    kiv::platform::KivAtomicFile out(file);
    if (out.Write(bytes) && (replace ? out.Commit() : out.CommitNew()))
        return kiv::reg::kSuccess;
    if (out.Error() == EEXIST) {
        why = "the file exists (" + file.string() + ")";
        return kiv::reg::kAlreadyExists;
    }
    const uint32_t code = FileErrno(out.Error(), file);
    why = FileError(code, file);
    return code;
}

} // namespace

KivRegistryStore::KivRegistryStore() = default;

KivRegistryStore::~KivRegistryStore() {
    Close();
}

std::filesystem::path KivRegistryStore::DefaultPath() {
    return kiv::platform::Home() / "registry.db";
}

uint32_t KivRegistryStore::Ok() {
    m_errorText.clear();
    return kiv::reg::kSuccess;
}

uint32_t KivRegistryStore::Fail(uint32_t code, std::string text) {
    m_errorText = std::move(text);
    return code;
}

uint32_t KivRegistryStore::SqlFail(int rc) {
    m_errorText = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    const int sysErr = m_db ? sqlite3_system_errno(m_db) : 0;
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return kiv::reg::kSuccess;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kiv::reg::kBusy;
    case SQLITE_NOMEM:
        return kiv::reg::kNotEnoughMemory;
    case SQLITE_FULL:
        return kiv::reg::kDiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return kiv::reg::kAccessDenied;
    case SQLITE_TOOBIG:
        return kiv::reg::kInvalidParameter;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return kiv::reg::kRegistryCorrupt;
    case SQLITE_CANTOPEN:
        return sysErr ? kiv::oserror::FromErrno(sysErr) : kiv::reg::kCantOpen;
    case SQLITE_IOERR:
        return sysErr ? kiv::oserror::FromErrno(sysErr) : kiv::reg::kRegistryIoFailed;
    default:
        return kiv::reg::kRegistryIoFailed;
    }
}

uint32_t KivRegistryStore::Exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Ok() : SqlFail(rc);
}

uint32_t KivRegistryStore::Open() {
    if (kiv::platform::EnsureHome().empty())
        return Fail(kiv::reg::kPathNotFound, FileError(kiv::reg::kPathNotFound, kiv::platform::Home()));
    return Open(DefaultPath());
}

uint32_t KivRegistryStore::Open(const std::filesystem::path& file) {
    Close();
    int rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    uint32_t code = kiv::reg::kSuccess;
    if (rc != SQLITE_OK) {
        code = SqlFail(rc);
    } else {
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        // WAL lets a reader go on while another process writes; FULL makes each commit durable.
        // Switching a new file to WAL needs it to itself: when another process opens the same
        // new file at that moment SQLite may answer busy without waiting, so wait here.
        for (int attempt = 0;; ++attempt) {
            rc = sqlite3_exec(m_db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
            if (rc != SQLITE_BUSY || attempt >= 500)
                break;
            usleep(10 * 1000);
        }
        code = rc == SQLITE_OK ? Ok() : SqlFail(rc);
        if (code == kiv::reg::kSuccess)
            code = Exec("PRAGMA synchronous = FULL");
        if (code == kiv::reg::kSuccess)
            code = CreateSchema();
        if (code == kiv::reg::kSuccess)
            code = PrepareAll();
        if (code == kiv::reg::kSuccess)
            code = ApplyPending();
    }
    if (code != kiv::reg::kSuccess) {
        const std::string text = m_errorText;
        Close();
        m_errorText = text;
        return code;
    }
    return Ok();
}

void KivRegistryStore::Close() {
    for (sqlite3_stmt* stmt : m_stmts)
        sqlite3_finalize(stmt);
    m_stmts.clear();
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

uint32_t KivRegistryStore::CreateSchema() {
    auto userVersion = [this](int& version) -> uint32_t {
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(stmt);
            version = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
        }
        sqlite3_finalize(stmt);
        return rc == SQLITE_ROW ? Ok() : SqlFail(rc);
    };
    int version = 0;
    if (uint32_t code = userVersion(version))
        return code;
    if (version == 0) {
        // Two processes may find a new file at once: the write lock decides who creates it.
        if (uint32_t code = Exec("BEGIN IMMEDIATE"))
            return code;
        uint32_t code = userVersion(version);
        if (code == kiv::reg::kSuccess && version == 0) {
            code = Exec(kSchema);
            if (code != kiv::reg::kSuccess)
                code = Fail(kiv::reg::kBadDb, "not a registry store: " + m_errorText);
            version = kSchemaVersion;
        }
        if (code == kiv::reg::kSuccess)
            code = Exec("COMMIT");
        if (code != kiv::reg::kSuccess) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            return code;
        }
    }
    if (version != kSchemaVersion)
        return Fail(kiv::reg::kBadDb,
                    "registry store layout " + std::to_string(version) + " is not supported");
    return Ok();
}

uint32_t KivRegistryStore::PrepareAll() {
    m_stmts.assign(kSqlCount, nullptr);
    for (size_t i = 0; i < kSqlCount; ++i) {
        const int rc =
            sqlite3_prepare_v3(m_db, kSqlText[i], -1, SQLITE_PREPARE_PERSISTENT, &m_stmts[i], nullptr);
        if (rc != SQLITE_OK) {
            SqlFail(rc);
            return Fail(kiv::reg::kBadDb, "not a registry store: " + m_errorText);
        }
    }
    return Ok();
}

uint32_t KivRegistryStore::ApplyPending() {
    return InTransaction(true, [this]() -> uint32_t {
        struct Item {
            int64_t id;
            int64_t key;
            std::string data;
        };
        std::vector<Item> items;
        {
            KivSqliteStatement q(m_stmts[kPendings], false);
            int rc;
            while ((rc = q.StepCode()) == SQLITE_ROW)
                items.push_back({q.Int(0), q.Int(1), q.Text(2)});
            if (rc != SQLITE_DONE)
                return SqlFail(rc);
        }
        for (const Item& item : items) {
            KivSqliteStatement del(m_stmts[kDeletePending], false);
            if (int rc = del.Bind(1, item.id).StepCode(); rc != SQLITE_DONE)
                return SqlFail(rc);
            // A key deleted since, or content that no longer reads, is dropped with its request.
            KeyRow row;
            KivRegSaveFile::Tree tree;
            std::string reason;
            if (ReadKey(static_cast<HKey>(item.key), row) != kiv::reg::kSuccess ||
                !KivRegSaveFile::Decode(item.data, tree, reason))
                continue;
            if (uint32_t code = WriteTree(row, tree, true))
                return code;
        }
        return Ok();
    });
}

uint32_t KivRegistryStore::InTransaction(bool write, const std::function<uint32_t()>& work) {
    if (!m_db)
        return Fail(kiv::reg::kInvalidHandle, "the registry store is not open");
    {
        KivSqliteStatement begin(m_stmts[write ? kBeginWrite : kBegin], false);
        if (int rc = begin.StepCode(); rc != SQLITE_DONE)
            return SqlFail(rc);
    }
    const uint32_t code = work();
    if (code != kiv::reg::kSuccess) {
        KivSqliteStatement rollback(m_stmts[kRollback], false);
        rollback.StepCode();
        return code;
    }
    KivSqliteStatement commit(m_stmts[kCommit], false);
    if (int rc = commit.StepCode(); rc != SQLITE_DONE) {
        const uint32_t failed = SqlFail(rc);
        KivSqliteStatement rollback(m_stmts[kRollback], false);
        rollback.StepCode();
        return failed;
    }
    return Ok();
}

uint32_t KivRegistryStore::ReadKey(HKey key, KeyRow& row) {
    if (!m_db)
        return Fail(kiv::reg::kInvalidHandle, "the registry store is not open");
    if (!IsRoot(key) && (key < static_cast<HKey>(kFirstKeyId) || key > static_cast<HKey>(INT64_MAX)))
        return Fail(kiv::reg::kInvalidHandle, "not a registry key handle");
    KivSqliteStatement q(m_stmts[kKeyRow], false);
    const int rc = q.Bind(1, static_cast<int64_t>(key)).StepCode();
    if (rc == SQLITE_DONE)
        return Fail(kiv::reg::kKeyDeleted, "the key has been deleted");
    if (rc != SQLITE_ROW)
        return SqlFail(rc);
    row.id = static_cast<int64_t>(key);
    row.parent = q.Int(0);
    row.depth = static_cast<uint32_t>(q.Int(1));
    row.name = q.Text(2);
    row.written = static_cast<uint64_t>(q.Int(3));
    return Ok();
}

uint32_t KivRegistryStore::FindChild(int64_t parent, std::string_view fold, int64_t& id) {
    KivSqliteStatement q(m_stmts[kChild], false);
    const int rc = q.Bind(1, parent).Bind(2, fold).StepCode();
    if (rc == SQLITE_DONE) {
        id = 0;
        return Ok();
    }
    if (rc != SQLITE_ROW)
        return SqlFail(rc);
    id = q.Int(0);
    return Ok();
}

uint32_t KivRegistryStore::AddKey(const KeyRow& parent, std::string_view name, uint64_t written,
                                  int64_t& id) {
    if (parent.depth + 1 > kiv::reg::kMaxDepth)
        return Fail(kiv::reg::kInvalidParameter, "keys nest at most 512 levels deep");
    KivSqliteStatement q(m_stmts[kInsertKey], false);
    q.Bind(1, parent.id).Bind(2, parent.depth + 1).Bind(3, name).Bind(4, kiv::reg::Fold(name));
    const int rc = q.Bind(5, static_cast<int64_t>(written)).StepCode();
    if (rc != SQLITE_DONE)
        return SqlFail(rc);
    id = sqlite3_last_insert_rowid(m_db);
    return Ok();
}

uint32_t KivRegistryStore::Touch(int64_t id, uint64_t when) {
    KivSqliteStatement q(m_stmts[kTouchKey], false);
    const int rc = q.Bind(1, id).Bind(2, static_cast<int64_t>(when)).StepCode();
    return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
}

uint32_t KivRegistryStore::Walk(HKey key, std::string_view path, bool create, KeyRow& row, bool* created) {
    if (created)
        *created = false;
    std::vector<std::string_view> parts;
    if (uint32_t code = SplitPath(path, parts))
        return Fail(code, "bad key path: " + std::string(path));
    if (uint32_t code = ReadKey(key, row))
        return code;
    const uint64_t now = NowFileTime();
    for (std::string_view part : parts) {
        if (part.size() > kiv::reg::kMaxKeyNameLen)
            return Fail(kiv::reg::kInvalidParameter, "key names are at most 255 bytes");
        int64_t id = 0;
        if (uint32_t code = FindChild(row.id, kiv::reg::Fold(part), id))
            return code;
        if (id != 0) {
            if (uint32_t code = ReadKey(static_cast<HKey>(id), row))
                return code;
            continue;
        }
        if (!create)
            return Fail(kiv::reg::kFileNotFound, "no such key: " + std::string(path));
        if (uint32_t code = AddKey(row, part, now, id))
            return code;
        if (uint32_t code = Touch(row.id, now))
            return code;
        row = KeyRow{id, row.id, row.depth + 1, std::string(part), now};
        if (created)
            *created = true;
    }
    return Ok();
}

uint32_t KivRegistryStore::PutValue(int64_t key, std::string_view name, uint32_t type,
                                    std::string_view data) {
    if (name.size() > kiv::reg::kMaxValueNameLen)
        return Fail(kiv::reg::kInvalidParameter, "value names are at most 16383 bytes");
    if (data.size() > UINT32_MAX)
        return Fail(kiv::reg::kInvalidParameter, "value data is too large");
    const std::string fold = kiv::reg::Fold(name);
    {
        KivSqliteStatement q(m_stmts[kUpdateValue], false);
        const int rc = q.Bind(1, key).Bind(2, fold).Bind(3, type).Bind(4, data).StepCode();
        if (rc != SQLITE_DONE)
            return SqlFail(rc);
        if (sqlite3_changes(m_db) > 0)
            return Ok();
    }
    KivSqliteStatement q(m_stmts[kInsertValue], false);
    const int rc = q.Bind(1, key).Bind(2, name).Bind(3, fold).Bind(4, type).Bind(5, data).StepCode();
    return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
}

uint32_t KivRegistryStore::RemoveTree(int64_t id, bool keepTop) {
    {
        KivSqliteStatement q(m_stmts[kDeleteTreeValues], false);
        if (int rc = q.Bind(1, id).StepCode(); rc != SQLITE_DONE)
            return SqlFail(rc);
    }
    KivSqliteStatement q(m_stmts[kDeleteTreeKeys], false);
    const int rc = q.Bind(1, id).Bind(2, keepTop ? id : 0).StepCode();
    return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
}

uint32_t KivRegistryStore::ReadTree(const KeyRow& top, KivRegSaveFile::Tree& tree) {
    struct Item {
        int64_t id;
        KivRegSaveFile::Key key;
    };
    tree.clear();
    // Depth first without recursion: a deep tree must not use up the stack.
    std::vector<Item> stack;
    stack.push_back({top.id, {0, top.written, top.name, {}}});
    while (!stack.empty()) {
        Item item = std::move(stack.back());
        stack.pop_back();
        {
            KivSqliteStatement q(m_stmts[kValues], false);
            q.Bind(1, item.id);
            int rc;
            while ((rc = q.StepCode()) == SQLITE_ROW)
                item.key.values.push_back({q.Text(0), static_cast<uint32_t>(q.Int(1)), q.Text(2)});
            if (rc != SQLITE_DONE)
                return SqlFail(rc);
        }
        const uint32_t childDepth = item.key.depth + 1;
        tree.push_back(std::move(item.key));
        std::vector<Item> children;
        {
            KivSqliteStatement q(m_stmts[kChildren], false);
            q.Bind(1, item.id);
            int rc;
            while ((rc = q.StepCode()) == SQLITE_ROW)
                children.push_back(
                    {q.Int(0), {childDepth, static_cast<uint64_t>(q.Int(2)), q.Text(1), {}}});
            if (rc != SQLITE_DONE)
                return SqlFail(rc);
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(std::move(*it));
    }
    return Ok();
}

uint32_t KivRegistryStore::WriteTree(const KeyRow& target, const KivRegSaveFile::Tree& tree, bool replace) {
    uint32_t deepest = 0;
    for (const KivRegSaveFile::Key& key : tree)
        deepest = std::max(deepest, key.depth);
    if (target.depth + deepest > kiv::reg::kMaxDepth)
        return Fail(kiv::reg::kInvalidParameter, "keys nest at most 512 levels deep");
    const uint64_t now = NowFileTime();
    if (replace)
        if (uint32_t code = RemoveTree(target.id, true))
            return code;
    // path[d] is the key that the records of depth d + 1 go below.
    std::vector<KeyRow> path;
    for (size_t i = 0; i < tree.size(); ++i) {
        const KivRegSaveFile::Key& record = tree[i];
        KeyRow row = target;
        if (i > 0) {
            const KeyRow& parent = path[record.depth - 1];
            int64_t id = 0;
            if (!replace)
                if (uint32_t code = FindChild(parent.id, kiv::reg::Fold(record.name), id))
                    return code;
            const uint64_t written = replace ? record.lastWrite : now;
            if (id == 0) {
                if (uint32_t code = AddKey(parent, record.name, written, id))
                    return code;
                row = KeyRow{id, parent.id, parent.depth + 1, record.name, written};
            } else {
                if (uint32_t code = ReadKey(static_cast<HKey>(id), row))
                    return code;
                if (uint32_t code = Touch(id, now))
                    return code;
            }
        }
        path.resize(record.depth);
        path.push_back(row);
        for (const KivRegSaveFile::Value& value : record.values)
            if (uint32_t code = PutValue(row.id, value.name, value.type, value.data))
                return code;
    }
    return Touch(target.id, now);
}

uint32_t KivRegistryStore::DecodeTree(std::string_view bytes, KivRegSaveFile::Tree& tree) {
    std::string reason;
    if (!KivRegSaveFile::Decode(bytes, tree, reason))
        return Fail(kiv::reg::kNotRegistryFile, reason);
    return Ok();
}

uint32_t KivRegistryStore::OpenKey(HKey key, std::string_view subKey, HKey& result) {
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = Walk(key, subKey, false, row, nullptr))
            return code;
        result = static_cast<HKey>(row.id);
        return Ok();
    });
}

uint32_t KivRegistryStore::CreateKey(HKey key, std::string_view subKey, HKey& result, bool* created) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = Walk(key, subKey, true, row, created))
            return code;
        result = static_cast<HKey>(row.id);
        return Ok();
    });
}

uint32_t KivRegistryStore::CloseKey(HKey key) const {
    return IsRoot(key) || (key >= static_cast<HKey>(kFirstKeyId) && key <= static_cast<HKey>(INT64_MAX))
               ? kiv::reg::kSuccess
               : kiv::reg::kInvalidHandle;
}

uint32_t KivRegistryStore::EnumKey(HKey key, uint32_t index, std::string& name) {
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kKeyAt], false);
        const int rc = q.Bind(1, row.id).Bind(2, index).StepCode();
        if (rc == SQLITE_DONE)
            return Fail(kiv::reg::kNoMoreItems, "no more subkeys");
        if (rc != SQLITE_ROW)
            return SqlFail(rc);
        name = q.Text(0);
        return Ok();
    });
}

uint32_t KivRegistryStore::SubKeyNames(HKey key, std::vector<std::string>& names) {
    names.clear();
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kChildren], false);
        q.Bind(1, row.id);
        int rc;
        while ((rc = q.StepCode()) == SQLITE_ROW)
            names.push_back(q.Text(1));
        return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
    });
}

uint32_t KivRegistryStore::EnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type,
                                     std::string& data) {
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kValueAt], false);
        const int rc = q.Bind(1, row.id).Bind(2, index).StepCode();
        if (rc == SQLITE_DONE)
            return Fail(kiv::reg::kNoMoreItems, "no more values");
        if (rc != SQLITE_ROW)
            return SqlFail(rc);
        name = q.Text(0);
        type = static_cast<uint32_t>(q.Int(1));
        data = q.Text(2);
        return Ok();
    });
}

uint32_t KivRegistryStore::ValueNames(HKey key, std::vector<std::string>& names) {
    names.clear();
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kValues], false);
        q.Bind(1, row.id);
        int rc;
        while ((rc = q.StepCode()) == SQLITE_ROW)
            names.push_back(q.Text(0));
        return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
    });
}

uint32_t KivRegistryStore::QueryValue(HKey key, std::string_view name, uint32_t& type, std::string& data) {
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kValue], false);
        const int rc = q.Bind(1, row.id).Bind(2, kiv::reg::Fold(name)).StepCode();
        if (rc == SQLITE_DONE)
            return Fail(kiv::reg::kFileNotFound, "no such value: " + std::string(name));
        if (rc != SQLITE_ROW)
            return SqlFail(rc);
        type = static_cast<uint32_t>(q.Int(0));
        data = q.Text(1);
        return Ok();
    });
}

uint32_t KivRegistryStore::SetValue(HKey key, std::string_view name, uint32_t type, std::string_view data) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        if (uint32_t code = PutValue(row.id, name, type, data))
            return code;
        return Touch(row.id, NowFileTime());
    });
}

uint32_t KivRegistryStore::DeleteValue(HKey key, std::string_view name) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kDeleteValue], false);
        if (int rc = q.Bind(1, row.id).Bind(2, kiv::reg::Fold(name)).StepCode(); rc != SQLITE_DONE)
            return SqlFail(rc);
        if (sqlite3_changes(m_db) == 0)
            return Fail(kiv::reg::kFileNotFound, "no such value: " + std::string(name));
        return Touch(row.id, NowFileTime());
    });
}

uint32_t KivRegistryStore::DeleteKey(HKey key, std::string_view subKey) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = Walk(key, subKey, false, row, nullptr))
            return code;
        if (row.parent == 0)
            return Fail(kiv::reg::kAccessDenied, "a root key cannot be deleted");
        {
            KivSqliteStatement q(m_stmts[kKeyStats], false);
            const int rc = q.Bind(1, row.id).StepCode();
            if (rc != SQLITE_ROW)
                return SqlFail(rc);
            if (q.Int(0) > 0)
                return Fail(kiv::reg::kAccessDenied, "the key has subkeys");
        }
        if (uint32_t code = RemoveTree(row.id, false))
            return code;
        return Touch(row.parent, NowFileTime());
    });
}

uint32_t KivRegistryStore::DeleteTree(HKey key, std::string_view subKey) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = Walk(key, subKey, false, row, nullptr))
            return code;
        const bool keepTop = subKey.empty();
        if (uint32_t code = RemoveTree(row.id, keepTop))
            return code;
        return Touch(keepTop ? row.id : row.parent, NowFileTime());
    });
}

uint32_t KivRegistryStore::QueryInfoKey(HKey key, KeyInfo& info) {
    info = KeyInfo{};
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        info.lastWriteTime = row.written;
        {
            KivSqliteStatement q(m_stmts[kKeyStats], false);
            const int rc = q.Bind(1, row.id).StepCode();
            if (rc != SQLITE_ROW)
                return SqlFail(rc);
            info.subKeys = static_cast<uint32_t>(q.Int(0));
            info.maxSubKeyLen = static_cast<uint32_t>(q.Int(1));
        }
        KivSqliteStatement q(m_stmts[kValueStats], false);
        const int rc = q.Bind(1, row.id).StepCode();
        if (rc != SQLITE_ROW)
            return SqlFail(rc);
        info.values = static_cast<uint32_t>(q.Int(0));
        info.maxValueNameLen = static_cast<uint32_t>(q.Int(1));
        info.maxValueLen = static_cast<uint32_t>(q.Int(2));
        return Ok();
    });
}

uint32_t KivRegistryStore::CopyTree(HKey source, std::string_view sourcePath, HKey target,
                                    std::string_view targetPath) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow from, to;
        if (uint32_t code = Walk(source, sourcePath, false, from, nullptr))
            return code;
        // The whole source is read before anything is written (the target path included), so a
        // copy into the source's own subtree copies the tree as it was and ends.
        KivRegSaveFile::Tree tree;
        if (uint32_t code = ReadTree(from, tree))
            return code;
        if (uint32_t code = Walk(target, targetPath, true, to, nullptr))
            return code;
        if (from.id == to.id)
            return Ok();
        return WriteTree(to, tree, false);
    });
}

uint32_t KivRegistryStore::MoveTree(HKey source, std::string_view sourcePath, HKey target,
                                    std::string_view targetPath) {
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow from, to;
        if (uint32_t code = Walk(source, sourcePath, false, from, nullptr))
            return code;
        if (uint32_t code = Walk(target, targetPath, true, to, nullptr))
            return code;
        if (from.id == to.id)
            return Ok();
        {
            KivSqliteStatement q(m_stmts[kIsWithin], false);
            const int rc = q.Bind(1, from.id).Bind(2, to.id).StepCode();
            if (rc == SQLITE_ROW)
                return Fail(kiv::reg::kInvalidParameter, "a key cannot be moved into its own subtree");
            if (rc != SQLITE_DONE)
                return SqlFail(rc);
        }
        KivRegSaveFile::Tree tree;
        if (uint32_t code = ReadTree(from, tree))
            return code;
        if (uint32_t code = WriteTree(to, tree, false))
            return code;
        const bool keepTop = sourcePath.empty();
        if (uint32_t code = RemoveTree(from.id, keepTop))
            return code;
        return Touch(keepTop ? from.id : from.parent, NowFileTime());
    });
}

uint32_t KivRegistryStore::SaveKeyToBytes(HKey key, std::string& bytes) {
    bytes.clear();
    return InTransaction(false, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivRegSaveFile::Tree tree;
        if (uint32_t code = ReadTree(row, tree))
            return code;
        bytes = KivRegSaveFile::Encode(tree);
        return Ok();
    });
}

uint32_t KivRegistryStore::RestoreKeyFromBytes(HKey key, std::string_view bytes) {
    KivRegSaveFile::Tree tree;
    if (uint32_t code = DecodeTree(bytes, tree))
        return code;
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        return WriteTree(row, tree, true);
    });
}

uint32_t KivRegistryStore::SaveKey(HKey key, const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
        return Fail(kiv::reg::kAlreadyExists, "the file exists (" + file.string() + ")");
    std::string bytes;
    if (uint32_t code = SaveKeyToBytes(key, bytes))
        return code;
    if (uint32_t code = WriteWholeFile(file, bytes, false, m_errorText))
        return code;
    return Ok();
}

uint32_t KivRegistryStore::RestoreKey(HKey key, const std::filesystem::path& file) {
    std::string bytes;
    if (uint32_t code = ReadWholeFile(file, bytes, m_errorText))
        return code;
    return RestoreKeyFromBytes(key, bytes);
}

uint32_t KivRegistryStore::ReplaceKey(HKey key, const std::filesystem::path& newFile,
                                      const std::filesystem::path& oldFile) {
    if (newFile.empty() || oldFile.empty())
        return Fail(kiv::reg::kInvalidParameter, "ReplaceKey needs a new and an old file");
    std::string bytes;
    if (uint32_t code = ReadWholeFile(newFile, bytes, m_errorText))
        return code;
    KivRegSaveFile::Tree tree;
    if (uint32_t code = DecodeTree(bytes, tree))
        return code;
    std::string current;
    if (uint32_t code = SaveKeyToBytes(key, current))
        return code;
    if (uint32_t code = WriteWholeFile(oldFile, current, true, m_errorText))
        return code;
    return InTransaction(true, [&]() -> uint32_t {
        KeyRow row;
        if (uint32_t code = ReadKey(key, row))
            return code;
        KivSqliteStatement q(m_stmts[kAddPending], false);
        const int rc = q.Bind(1, row.id).Bind(2, bytes).StepCode();
        return rc == SQLITE_DONE ? Ok() : SqlFail(rc);
    });
}
