#pragma once

#include "exportfiles/KivMEFEntity.h"
#include "support/KivRecordStream.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// What the records of one module say, gathered record by record as a walk passes them. The texts
// are views into the stream the records came from. An application file's single walk gathers
// what every module says of itself and only counts its entities: a module's entities are made
// when they are asked for, by a second walk of that module alone, which hands them to a list of
// the caller's. So reading a file of any size holds one module's entities at a time.
class KivModuleRecords {
public:
    // Entities listed by the walk are appended to the list when there is one.
    explicit KivModuleRecords(std::vector<KivMEFEntity>* entities = nullptr) : m_entities(entities) {}

    // One record of the module; its module-name record comes first.
    void Take(const KivRecord& record);
    // The walk stopped at damage inside the module.
    void SetDamage(KivRecordDamage damage, size_t offset) {
        m_damage = damage;
        m_damageOffset = offset;
    }

    std::string_view Name() const { return m_name; }
    uint32_t LastBuild() const { return m_lastBuild; }
    uint32_t Created() const { return m_created; }
    std::string_view ExternalFile() const { return m_externalFile; }
    std::string_view ExternalSource() const { return m_externalSource; }
    // Entity-name records seen, listed or not.
    uint32_t EntityCounter() const { return m_entityCounter; }
    // Entities listed: those with a prototype when their information record came.
    uint32_t ListedCount() const { return m_listedCount; }
    KivRecordDamage Damage() const { return m_damage; }
    size_t DamageOffset() const { return m_damageOffset; }

private:
    // An entity between its name record and its information record: the data of its records.
    struct Entity {
        std::string_view name;
        std::string_view source{nullptr, 0}; // nullptr data: no source record
        std::string_view prototype;
        bool listed = false;
    };

    std::vector<KivMEFEntity>* m_entities;
    std::string_view m_name;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::string_view m_externalFile;
    std::string_view m_externalSource;
    uint32_t m_entityCounter = 0;
    uint32_t m_listedCount = 0;
    Entity m_pending;
    KivRecordDamage m_damage = KivRecordDamage::None;
    size_t m_damageOffset = 0;
};
