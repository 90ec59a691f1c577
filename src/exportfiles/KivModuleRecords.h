#pragma once

#include "exportfiles/KivMEFEntity.h"
#include "support/KivRecordStream.h"

#include <memory>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

// What the records of one module say, gathered record by record as a walk passes them: an
// application file's single walk gathers every module's at once, so listing the modules does not
// walk the file again. The texts are views into the stream the records came from, and the
// entities are made as their records pass, while those bytes are still at hand: made after a
// walk of a large file, each would read them from memory again. Entities read nothing but their
// records, so the module objects made from one gathering share them. They are stored side by side
// in the object, which each entity handed out keeps alive, and it keeps the stream's owner alive:
// a hundred thousand entities cost no allocation of their own. Make it with make_shared.
class KivModuleRecords : public std::enable_shared_from_this<KivModuleRecords> {
public:
    explicit KivModuleRecords(std::shared_ptr<const void> keepAlive) : m_keepAlive(std::move(keepAlive)) {}

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
    // The listed entities, in record order.
    std::vector<std::shared_ptr<KivEntityAbstract>> Entities() const;
    // Entity-name records seen, listed or not.
    uint32_t EntityCounter() const { return m_entityCounter; }
    KivRecordDamage Damage() const { return m_damage; }
    size_t DamageOffset() const { return m_damageOffset; }

private:
    // An entity between its name record and its information record.
    struct Entity {
        std::string_view name;
        std::string_view source{nullptr, 0}; // nullptr data: no source record
        std::string_view prototype;
        uint32_t lastBuild = 0;
        uint32_t created = 0;
    };

    std::shared_ptr<const void> m_keepAlive;
    std::string_view m_name;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::string_view m_externalFile;
    std::string_view m_externalSource;
    // A deque never moves what it holds.
    std::deque<KivMEFEntity> m_entities;
    uint32_t m_entityCounter = 0;
    Entity m_pending;
    bool m_listed = false;
    KivRecordDamage m_damage = KivRecordDamage::None;
    size_t m_damageOffset = 0;
};
