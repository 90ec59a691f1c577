#pragma once

#include "support/KivConfigFile.h"
#include "support/KivProfileFile.h"

#include <string>
#include <string_view>

// A private INI file, read and written as the platform's profile functions do it (see
// KivIniDocument for how lines are read). Every value read is written back: reading a missing
// entry stores the default, so the entry is there afterwards. A write-back or write that would
// leave the file's bytes as they are does not touch the file, and one that cannot be done is
// lost without a word, as every failure here.
class KivIniFile : public KivConfigFile {
public:
    // The profile functions hand values over in a buffer of 2048 bytes with its terminating
    // zero: longer values are cut on reading (never in the file).
    static constexpr size_t kValueLimit = 2047;

    KivIniFile() = default;
    explicit KivIniFile(std::string_view fileName) { Init(fileName); }

    // The file name becomes the full path. A name with neither a drive nor a leading backslash
    // lives in the Windows directory, where the profile functions look for it.
    void Init(std::string_view fileName);

    std::string FullPath() const { return m_fullPath; }
    // The file name with its extension, without the folder.
    std::string FileName() const;

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = " ") override;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    // The leading decimal number of the value (0 when there is none), or the default when the
    // entry is missing.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue = 0) override;
    bool WriteInt(std::string_view section, std::string_view key, int32_t value) override;
    // Every section of the file, each name once, in file order; the argument is not used.
    std::vector<std::string> GetSections(std::string_view section = {}) override;
    std::vector<std::string> GetEntries(std::string_view section) override;
    bool DeleteSection(std::string_view section) override;
    bool DeleteEntry(std::string_view section, std::string_view key) override;

protected:
    void _SetPath(std::string fullPath, std::string filePath);
    std::string _ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                            bool writeBack);
    int32_t _ReadInt(std::string_view section, std::string_view key, int32_t defaultValue, bool writeBack);
    KivProfileFile& _File() { return m_file; }

private:
    std::string m_fullPath;
    KivProfileFile m_file;
};
