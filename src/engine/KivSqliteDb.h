#pragma once

#include "platform/KivSqliteStatement.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

// One SQLite database file. Statements are prepared on first use and kept until the database is
// closed, so every later call reuses them.
class KivSqliteDb {
public:
    KivSqliteDb() = default;
    KivSqliteDb(const KivSqliteDb&) = delete;
    KivSqliteDb& operator=(const KivSqliteDb&) = delete;
    ~KivSqliteDb();

    // Opens the file (creating it only when `create`), in write-ahead-log mode. Returns an engine
    // status.
    uint32_t Open(const std::filesystem::path& file, bool create);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Runs SQL text without results (schema, pragmas). False on failure.
    bool Exec(const char* sql);
    KivSqliteStatement Prepare(std::string_view sql);
    int64_t LastInsertId() const;
    int64_t Changes() const;
    // The engine status for the last failure of this connection.
    uint32_t FailureStatus() const;
    // Folds the write-ahead log into the database file. SQLite would do so after any commit that
    // leaves the log over 4 MB, inside that commit's call; the engine instead folds it when it
    // has grown larger than it likes, before a change begins.
    bool Checkpoint();
    bool CheckpointWhenLarger(int64_t bytes);

    // A write transaction: begun at once (taking the write lock), rolled back unless committed.
    // A bulk one, for a change that adds many pages at once (a large application's import), is
    // kept whole by a rollback journal instead of the write-ahead log, and the log takes over
    // again when it ends. The log writes every page twice (into the log, then into the database),
    // a journal only the pages that were there before, once: the pages such a change adds go
    // straight into the database. Other changes stay with the log, whose commit needs no flush
    // to disk where a journal's needs several.
    class Transaction {
    public:
        enum class Kind { Change, Bulk };
        explicit Transaction(KivSqliteDb& db, Kind kind = Kind::Change);
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        ~Transaction();
        bool Started() const { return m_started; }
        bool Commit();

    private:
        void End();

        KivSqliteDb& m_db;
        bool m_bulk = false;
        bool m_started = false;
        bool m_done = false;
    };

    // A read transaction, so that several reads see one state of the database.
    class ReadTransaction {
    public:
        explicit ReadTransaction(KivSqliteDb& db);
        ReadTransaction(const ReadTransaction&) = delete;
        ReadTransaction& operator=(const ReadTransaction&) = delete;
        ~ReadTransaction();

    private:
        KivSqliteDb& m_db;
        bool m_started = false;
    };

private:
    void MapForReading(bool on);
    // Runs a pragma through a kept statement; its first answer ("" when there is none).
    std::string Pragma(std::string_view sql);

    sqlite3* m_db = nullptr;
    // Looked up by the statement's text without making a string of it: an import prepares its
    // insert once per entity.
    struct SqlHash {
        using is_transparent = void;
        size_t operator()(std::string_view sql) const noexcept { return std::hash<std::string_view>{}(sql); }
    };
    std::unordered_map<std::string, sqlite3_stmt*, SqlHash, std::equal_to<>> m_statements;
    int64_t m_pageSize = 4096;
    int64_t m_walPages = 0;
};
