#include "engine/KivCatalogue.h"

#include "engine/KivEngineStatus.h"
#include "platform/KivDosPath.h"
#include "support/KivStringUtil.h"

#include <system_error>

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS project("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " name BLOB NOT NULL, uname BLOB NOT NULL UNIQUE, dir BLOB NOT NULL,"
    " description BLOB NOT NULL, keywords BLOB NOT NULL, locked INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS setting(key TEXT PRIMARY KEY, value BLOB);";

std::filesystem::path Canonical(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : canonical;
}

} // namespace

uint32_t KivCatalogue::Open(const std::filesystem::path& file, bool& created) {
    std::error_code ec;
    created = !std::filesystem::exists(file, ec);
    if (uint32_t status = m_db.Open(file, true))
        return status;
    if (!m_db.Exec(kSchema)) {
        uint32_t status = m_db.FailureStatus();
        m_db.Close();
        return status;
    }
    return kiv::engine::kOk;
}

uint32_t KivCatalogue::Names(std::vector<std::string>& names) {
    names.clear();
    auto st = m_db.Prepare("SELECT name FROM project ORDER BY id");
    while (st.Step())
        names.push_back(st.Text(0));
    return st.Failed() ? m_db.FailureStatus() : kiv::engine::kOk;
}

uint32_t KivCatalogue::Find(std::string_view name, KivProjectEntry& entry) {
    auto st = m_db.Prepare("SELECT name, dir, description, keywords, locked FROM project WHERE uname = ?1");
    st.Bind(1, KivUpper(name));
    if (!st.Step())
        return st.Failed() ? m_db.FailureStatus() : kiv::engine::kNoProject;
    entry.name = st.Text(0);
    entry.dir = st.Text(1);
    entry.description = st.Text(2);
    entry.keywords = st.Text(3);
    entry.locked = static_cast<uint32_t>(st.Int(4));
    return kiv::engine::kOk;
}

uint32_t KivCatalogue::Add(const KivProjectEntry& entry) {
    auto st = m_db.Prepare("INSERT INTO project(name, uname, dir, description, keywords, locked)"
                           " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    st.Bind(1, entry.name).Bind(2, KivUpper(entry.name)).Bind(3, entry.dir).Bind(4, entry.description);
    st.Bind(5, entry.keywords).Bind(6, static_cast<int64_t>(entry.locked));
    return st.Run() ? kiv::engine::kOk : m_db.FailureStatus();
}

uint32_t KivCatalogue::Remove(std::string_view name) {
    auto st = m_db.Prepare("DELETE FROM project WHERE uname = ?1");
    st.Bind(1, KivUpper(name));
    if (!st.Run())
        return m_db.FailureStatus();
    return m_db.Changes() ? kiv::engine::kOk : kiv::engine::kNoProject;
}

uint32_t KivCatalogue::SetColumn(const char* sql, std::string_view name, std::string_view value) {
    auto st = m_db.Prepare(sql);
    st.Bind(1, value).Bind(2, KivUpper(name));
    if (!st.Run())
        return m_db.FailureStatus();
    return m_db.Changes() ? kiv::engine::kOk : kiv::engine::kNoProject;
}

uint32_t KivCatalogue::SetKeywords(std::string_view name, std::string_view keywords) {
    return SetColumn("UPDATE project SET keywords = ?1 WHERE uname = ?2", name, keywords);
}

uint32_t KivCatalogue::SetDescription(std::string_view name, std::string_view description) {
    return SetColumn("UPDATE project SET description = ?1 WHERE uname = ?2", name, description);
}

uint32_t KivCatalogue::SetLocked(std::string_view name, uint32_t locked) {
    auto st = m_db.Prepare("UPDATE project SET locked = ?1 WHERE uname = ?2");
    st.Bind(1, static_cast<int64_t>(locked)).Bind(2, KivUpper(name));
    if (!st.Run())
        return m_db.FailureStatus();
    return m_db.Changes() ? kiv::engine::kOk : kiv::engine::kNoProject;
}

uint32_t KivCatalogue::ProjectInDir(const std::filesystem::path& hostDir, std::string& name) {
    name.clear();
    std::filesystem::path wanted = Canonical(hostDir);
    auto st = m_db.Prepare("SELECT name, dir FROM project ORDER BY id");
    while (st.Step()) {
        auto host = kiv::dospath::Resolve(st.View(1));
        if (host && Canonical(*host) == wanted) {
            name = st.Text(0);
            break;
        }
    }
    return st.Failed() ? m_db.FailureStatus() : kiv::engine::kOk;
}

uint32_t KivCatalogue::Current(std::string& name) {
    name.clear();
    auto st = m_db.Prepare("SELECT value FROM setting WHERE key = 'current'");
    if (st.Step())
        name = st.Text(0);
    return st.Failed() ? m_db.FailureStatus() : kiv::engine::kOk;
}

uint32_t KivCatalogue::SetCurrent(std::string_view name) {
    auto st = m_db.Prepare("INSERT OR REPLACE INTO setting(key, value) VALUES('current', ?1)");
    st.Bind(1, name);
    return st.Run() ? kiv::engine::kOk : m_db.FailureStatus();
}
