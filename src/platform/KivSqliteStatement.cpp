#include "platform/KivSqliteStatement.h"

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
    BindResult(m_stmt ? sqlite3_bind_int64(m_stmt, index, value) : SQLITE_MISUSE);
    return *this;
}

void KivSqliteStatement::BindResult(int rc) {
    if (rc != SQLITE_OK && !m_failed) {
        m_failed = true;
        m_result = rc;
    }
}

namespace {

int BindBlob(sqlite3_stmt* stmt, int index, std::string_view bytes, void (*lifetime)(void*)) {
    // A zero-length blob must not be bound as NULL: the empty text (a default value's name) is a
    // value.
    static const char kEmpty = 0;
    const char* data = bytes.empty() ? &kEmpty : bytes.data();
    return stmt ? sqlite3_bind_blob64(stmt, index, data, static_cast<sqlite3_uint64>(bytes.size()), lifetime)
                : SQLITE_MISUSE;
}

} // namespace

KivSqliteStatement& KivSqliteStatement::Bind(int index, std::string_view bytes) {
    BindResult(BindBlob(m_stmt, index, bytes, SQLITE_TRANSIENT));
    return *this;
}

KivSqliteStatement& KivSqliteStatement::BindView(int index, std::string_view bytes) {
    BindResult(BindBlob(m_stmt, index, bytes, SQLITE_STATIC));
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

int KivSqliteStatement::StepCode() {
    if (m_failed)
        return m_result ? m_result : SQLITE_MISUSE;
    Step();
    return m_result;
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
