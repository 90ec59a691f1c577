#include "exportfiles/KivModuleRecords.h"

#include "exportfiles/KivExportTags.h"

void KivModuleRecords::Take(const KivRecord& record) {
    const std::string_view data = record.data;
    switch (record.tag) {
    case kiv::tag::kModuleName:
        m_name = KivRecordText(data);
        break;
    case kiv::tag::kModuleInfo:
        m_lastBuild = KivRecordU32(data, kiv::tag::kModuleInfoBuilt);
        m_created = KivRecordU32(data, kiv::tag::kModuleInfoCreated);
        break;
    case kiv::tag::kExternFile:
        m_externalFile = KivRecordText(data);
        break;
    case kiv::tag::kExternSource:
        // The record's whole length is the source: a NUL byte inside it is part of the text.
        m_externalSource = data;
        break;
    case kiv::tag::kEntityName:
        m_pending = Entity{};
        m_pending.name = KivRecordText(data);
        m_listed = false;
        ++m_entityCounter;
        break;
    case kiv::tag::kSource:
        m_pending.source = data;
        break;
    case kiv::tag::kPrototype:
        m_pending.prototype = KivRecordText(data);
        break;
    case kiv::tag::kEntityInfo:
        m_pending.created = KivRecordU32(data, kiv::tag::kEntityInfoCreated);
        m_pending.lastBuild = KivRecordU32(data, kiv::tag::kEntityInfoBuilt);
        // A second information record must not list the entity twice.
        if (!m_pending.prototype.empty() && !m_listed) {
            m_entities.emplace_back(m_pending.name, m_pending.prototype, m_pending.source,
                                    m_pending.lastBuild, m_pending.created);
            m_listed = true;
        }
        break;
    default:
        break;
    }
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivModuleRecords::Entities() const {
    std::vector<std::shared_ptr<KivEntityAbstract>> list;
    list.reserve(m_entities.size());
    const std::shared_ptr<const KivModuleRecords> self = shared_from_this();
    // The const of the gathering is not the entities': they are handed out for reading, as made.
    for (const KivMEFEntity& entity : m_entities)
        list.emplace_back(self, const_cast<KivMEFEntity*>(&entity));
    return list;
}
