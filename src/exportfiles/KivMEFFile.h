#pragma once

#include "exportfiles/KivModuleAbstract.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class KivMappedFile;
class KivModuleRecords;
class KivPRGFile;

// One module in the record format: an MEF file of its own, which it maps, or a module inside an
// AEF, read in place in the AEF's mapping. A module inside an AEF keeps that mapping alive, so
// it stays readable after the AEF object is closed.
//
// A damaged stream (a record running past the end of the file, no end record) ends the scan:
// the entities read before stay listed, Success turns false and ErrorString says where.
class KivMEFFile : public KivModuleAbstract {
public:
    static constexpr uint32_t kStructureError = 2;
    static constexpr uint32_t kDamaged = 3;

    explicit KivMEFFile(const std::string& fileName);
    // The module whose 0x0020 record starts at the offset of the mapped AEF.
    KivMEFFile(std::shared_ptr<const KivMappedFile> aef, size_t offset);
    // The same module from the records the application's walk gathered for it, without a walk.
    KivMEFFile(std::shared_ptr<const KivMappedFile> aef, size_t offset, const KivModuleRecords& records);
    ~KivMEFFile() override;

    // Overrides in the slot order of KivModuleAbstract.
    bool Success() const override;
    void Close() override;
    bool ExportModule(const std::string& fileName) override;
    void Scan() override;
    void SortByName() override;
    std::shared_ptr<KivEntityAbstract> EntityFind(const std::string& entityName) override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    std::vector<std::shared_ptr<KivEntityAbstract>> EntityList() const override;
    std::string ExternalFile() const override;
    std::string ExternalSource() const override;
    bool IsExternal() const override;
    bool IsMEF() const override;
    bool IsPRG() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string FullPath() const override;

    std::string Version() const { return m_version; }

private:
    void Start(const KivModuleRecords* records);
    void Apply(const KivModuleRecords& records);
    std::string_view Stream() const;

    std::shared_ptr<const KivMappedFile> m_file;
    size_t m_base = 0;
    bool m_ownFile = false;
    bool m_success = false;
    bool m_isMEF = false;
    uint32_t m_entityCounter = 0;
    std::vector<std::shared_ptr<KivEntityAbstract>> m_entities;
    std::string m_version;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::string m_externalFile;
    std::string_view m_externalSource;
    std::shared_ptr<KivPRGFile> m_prg;
};
