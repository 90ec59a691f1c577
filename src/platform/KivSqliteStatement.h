#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

// One use of a prepared statement. The statement itself is made once by KivSqliteDb and kept;
// this object binds, steps and reads it, and resets it when it goes out of scope.
class KivSqliteStatement {
public:
    // `owned` statements (made because the cached one was busy) are finalised at the end.
    KivSqliteStatement(sqlite3_stmt* stmt, bool owned) : m_stmt(stmt), m_owned(owned) {}
    KivSqliteStatement(KivSqliteStatement&& other) noexcept;
    KivSqliteStatement(const KivSqliteStatement&) = delete;
    KivSqliteStatement& operator=(const KivSqliteStatement&) = delete;
    KivSqliteStatement& operator=(KivSqliteStatement&&) = delete;
    ~KivSqliteStatement();

    // Parameters count from 1. Texts are bound as bytes (BLOB), never as UTF-8.
    KivSqliteStatement& Bind(int index, int64_t value);
    KivSqliteStatement& Bind(int index, std::string_view bytes);
    // Binds without copying: the bytes must stay as they are until this object is gone.
    KivSqliteStatement& BindView(int index, std::string_view bytes);

    // True while a row is ready; false when done or failed (see Failed).
    bool Step();
    // Runs a statement that returns no rows; false on failure.
    bool Run();
    // Steps and answers SQLite's code: SQLITE_ROW, SQLITE_DONE, or the failure (a failed
    // bind's code when binding failed).
    int StepCode();
    bool Failed() const { return m_failed; }
    int ResultCode() const { return m_result; }

    int64_t Int(int column) const;
    std::string_view View(int column) const; // valid until the next Step
    std::string Text(int column) const { return std::string(View(column)); }

private:
    void BindResult(int rc);

    sqlite3_stmt* m_stmt = nullptr;
    bool m_owned = false;
    bool m_failed = false;
    int m_result = 0;
};
