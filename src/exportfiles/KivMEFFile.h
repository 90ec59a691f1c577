#pragma once

#include "exportfiles/KivModuleAbstract.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class KivMappedFile;
class KivMEFEntity;
class KivModuleRecords;
class KivPRGFile;

// One module in the record format: an MEF file of its own, which it maps, or a module inside an
// AEF, read in place in the AEF's mapping. A module inside an AEF keeps that mapping alive, so
// it stays readable after the AEF object is closed.
//
// The module reads what it says of itself when it is made; its entities are made each time they
// are asked for and no one holds them any more, from the module's records (or, for an external
// module, from its stored source), and live as long as any of them is held. So the modules of a
// large file, listed all at once, hold one module's entities at a time while a caller walks them.
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
    uint32_t EntityCount() const override;
    std::string ExternalFile() const override;
    std::string ExternalSource() const override;
    bool IsExternal() const override;
    bool IsMEF() const override;
    bool IsPRG() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string FullPath() const override;

    std::string Version() const { return m_version; }
    // True when another program shrank the file while it was read: what was read of the part
    // it lost is zeros.
    bool Cut() const;

private:
    struct Entities;

    void Start(const KivModuleRecords* records);
    void Apply(const KivModuleRecords& records);
    std::string_view Stream() const;
    // Walks the module's records: what they say, and the listed entities into the list when
    // there is one. The fault is set when a module of its own holds a second module or breaks
    // the module-name rule.
    KivModuleRecords Walk(std::vector<KivMEFEntity>* entities, std::string* fault) const;
    // The entities now held by someone, or made anew.
    std::shared_ptr<Entities> HeldEntities() const;
    std::shared_ptr<KivPRGFile> HeldPrg() const;
    // Puts the entities in name order (SortByName, for a listing made after it too).
    static void Sort(const std::shared_ptr<Entities>& held);

    std::shared_ptr<const KivMappedFile> m_file;
    size_t m_base = 0;
    bool m_ownFile = false;
    bool m_success = false;
    bool m_isMEF = false;
    bool m_sorted = false;
    uint32_t m_listedCount = 0;
    std::string m_version;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::string m_externalFile;
    std::string_view m_externalSource;
    mutable std::weak_ptr<Entities> m_entities;
    mutable std::weak_ptr<KivPRGFile> m_prg;
};
