#pragma once

#include "exportfiles/KivApplicationAbstract.h"
#include "exportfiles/KivModuleRecords.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class KivMappedFile;

// An application export file (AEF), mapped whole and walked once. Its modules are handed out as
// KivMEFFile objects reading in place inside the mapping (which they keep alive). The walk keeps
// what each module says of itself, not its entities: those are read when a module is asked.
//
// A damaged stream (a record running past the end of the file, no end record) ends the scan: the
// modules and fields read before stay usable, Success turns false and ErrorString says where.
class KivAEFFile : public KivApplicationAbstract {
public:
    static constexpr uint32_t kVersionError = 1;
    static constexpr uint32_t kDamaged = 3;

    // A module: its name and the offset of its 0x0020 record in the file.
    using ModuleEntry = std::pair<std::string, size_t>;
    // A user-defined command: its name and the offset of its 0x0005 record in the file.
    using UDCEntry = std::pair<std::string, size_t>;

    explicit KivAEFFile(const std::string& fileName);
    ~KivAEFFile() override;

    // Overrides in the slot order of KivApplicationAbstract.
    bool Success() const override;
    void Close() override;
    bool ExportModule(const std::string& moduleName, const std::string& fileName) override;
    std::shared_ptr<KivModuleAbstract> ModuleFind(const std::string& moduleName) override;
    void Scan() override;
    void SortByName() override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    bool IsValid() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::vector<std::shared_ptr<KivModuleAbstract>> ModuleList() const override;
    std::vector<std::string> ModuleNameList() const override;
    uint32_t ModuleCount() const override;
    std::string FullPath() const override;
    std::string FullPath(const std::string& path) override;
    std::string ExeName() const override;
    std::vector<std::string> LibraryNameList() const override;
    // The names of UDCList.
    std::vector<std::string> UDCNameList() const override;
    std::string Description() const override;
    bool IsDLL() const override;
    bool IsLibrary() const override;

    std::vector<UDCEntry> UDCList() const { return m_udcs; }
    std::string Version() const { return m_version; }
    // True when another program shrank the file while it was read: what was read of the part
    // it lost is zeros.
    bool Cut() const;

private:
    // A module as listed, with what its records said of it when the file was walked.
    struct Module {
        ModuleEntry entry;
        KivModuleRecords records;
    };

    std::shared_ptr<const KivMappedFile> m_file;
    bool m_success = false;
    bool m_valid = false;
    std::vector<Module> m_modules;
    std::string m_version;
    std::string m_fullPath;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::string m_description;
    std::vector<std::string> m_libraries;
    std::vector<UDCEntry> m_udcs;
    char m_appType = 0; // 'D', 'L' or none
    std::string m_exeName;
};
