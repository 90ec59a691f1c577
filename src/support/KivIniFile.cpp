#include "support/KivIniFile.h"

#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"
#include "support/KivPathUtil.h"
#include "support/KivStringUtil.h"

#include <limits>

namespace {

std::string_view Cut(std::string_view value) {
    return value.substr(0, KivIniFile::kValueLimit);
}

int32_t LeadingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int64_t number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        // Saturate rather than wrap: a huge number stays huge.
        if (number > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            number = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    }
    number = negative ? -number : number;
    if (number > std::numeric_limits<int32_t>::max())
        number = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(number);
}

} // namespace

void KivIniFile::Init(std::string_view fileName) {
    std::string path(fileName);
    std::string filePath = path;
    bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
    if (!path.empty() && KivExtractFileDrive(path).empty() && !rooted)
        filePath = KivConcatDir(kiv::dospath::FromHost(kiv::platform::WindowsDir()), path);
    _SetPath(std::move(path), std::move(filePath));
}

void KivIniFile::_SetPath(std::string fullPath, std::string filePath) {
    m_fullPath = std::move(fullPath);
    m_file.Open(std::move(filePath));
}

std::string KivIniFile::FileName() const {
    return KivExtractFileInfo(m_fullPath);
}

std::string KivIniFile::_ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, bool writeBack) {
    if (auto value = m_file.Document().Value(section, key))
        return KivRTrim(Cut(*value));
    // Only a missing entry is written back: writing an existing one back would change nothing,
    // or cut a value longer than the read buffer.
    std::string value(Cut(defaultValue));
    if (writeBack)
        WriteString(section, key, value);
    return KivRTrim(value);
}

int32_t KivIniFile::_ReadInt(std::string_view section, std::string_view key, int32_t defaultValue,
                             bool writeBack) {
    if (auto value = m_file.Document().Value(section, key))
        return LeadingInt(*value);
    // An existing entry is never rewritten as its number: "12 files" must not become "12".
    if (writeBack)
        WriteInt(section, key, defaultValue);
    return defaultValue;
}

std::string KivIniFile::GetString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) {
    return _ReadString(section, key, defaultValue, true);
}

bool KivIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    return m_file.Apply([&](KivIniDocument& doc) { return doc.SetValue(section, key, value); });
}

int32_t KivIniFile::GetInt(std::string_view section, std::string_view key, int32_t defaultValue) {
    return _ReadInt(section, key, defaultValue, true);
}

bool KivIniFile::WriteInt(std::string_view section, std::string_view key, int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

std::vector<std::string> KivIniFile::GetSections(std::string_view) {
    return m_file.Document().Sections();
}

std::vector<std::string> KivIniFile::GetEntries(std::string_view section) {
    return m_file.Document().Entries(section);
}

bool KivIniFile::DeleteSection(std::string_view section) {
    return m_file.Apply([&](KivIniDocument& doc) { return doc.DeleteSection(section); });
}

bool KivIniFile::DeleteEntry(std::string_view section, std::string_view key) {
    return m_file.Apply([&](KivIniDocument& doc) { return doc.DeleteEntry(section, key); });
}
