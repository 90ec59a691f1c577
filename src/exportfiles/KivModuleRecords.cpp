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
    // The texts of an entity are cut at their NUL only when the entity is made: a walk that
    // counts the entities does not look for it.
    case kiv::tag::kEntityName:
        m_pending = Entity{};
        m_pending.name = data;
        ++m_entityCounter;
        break;
    case kiv::tag::kSource:
        m_pending.source = data;
        break;
    case kiv::tag::kPrototype:
        m_pending.prototype = data;
        break;
    case kiv::tag::kEntityInfo:
        // A second information record must not list the entity twice.
        if (!m_pending.prototype.empty() && m_pending.prototype.front() != '\0' && !m_pending.listed) {
            m_pending.listed = true;
            ++m_listedCount;
            if (m_entities)
                m_entities->emplace_back(KivRecordText(m_pending.name), KivRecordText(m_pending.prototype),
                                         m_pending.source,
                                         KivRecordU32(data, kiv::tag::kEntityInfoBuilt),
                                         KivRecordU32(data, kiv::tag::kEntityInfoCreated));
        }
        break;
    default:
        break;
    }
}
