#include "engine/KivSqliteStatement.h"

#include <sqlite3.h>

KivSqliteStatement::KivSqliteStatement(KivSqliteStatement&& other) noexcept
    : m_stmt(other.m_stmt), m_owned(other.m_owned), m_failed(other.m_failed), m_result(other.m_result) {
    other.m_stmt = nullptr;
}

KivSqliteStatement::~KivSqliteStatement() {
    if (!m_stmt)
        return;
    if (m_owned) {
        sqlite3_finalize(m_stmt);
        return;
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

KivSqliteStatement& KivSqliteStatement::Bind(int index, int64_t value) {
    if (!m_stmt || sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        m_failed = true;
    return *this;
}

KivSqliteStatement& KivSqliteStatement::Bind(int index, std::string_view bytes) {
    // A zero-length blob must not be bound as NULL: the empty text is a value.
    static const char kEmpty = 0;
    const char* data = bytes.empty() ? &kEmpty : bytes.data();
    if (!m_stmt || sqlite3_bind_blob64(m_stmt, index, data, static_cast<sqlite3_uint64>(bytes.size()),
                                       SQLITE_TRANSIENT) != SQLITE_OK)
        m_failed = true;
    return *this;
}

bool KivSqliteStatement::Step() {
    if (!m_stmt || m_failed)
        return false;
    m_result = sqlite3_step(m_stmt);
    if (m_result == SQLITE_ROW)
        return true;
    if (m_result != SQLITE_DONE)
        m_failed = true;
    return false;
}

bool KivSqliteStatement::Run() {
    Step();
    return !m_failed;
}

int64_t KivSqliteStatement::Int(int column) const {
    return m_stmt ? sqlite3_column_int64(m_stmt, column) : 0;
}

std::string_view KivSqliteStatement::View(int column) const {
    if (!m_stmt)
        return {};
    const void* data = sqlite3_column_blob(m_stmt, column);
    int size = sqlite3_column_bytes(m_stmt, column);
    if (!data || size <= 0)
        return {};
    return std::string_view(static_cast<const char*>(data), static_cast<size_t>(size));
}
