#pragma once

#include "engine/KivSqliteDb.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// One project as the catalogue knows it. The directory is kept in DOS form, as it was given.
struct KivProjectEntry {
    std::string name;
    std::string dir;
    std::string description;
    std::string keywords;
    uint32_t locked = 0;
};

// The catalogue of projects in the platform home, and the name of the current project, which
// outlives the process. Project names are matched without regard to case.
class KivCatalogue {
public:
    // Opens (or makes) the catalogue database; `created` tells whether it was new.
    uint32_t Open(const std::filesystem::path& file, bool& created);
    void Close() { m_db.Close(); }
    KivSqliteDb& Db() { return m_db; }

    // Names in the order the projects were added.
    uint32_t Names(std::vector<std::string>& names);
    // kNoProject when there is no project of that name.
    uint32_t Find(std::string_view name, KivProjectEntry& entry);
    uint32_t Add(const KivProjectEntry& entry);
    uint32_t Remove(std::string_view name);
    uint32_t SetKeywords(std::string_view name, std::string_view keywords);
    uint32_t SetDescription(std::string_view name, std::string_view description);
    uint32_t SetLocked(std::string_view name, uint32_t locked);
    // The project that uses the directory (compared as host paths), or an empty name.
    uint32_t ProjectInDir(const std::filesystem::path& hostDir, std::string& name);

    uint32_t Current(std::string& name);
    uint32_t SetCurrent(std::string_view name);

private:
    uint32_t SetColumn(const char* sql, std::string_view name, std::string_view value);
    KivSqliteDb m_db;
};
