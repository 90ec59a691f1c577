#include "support/KivConfigFile.h"

#include "support/KivStringUtil.h"

std::vector<std::pair<std::string, KivUsual>> KivConfigFile::GetSection(std::string_view section) {
    std::vector<std::pair<std::string, KivUsual>> out;
    for (std::string& key : GetEntries(section)) {
        std::string value = GetString(section, key);
        out.emplace_back(std::move(key), std::move(value));
    }
    return out;
}

std::string KivConfigFile::GetStringUpper(std::string_view section, std::string_view key,
                                          std::string_view defaultValue) {
    return KivUpper(GetString(section, key, defaultValue));
}

KivUsual KivConfigFile::GetValue(std::string_view section, std::string_view key, const KivUsual& defaultValue,
                                 std::optional<KivUsualType> type) {
    std::string text = GetString(section, key, KivUsualToText(defaultValue));
    return KivUsualFromText(text, type.value_or(KivUsualTypeOf(defaultValue)));
}

bool KivConfigFile::WriteValue(std::string_view section, std::string_view key, const KivUsual& value) {
    return WriteString(section, key, KivUsualToText(value));
}
