#include "engine/KivSqliteDb.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivOsError.h"

#include <sqlite3.h>

KivSqliteDb::~KivSqliteDb() {
    Close();
}

namespace {

// SQLite counts the memory it holds under a lock on every allocation, a few dozen times for each
// row an import stores; nothing here asks for that count. The setting must come before SQLite's
// first use in the process and is left alone after it.
void ConfigureOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

} // namespace

uint32_t KivSqliteDb::Open(const std::filesystem::path& file, bool create) {
    ConfigureOnce();
    Close();
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        int err = db ? sqlite3_system_errno(db) : 0;
        sqlite3_close_v2(db);
        if (err != 0)
            return kiv::oserror::FromErrno(err);
        return rc == SQLITE_CANTOPEN ? kiv::oserror::kFileNotFound : kiv::engine::kStoreError;
    }
    m_db = db;
    sqlite3_extended_result_codes(m_db, 1);
    // One process holds the repository, so the connection keeps its locks for as long as it is
    // open (no lock calls per statement, no shared-memory index) and reads pages mapped.
    // The write-ahead log keeps every commit whole when the process is killed at any point.
    sqlite3_busy_timeout(m_db, 2000);
    // The log is folded into the database by MaybeCheckpoint, not in the middle of a large import.
    if (!Exec("PRAGMA page_size=8192; PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL;"
              "PRAGMA synchronous=NORMAL; PRAGMA temp_store=MEMORY; PRAGMA mmap_size=1073741824;"
              "PRAGMA cache_size=-16384;")) {
        Close();
        return kiv::engine::kStoreError;
    }
    auto pageSize = Prepare("PRAGMA page_size");
    m_pageSize = pageSize.Step() ? pageSize.Int(0) : 4096;
    sqlite3_wal_hook(
        m_db,
        [](void* self, sqlite3*, const char*, int pages) {
            static_cast<KivSqliteDb*>(self)->m_walPages = pages;
            return SQLITE_OK;
        },
        this);
    return kiv::engine::kOk;
}

void KivSqliteDb::Close() {
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool KivSqliteDb::Exec(const char* sql) {
    return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

KivSqliteStatement KivSqliteDb::Prepare(std::string_view sql) {
    if (!m_db)
        return KivSqliteStatement(nullptr, false);
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                               &stmt, nullptr) != SQLITE_OK)
            return KivSqliteStatement(nullptr, false);
        it = m_statements.emplace(std::string(sql), stmt).first;
    }
    if (!sqlite3_stmt_busy(it->second))
        return KivSqliteStatement(it->second, false);
    // The kept statement is in use further up the call chain: use a second one for this call.
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
        return KivSqliteStatement(nullptr, false);
    return KivSqliteStatement(stmt, true);
}

int64_t KivSqliteDb::LastInsertId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int64_t KivSqliteDb::Changes() const {
    return m_db ? sqlite3_changes64(m_db) : 0;
}

uint32_t KivSqliteDb::FailureStatus() const {
    if (!m_db)
        return kiv::engine::kNotOpen;
    switch (sqlite3_errcode(m_db) & 0xFF) {
    case SQLITE_FULL:
        return kiv::oserror::kDiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        if (int err = sqlite3_system_errno(m_db))
            return kiv::oserror::FromErrno(err);
        return kiv::engine::kStoreError;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kiv::engine::kAlreadyOpen;
    default:
        return kiv::engine::kStoreError;
    }
}

bool KivSqliteDb::CheckpointWhenLarger(int64_t bytes) {
    if (m_walPages * m_pageSize <= bytes)
        return true;
    return Checkpoint();
}

bool KivSqliteDb::Checkpoint() {
    return m_db && sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) ==
                       SQLITE_OK;
}

std::string KivSqliteDb::Pragma(std::string_view sql) {
    auto st = Prepare(sql);
    std::string answer;
    if (st.Step())
        answer = st.Text(0);
    while (st.Step()) {
    }
    return answer;
}

// Reads go through the mapping, but while a change is written they do not: with the file mapped,
// SQLite looks each page it reads up in the write-ahead log first, and the log grows with every
// change of a large import. Turned off and on through kept statements, not parsed each time.
void KivSqliteDb::MapForReading(bool on) {
    Pragma(on ? "PRAGMA mmap_size=1073741824" : "PRAGMA mmap_size=0");
}

// Leaving the log folds it into the database first. Should the process be killed in the middle
// of a bulk change, the file is left in journal mode with the journal beside it: the next open
// puts the old pages back from the journal before it switches to the log again.
KivSqliteDb::Transaction::Transaction(KivSqliteDb& db, Kind kind) : m_db(db) {
    m_db.MapForReading(false);
    m_bulk = kind == Kind::Bulk && m_db.Pragma("PRAGMA journal_mode=TRUNCATE") == "truncate";
    m_started = m_db.Exec("BEGIN IMMEDIATE");
    if (!m_started)
        End();
}

KivSqliteDb::Transaction::~Transaction() {
    if (m_started && !m_done) {
        m_db.Exec("ROLLBACK");
        End();
    }
}

bool KivSqliteDb::Transaction::Commit() {
    if (!m_started || m_done)
        return false;
    if (!m_db.Exec("COMMIT"))
        return false;
    m_done = true;
    End();
    return true;
}

void KivSqliteDb::Transaction::End() {
    if (m_bulk)
        m_db.Pragma("PRAGMA journal_mode=WAL");
    m_db.MapForReading(true);
}

KivSqliteDb::ReadTransaction::ReadTransaction(KivSqliteDb& db) : m_db(db) {
    m_started = m_db.Exec("BEGIN");
}

KivSqliteDb::ReadTransaction::~ReadTransaction() {
    if (m_started)
        m_db.Exec("COMMIT");
}
