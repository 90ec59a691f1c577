#pragma once

#include "support/KivUsual.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One key/value interface over configuration stores: sections holding named entries. The INI
// classes and the registry class supply the string and integer access; typed values are built
// here on top of the strings. No operation fails loudly: reads give the default, and a write
// reports only whether the store holds the value afterwards.
class KivConfigFile {
public:
    KivConfigFile() = default;
    KivConfigFile(const KivConfigFile&) = default;
    KivConfigFile& operator=(const KivConfigFile&) = default;
    virtual ~KivConfigFile() = default;

    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue = " ") = 0;
    virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    virtual bool SetString(std::string_view section, std::string_view key, std::string_view value) {
        return WriteString(section, key, value);
    }
    virtual int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue = 0) = 0;
    virtual bool WriteInt(std::string_view section, std::string_view key, int32_t value) = 0;
    virtual bool SetInt(std::string_view section, std::string_view key, int32_t value) {
        return WriteInt(section, key, value);
    }
    // The section names below the given section (a registry key has sections within sections;
    // a file has one level and takes no section).
    virtual std::vector<std::string> GetSections(std::string_view section = {}) = 0;
    virtual std::vector<std::string> GetEntries(std::string_view section) = 0;
    // Every entry of the section with its value, in entry order: here each GetEntries key with
    // its GetString value.
    virtual std::vector<std::pair<std::string, KivUsual>> GetSection(std::string_view section);
    virtual bool DeleteSection(std::string_view section) = 0;
    virtual bool DeleteEntry(std::string_view section, std::string_view key) = 0;

    std::string GetStringUpper(std::string_view section, std::string_view key,
                               std::string_view defaultValue = " ");

    // Reads the entry as text (the default turned into text) and converts it to the type, by
    // default the type of the default. See KivUsualFromText.
    KivUsual GetValue(std::string_view section, std::string_view key,
                      const KivUsual& defaultValue = std::string(" "),
                      std::optional<KivUsualType> type = std::nullopt);
    // Writes the value's plain text; a date as its eight digits YYYYMMDD.
    bool WriteValue(std::string_view section, std::string_view key, const KivUsual& value);
    bool SetValue(std::string_view section, std::string_view key, const KivUsual& value) {
        return WriteValue(section, key, value);
    }
};
